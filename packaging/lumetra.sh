#!/bin/sh
# Starts Lumetra from a folder of the user's own: the game writes "log.txt"
# and reads "Data/" relative to where it runs, so it needs a writable place.
# Data/ holds links to the installed sounds, renewed at every start, so that
# an upgrade's sounds reach it. The launcher touches only the links it made,
# those into the sound folder of an install of the game (this one, or one
# moved or removed since): the user's own files and links there, and a Data
# that is itself a link, are left as they are. What keeps the game from its
# folder or its sounds is said in a sentence, and the game starts all the same.
set -eu
# Through a link such as ~/bin/lumetra, the installed tree is the target's.
self=$(readlink -f "$0")
prefix=$(cd "$(dirname "$self")/.." && pwd)
share="$prefix/share/games/lumetra"
sounds="$share/Data"
# A relative XDG_DATA_HOME is invalid and to be ignored, as the XDG rules say.
case "${XDG_DATA_HOME:-}" in
/*) dir="$XDG_DATA_HOME/lumetra" ;;
*) dir="${HOME:+$HOME/.local/share/lumetra}" ;;
esac
data="$dir/Data"

# Whether the entry is a link into the sound folder of an install of the
# game, by the layout every install has.
ours() {
    [ -L "$1" ] && case "$(readlink "$1")" in */share/games/lumetra/Data/*) true ;; *) false ;; esac
}

# Whether the entry is the user's own: a link elsewhere, or anything else
# but a regular file equal to the sound (a copy an older launcher made).
users() {
    if [ -L "$1" ]; then
        ! ours "$1"
    else
        [ -e "$1" ] && ! { [ -f "$1" ] && cmp -s "$1" "$2"; }
    fi
}

# A failure to renew a link is said and survived: the game can still run.
renew() {
    for f in "$data"/*; do
        if ours "$f" && [ ! -e "$f" ]; then  # its sound is no longer installed
            rm -f "$f" 2>/dev/null || echo "lumetra: cannot remove $f" >&2
        fi
    done
    for sound in "$sounds"/*; do
        [ -f "$sound" ] || continue
        f="$data/${sound##*/}"
        if [ -L "$f" ] && [ "$(readlink "$f")" = "$sound" ]; then
            continue
        fi
        if users "$f" "$sound"; then
            echo "lumetra: keeping your own $f instead of the installed sound" >&2
            continue
        fi
        ln -sfn "$sound" "$f" 2>/dev/null || echo "lumetra: cannot link $f" >&2
    done
}

# Without a folder of its own the game runs in the installed one, beside its
# sounds; its log then goes to standard output only.
if [ -z "$dir" ]; then
    echo "lumetra: HOME is not set, so the game runs in $share" >&2
    dir=$share
elif ! mkdir -p "$dir" 2>/dev/null; then
    echo "lumetra: $dir cannot be made, so the game runs in $share" >&2
    dir=$share
elif [ -L "$data" ]; then
    echo "lumetra: $data is a link; its files are left as they are" >&2
elif [ -e "$data" ] && [ ! -d "$data" ]; then
    echo "lumetra: $data is not a folder, so the game runs without its sounds" >&2
elif mkdir -p "$data" 2>/dev/null; then
    renew
else
    echo "lumetra: $data cannot be made, so the game runs without its sounds" >&2
fi
cd "$dir"
exec "$prefix/lib/games/lumetra/lumetra" "$@"
