// Quoting a path for the shell, and finding a program on PATH.
#include "lumetra/util/CommandLine.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {

bool IsPlainPathCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
           c == '.' || c == '_' || c == '-';
}

}  // namespace

std::string ShellWord(const std::string& path) {
    if (!path.empty() && std::all_of(path.begin(), path.end(), IsPlainPathCharacter)) return path;
    std::string quoted = "'";
    for (char c : path) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

bool FoundOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    for (const std::string& dir : Split(path != nullptr ? path : "/usr/bin:/bin", ":")) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
    }
    return false;
}

}  // namespace lumetra
