// The one diagnostic channel: every message goes to standard output and is
// appended as one line to "log.txt" in the working directory.
#pragma once

#include <string>

namespace lumetra {

void Log(const char* message);
void Log(const std::string& message);

}  // namespace lumetra
