#!/bin/sh
# The Debian packages as a packager and a user meet them: made by CPack, clean under lintian,
# unpacked into a scratch root, the game started there by its launcher as nobody, and other
# programs built against the unpacked toolkit. Runs under `rig_x11 run`, for its X server.
#   package_test.sh CPACK BINARY_DIR RIG_X11
set -u
cpack=$1
bin=$2
x11=$3
out=$(mktemp -d)
trap 'kill -9 $game_pid 2>/dev/null; rm -rf "$out"' EXIT
game_pid=
fails=0

# check NAME EXPECTED ACTUAL
check() {
    if [ "$2" != "$3" ]; then
        printf 'FAIL %s:\n%s\n  expected:\n%s\n' "$1" "$3" "$2"
        fails=$((fails + 1))
    fi
}
# Nothing when the command succeeds, else its output and status.
quiet() {
    said=$("$@" 2>&1) || {
        printf '%s[exit %s]' "$said" "$?"
        return 1
    }
}

# lintian and the game run as nobody when the suite runs as root.
as=
[ "$(id -u)" -eq 0 ] && as="setpriv --reuid=65534 --regid=65534 --clear-groups"
usr=$out/root/usr
home=$out/home
mkdir "$home"
(cd "$out" && quiet "$cpack" --config "$bin/CPackConfig.cmake") || {
    echo " FAIL cpack"
    exit 1
}
game=$(echo "$out"/lumetra_*.deb)
dev=$(echo "$out"/lumetra-toolkit-dev_*.deb)
[ -n "$as" ] && chown -R 65534:65534 "$out"
check lintian "" "$($as env HOME="$out" lintian --fail-on error,warning "$game" "$dev" 2>&1)"
check game-fields "Section: games
Recommends: alsa-utils
Depends: libc6, libx11-6" "$(dpkg-deb -f "$game" Section Recommends Depends | sed 's/ ([^)]*)//g')"
check dev-fields "Section: libdevel
Depends: libx11-dev" "$(dpkg-deb -f "$dev" Section Depends)"
for deb in "$game" "$dev"; do
    dpkg-deb -x "$deb" "$out/root" || exit 1
done
check toolkit-without-game "" \
    "$(nm -C "$usr"/lib/*/liblumetra-toolkit.a | grep -E 'FormMain|BoxGame|FormAbout')"
check icons "128x128/apps/lumetra.png 256x256/apps/lumetra.png 48x48/apps/lumetra.png \
64x64/apps/lumetra.png" "$(cd "$usr/share/icons/hicolor" && echo */apps/lumetra.png)"
check metadata "" "$(quiet appstreamcli validate --pedantic --no-net "$usr"/share/metainfo/*.xml &&
    quiet desktop-file-validate "$usr"/share/applications/*.desktop)"

# The game from its launcher; its per-user Data holds links to the installed sounds.
(cd "$home" && exec $as env HOME="$home" XDG_DATA_HOME="$home/xdg" "$usr/games/lumetra") \
    >"$out/game.log" 2>&1 &
game_pid=$!
"$x11" window "$("$x11" title)" || check game-window "shown" "none"
kill -0 "$game_pid" || check game-running "running" "ended"
sounds=$usr/share/games/lumetra/Data/
check sound-links "beep.wav
urlo.wav
${sounds}beep.wav
${sounds}urlo.wav" "$(cd "$home/xdg/lumetra/Data" && ls && readlink beep.wav urlo.wav)"

# Other programs, from the guide and examples installed with the toolkit: the gallery through
# find_package; the guide's first program through pkg-config and under a careful program's
# warnings, then used: its button opens the dialog, whose own button closes it.
doc=$usr/share/doc/lumetra-toolkit-dev
toolkit=$(PKG_CONFIG_PATH=$(echo "$usr"/lib/*/pkgconfig) \
    pkg-config --define-variable=prefix="$usr" --cflags --libs lumetra-toolkit)
strict="c++ -std=c++17 -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Werror"
check gallery "" "$(quiet cmake -S "$doc/examples/gallery" -B "$out/gallery" \
    -DCMAKE_PREFIX_PATH="$usr" && quiet cmake --build "$out/gallery")"
awk '/^```cpp$/ { if (!n++) { f = 1; next } } /^```$/ { if (f) exit } f' "$doc/toolkit.md" \
    >"$out/hello.cpp"
check hello-built "" "$(quiet $strict "$out/hello.cpp" -o "$out/hello" $toolkit)"
(cd "$out" && exec timeout 30 ./hello) &
hello=$!
"$x11" click Hello 110 48 && "$x11" click "A question" 110 48 && "$x11" gone "A question" &&
    "$x11" close Hello || check hello-dialog "opened and closed" "not"
wait "$hello"
check hello-status 0 "$?"

# Every installed header compiles alone under those warnings. Together they leave Xlib's macros
# out of the program, which may name its own None or True; and they go with Xlib included before
# or after them.
headers=$(cd "$usr/include" && echo lumetra/*.h lumetra/*/*.h)
for h in $headers; do
    check "$h alone" "" \
        "$(echo "#include <$h>" | quiet $strict -fsyntax-only -I"$usr/include" -x c++ -)"
done
all=$(printf '#include <%s>\n' $headers)
own="enum class Mode { None, Bool, Status, Success, True, False };"
xlib="#include <X11/Xlib.h>
#include <X11/Xutil.h>"
for program in "$all
$own" "$xlib
$all" "$all
$xlib"; do
    check "together: $program" "" \
        "$(echo "$program" | quiet $strict -fsyntax-only -I"$usr/include" -x c++ -)"
done

# A program with core/ and util/ folders of its own on its include path, after the toolkit's:
# the toolkit's headers and the program's own each find their own; the version header tells
# the package's version.
mkdir -p "$out/mine/core" "$out/mine/util"
echo "#error the toolkit found the program's core/Types.h" >"$out/mine/core/Types.h"
echo "#define PROGRAMS_OWN 1" >"$out/mine/util/Strings.h"
cat >"$out/main.cpp" <<'PROGRAM'
#include <lumetra/Version.h>
#include <lumetra/controls/ButtonCustom.h>
#include <lumetra/util/Strings.h>
#include <cstdio>
#include "util/Strings.h"
int main() { std::puts(PROGRAMS_OWN ? LUMETRA_VERSION_STRING : ""); }
PROGRAM
check own-folders "$(dpkg-deb -f "$dev" Version)" \
    "$(c++ -std=c++17 "$out/main.cpp" -o "$out/main" $toolkit -I"$out/mine" 2>&1 && "$out/main")"
[ "$fails" -eq 0 ] && echo "package: all checks pass"
exit "$fails"
