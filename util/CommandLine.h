// Command lines for /bin/sh: a path quoted as one word, and whether the
// shell would find a program on PATH.
#pragma once

#include <string>

namespace lumetra {

// The path as one shell word: unchanged when it holds only letters, digits
// and "/._-", else in single quotes.
std::string ShellWord(const std::string& path);

// Whether PATH (or "/usr/bin:/bin" without one) holds an executable of that
// name; an empty entry is the current folder, as for the shell.
bool FoundOnPath(const std::string& program);

}  // namespace lumetra
