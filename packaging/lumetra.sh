#!/bin/sh
# Starts Lumetra from a directory of the user's own: the game writes
# "log.txt" and reads "Data/" relative to where it runs, so it needs a
# writable place. Made on first use; the sounds are copied in once.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
dir="${XDG_DATA_HOME:-$HOME/.local/share}/lumetra"
mkdir -p "$dir/Data"
for f in "$here/share/lumetra/Data/"*; do
    [ -e "$dir/Data/$(basename "$f")" ] || cp "$f" "$dir/Data/"
done
cd "$dir"
exec "$here/lib/lumetra/lumetra" "$@"
