// The log's file and echo, and writing one message to both.
#include "lumetra/core/Log.h"

#include <cstdio>

#include "lumetra/util/Paths.h"

namespace lumetra {

namespace {

std::string& LogFile() {
    static std::string path = "log.txt";
    return path;
}
bool echoed = true;

void Echo(const char* message) {
    if (!echoed) return;
    std::fputs(message, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

void SetLogFile(std::string path) { LogFile() = std::move(path); }
void SetLogEcho(bool echo) { echoed = echo; }

void Log(const std::string& message) { Log(message.c_str()); }

void Log(const char* message) {
    Echo(message);
    const std::string& path = LogFile();
    if (path.empty()) return;
    // Opened and closed on every call, so the file is complete after each one;
    // a log that cannot be written is not reported anywhere else. Something
    // other than a file in its place (a FIFO, a device) is never waited for
    // or written to, and said once.
    static bool toldNotRegular = false;
    bool notRegular = false;
    if (const File f = OpenRegularFile(path, "ab", &notRegular)) {
        std::fputs(message, f.get());
        std::fputc('\n', f.get());
    } else if (notRegular && !toldNotRegular) {
        toldNotRegular = true;
        Echo((path + " is not a regular file: messages go to standard output only.").c_str());
    }
}

}  // namespace lumetra
