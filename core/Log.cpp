#include "lumetra/core/Log.h"

#include <cstdio>

#include "lumetra/util/Paths.h"

namespace lumetra {

void Log(const std::string& message) { Log(message.c_str()); }

void Log(const char* message) {
    std::fputs(message, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    // Opened and closed on every call, so the file is complete after each one;
    // a log that cannot be written is not reported anywhere else. Something
    // other than a file in its place (a FIFO, a device) is never waited for
    // or written to, and said once.
    static bool toldNotRegular = false;
    bool notRegular = false;
    if (const File f = OpenRegularFile("log.txt", "ab", &notRegular)) {
        std::fputs(message, f.get());
        std::fputc('\n', f.get());
    } else if (notRegular && !toldNotRegular) {
        toldNotRegular = true;
        std::fputs("log.txt is not a regular file: messages go to standard output only.\n", stdout);
        std::fflush(stdout);
    }
}

}  // namespace lumetra
