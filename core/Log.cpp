#include "core/Log.h"

#include <cstdio>

namespace lumetra {

void Log(const std::string& message) { Log(message.c_str()); }

void Log(const char* message) {
    std::fputs(message, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    // Opened and closed on every call, so the file is complete after each one;
    // a log that cannot be written is not reported anywhere else.
    if (std::FILE* f = std::fopen("log.txt", "a")) {
        std::fputs(message, f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

}  // namespace lumetra
