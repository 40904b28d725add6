# Reads the program's source files and prints every project include that
# names no file of the tree or reaches a layer above its own file's, as
# file:line: message; exits 1 if there is any. The layers, from the ground
# up: util; core and graphics, one layer (an element has a font and paints
# through a drawing context, which draws on a form); controls; game. The
# game's entry point, core/main.cpp, may include the game.
BEGIN {
    layer["util"] = 0
    layer["core"] = 1
    layer["graphics"] = 1
    layer["controls"] = 2
    layer["game"] = 3
}
match($0, /^#include "lumetra\/[^"]+"/) {
    path = substr($0, RSTART + 10, RLENGTH - 11)
    split(FILENAME, from, "/")
    split(path, to, "/")
    if (system("test -f include/" path) != 0) {
        print FILENAME ":" FNR ": " path " is no file of the tree"
        bad = 1
    } else if (to[2] in layer && layer[to[2]] > layer[from[1]] && FILENAME != "core/main.cpp") {
        print FILENAME ":" FNR ": " from[1] " includes " to[2] ", a layer above it"
        bad = 1
    }
}
END { exit bad }
