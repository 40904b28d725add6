// The one diagnostic channel. By default every message goes to standard
// output and is appended as one line to "log.txt" in the working directory;
// a program that wants otherwise says so before its first message.
#pragma once

#include <string>

namespace lumetra {

void Log(const char* message);
void Log(const std::string& message);

// The file messages are appended to, opened anew for each one; "" for none.
void SetLogFile(std::string path);
// Whether messages are also written to standard output.
void SetLogEcho(bool echo);

}  // namespace lumetra
