#!/bin/sh
# Starts Lumetra from a folder of the user's own: the game writes "log.txt"
# and reads "Data/" relative to where it runs, so it needs a writable place.
# Data/ holds links to the installed sounds, renewed at every start, so that
# an upgrade's sounds reach it; other files of the user's there are kept.
set -eu
prefix=$(cd "$(dirname "$0")/.." && pwd)
dir="${XDG_DATA_HOME:-$HOME/.local/share}/lumetra"
mkdir -p "$dir/Data"
for f in "$dir/Data/"*; do
    if [ -L "$f" ] && [ ! -e "$f" ]; then rm -f "$f"; fi  # a sound no longer installed
done
ln -sf "$prefix/share/games/lumetra/Data/"* "$dir/Data/"
cd "$dir"
exec "$prefix/lib/games/lumetra/lumetra" "$@"
