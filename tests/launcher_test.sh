#!/bin/sh
# The launcher among a user's own files. Each row makes a fresh home, sets it up, starts the
# launcher of a scratch install tree, and compares what it said on standard error, where the
# game ran and what Data/ holds then. Runs as nobody, so that file modes count.
set -u
if [ "$(id -u)" -eq 0 ]; then
    exec setpriv --reuid=65534 --regid=65534 --clear-groups sh "$0" "$@"
fi
root=$(mktemp -d)
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
usr=$root/usr
S=$usr/share/games/lumetra/Data
mkdir -p "$usr/games" "$usr/lib/games/lumetra" "$S" "$root/bin"
cp "$1" "$usr/games/lumetra"
printf beep >"$S/beep.wav"
printf urlo >"$S/urlo.wav"
# The game's stand-in says where it runs.
printf '#!/bin/sh\npwd\n' >"$usr/lib/games/lumetra/lumetra"
chmod +x "$usr/games/lumetra" "$usr/lib/games/lumetra/lumetra"
ln -s "$usr/games/lumetra" "$root/bin/lumetra"
fails=0

# Data's entries, one a line: "name>target" for a link (the sound folder as $S), else
# "name=content".
listing() {
    for f in "$1"/*; do
        if [ -L "$f" ]; then
            echo "${f##*/}>$(readlink "$f" | sed "s|^$S|\$S|")"
        elif [ -f "$f" ]; then
            echo "${f##*/}=$(cat "$f")"
        elif [ -e "$f" ]; then
            echo "${f##*/}?"
        fi
    done
}

# row NAME SETUP EXPECTED-STDERR EXPECTED-DATA [LAUNCHER [XDG_DATA_HOME]]
# SETUP runs in the fresh home with $D its Data folder; XDG_DATA_HOME is $HOME/x unless given,
# and a relative one stands for the default.
row() {
    home=$root/home-$1
    xdg=${6-$home/x}
    case $xdg in
    /*) dir=$xdg/lumetra ;;
    *) dir=$home/.local/share/lumetra ;;
    esac
    D=$dir/Data
    mkdir -p "$home"
    (cd "$home" && eval "$2")
    err=$(cd "$home" && HOME=$home XDG_DATA_HOME=$xdg "${5:-$usr/games/lumetra}" 2>&1 >"$home/ran")
    status=$?
    got=$(listing "$D" | tr '\n' ' ')
    want="$4 "
    if [ "$status" -ne 0 ] || [ "$err" != "$(echo "$3" | sed "s|[$]D|$D|")" ] ||
        [ "$got" != "$want" ] || [ "$(cat "$home/ran")" != "$dir" ]; then
        echo "FAIL $1: status $status, stderr [$err], Data [$got] (want [$want]), ran in $(cat "$home/ran")"
        fails=$((fails + 1))
    fi
}

links='beep.wav>$S/beep.wav urlo.wav>$S/urlo.wav'
row fresh : "" "$links"
row old-copy-becomes-link 'mkdir -p $D && printf beep >$D/beep.wav' "" "$links"
row own-file-kept 'mkdir -p $D && printf mine >$D/beep.wav' \
    "lumetra: keeping your own \$D/beep.wav instead of the installed sound" \
    'beep.wav=mine urlo.wav>$S/urlo.wav'
row own-link-kept 'mkdir -p $D && ln -s /media/usb/scores $D/Classifica && ln -s /tmp $D/urlo.wav' \
    "lumetra: keeping your own \$D/urlo.wav instead of the installed sound" \
    'Classifica>/media/usb/scores beep.wav>$S/beep.wav urlo.wav>/tmp'
row gone-sound-unlinked 'mkdir -p $D && ln -s $S/gone.wav $D/gone.wav' "" "$links"
row fifo-kept 'mkdir -p $D && mkfifo $D/beep.wav' \
    "lumetra: keeping your own \$D/beep.wav instead of the installed sound" \
    'beep.wav? urlo.wav>$S/urlo.wav'
row data-is-a-link 'mkdir -p x/lumetra mine && printf mine >mine/beep.wav &&
    ln -s /nowhere mine/dangling && ln -s $PWD/mine $D' \
    "lumetra: \$D is a link; its files are left as they are" \
    'beep.wav=mine dangling>/nowhere'
row through-a-link : "" "$links" "$root/bin/lumetra"
row read-only-data 'mkdir -p $D && ln -s $S/beep.wav $S/urlo.wav $D && chmod a-w $D' "" "$links"
# A relative XDG_DATA_HOME is ignored: the default folder, nothing made where it starts.
row relative-xdg : "" "$links" "" rel
[ ! -e "$root/home-relative-xdg/rel" ] || {
    echo "FAIL relative-xdg: made rel/ in the current folder"
    fails=$((fails + 1))
}
[ "$fails" -eq 0 ] && echo "launcher: all rows pass"
exit "$fails"
