#!/bin/sh
# The launcher among a user's own files. Each row makes a fresh home, sets it up, starts the
# launcher of a scratch install tree, and compares its exit status, what it said on standard
# error, where the game ran and what Data/ holds then. Runs as nobody, so that file modes count.
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

# Data's entries by name on one line, each its name, kind (f file, l link, p FIFO) and a
# link's target, with the sound folder as $S.
listing() {
    find "$1/" -mindepth 1 -maxdepth 1 -printf '%f %y%l\n' 2>/dev/null | LC_ALL=C sort | paste -sd ';' |
        sed "s|$S|\$S|g"
}

# row NAME SETUP EXPECTED-STDERR EXPECTED-DATA [LAUNCHER [XDG_DATA_HOME]]
# SETUP runs in the fresh home with $D its Data folder; XDG_DATA_HOME is $HOME/x unless given
# as "rel", a relative one, which stands for the default, or "nohome", relative with HOME unset
# by the LAUNCHER given (a command line), which leaves the installed folder.
row() {
    home=$root/home-$1
    xdg=${6-$home/x}
    dir=$xdg/lumetra
    [ "$xdg" = rel ] && dir=$home/.local/share/lumetra
    [ "$xdg" = nohome ] && dir=${S%/Data}
    D=$dir/Data
    mkdir -p "$home"
    (cd "$home" && eval "$2")
    err=$(cd "$home" && HOME=$home XDG_DATA_HOME=$xdg timeout 10 ${5:-$usr/games/lumetra} \
        2>&1 >"$home/ran")
    got="status $?, stderr [$err], ran in $(cat "$home/ran"), Data: $(listing "$D")"
    want="status 0, stderr [$(echo "$3" | sed "s|[$]D|$D|")], ran in $dir, Data: $4"
    if [ "$got" != "$want" ]; then
        printf 'FAIL %s: %s\n  expected %s\n' "$1" "$got" "$want"
        fails=$((fails + 1))
    fi
}

keep() { echo "lumetra: keeping your own \$D/$1 instead of the installed sound"; }
links='beep.wav l$S/beep.wav;urlo.wav l$S/urlo.wav'
row old-copy-gone-link 'mkdir -p $D && printf beep >$D/beep.wav && ln -s $S/gone.wav $D' "" "$links"
row own-file-and-fifo-kept 'mkdir -p $D && printf mine >$D/beep.wav && mkfifo $D/urlo.wav' \
    "$(keep beep.wav; keep urlo.wav)" 'beep.wav f;urlo.wav p'
row own-link-kept 'mkdir -p $D && ln -s /media/usb/scores $D/Classifica && ln -s /tmp $D/urlo.wav' \
    "$(keep urlo.wav)" 'Classifica l/media/usb/scores;beep.wav l$S/beep.wav;urlo.wav l/tmp'
row data-is-a-link 'mkdir -p x/lumetra mine && printf mine >mine/beep.wav &&
    ln -s /nowhere mine/dangling && ln -s $PWD/mine $D' \
    "lumetra: \$D is a link; its files are left as they are" 'beep.wav f;dangling l/nowhere'
row other-install 'mkdir -p $D && ln -s /opt/gone/share/games/lumetra/Data/beep.wav $D &&
    ln -s /opt/gone/share/games/lumetra/Data/old.wav $D' "" "$links"
row data-a-file 'mkdir -p x/lumetra && printf mine >$D' \
    "lumetra: \$D is not a folder, so the game runs without its sounds" ""
row home-unset : "lumetra: HOME is not set, so the game runs in ${S%/Data}" \
    'beep.wav f;urlo.wav f' "env -u HOME $usr/games/lumetra" nohome
row through-a-link : "" "$links" "$root/bin/lumetra"
row read-only-data 'mkdir -p $D && ln -s $S/beep.wav $S/urlo.wav $D && chmod a-w $D' "" "$links"
# Nothing is made where a relative XDG_DATA_HOME would lead.
row relative-xdg : "" "$links" "" rel
[ -e "$root/home-relative-xdg/rel" ] && echo "FAIL relative-xdg: made rel/" && fails=$((fails + 1))
[ "$fails" -eq 0 ] && echo "launcher: all rows pass"
exit "$fails"
