// What every fuzz target shares: it runs in a scratch directory of its own
// (the readers write log.txt, and LoadBmp4 its C export, beside their input)
// with the diagnostic log's standard output discarded.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzing {

inline void EnterScratchDirectory() {
    char pattern[] = "/tmp/lumetra-fuzz-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr || chdir(dir) != 0) std::abort();
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, STDOUT_FILENO) < 0) std::abort();
    close(null);
}

// The input as a file of the scratch directory.
inline std::string WriteInput(const uint8_t* data, size_t size) {
    static unsigned runs = 0;
    // The log only grows; keep the scratch directory small.
    if (++runs % 1024 == 0) std::remove("log.txt");
    std::FILE* f = std::fopen("input.bmp", "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return "input.bmp";
}

}  // namespace fuzzing
