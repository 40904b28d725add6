# Prints file:line for each EXPECT_TRUE, ASSERT_TRUE, EXPECT_FALSE or
# ASSERT_FALSE whose condition joins others with a top-level && or ||, which
# GoogleTest reports as a bare "false" instead of the value that differs.
# Comments, string and character literals are skipped.
function skip(i,    c) {  # from a comment or literal at i to the position after it
    c = substr(src, i, 1)
    if (substr(src, i, 2) == "//") {
        while (i <= n && substr(src, i, 1) != "\n") i++
        return i
    }
    if (substr(src, i, 2) == "/*") {
        for (i += 2; i <= n && substr(src, i, 2) != "*/"; i++) if (substr(src, i, 1) == "\n") line++
        return i + 2
    }
    for (i++; i <= n && substr(src, i, 1) != c; i++) if (substr(src, i, 1) == "\\") i++
    return i + 1
}
function opens(i) {  # a comment or a literal starts at i
    return substr(src, i, 2) == "//" || substr(src, i, 2) == "/*" || substr(src, i, 1) == "\"" ||
           substr(src, i, 1) == "'"
}
function scan(    i, c, j, depth, start, name, joined) {
    n = length(src)
    line = 1
    i = 1
    while (i <= n) {
        c = substr(src, i, 1)
        if (opens(i)) { i = skip(i); continue }
        if (c == "\n") line++
        if (c ~ /[EA]/ && substr(src, i - 1, 1) !~ /[A-Za-z0-9_]/ &&
            match(substr(src, i, 13), /^(EXPECT|ASSERT)_(TRUE|FALSE)[ \t\n]*\(/)) {
            name = substr(src, i, RLENGTH)
            sub(/[ \t\n]*\($/, "", name)
            start = line
            depth = 0
            joined = 0
            for (j = i + RLENGTH; j <= n; j++) {
                c = substr(src, j, 1)
                if (opens(j)) { j = skip(j) - 1; continue }
                if (c == "\n") line++
                if (c ~ /[([{]/) depth++
                else if (c ~ /[)\]}]/) { if (depth-- == 0) break }
                else if (depth == 0 && (substr(src, j, 2) == "&&" || substr(src, j, 2) == "||"))
                    joined = 1
            }
            if (joined) {
                print file ":" start ": " name " of a compound condition: assert each part, or compare tuples"
                bad = 1
            }
            i = j + 1
            continue
        }
        i++
    }
}
FNR == 1 && NR > 1 { scan(); src = "" }
FNR == 1 { file = FILENAME }
{ src = src $0 "\n" }
END { scan(); exit bad }
