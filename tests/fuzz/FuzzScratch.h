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
#include <vector>

namespace fuzzing {

// Called from LLVMFuzzerInitialize, before libFuzzer reads its arguments:
// corpus directories given relative to where the fuzzer was started are made
// absolute, and crash files still go there (-artifact_prefix), although the
// target itself then works in its scratch directory.
inline void EnterScratchDirectory(int* argc, char*** argv) {
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) std::abort();
    const std::string here = std::string(cwd) + "/";
    bool prefixed = false;
    for (int i = 0; i < *argc; ++i) {
        std::string a = (*argv)[i];
        if (a.rfind("-artifact_prefix=", 0) == 0) prefixed = true;
        if (i > 0 && !a.empty() && a[0] != '-' && a[0] != '/') a = here + a;
        args.push_back(a);
    }
    if (!prefixed) args.push_back("-artifact_prefix=" + here);
    for (std::string& a : args) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(args.size());
    *argv = pointers.data();

    static char dir[] = "/tmp/lumetra-fuzz-XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) std::abort();
    // What the target leaves there goes when the fuzzer ends.
    std::atexit([] {
        for (const char* name : {"input.bmp", "input.bmp.c", "log.txt"}) std::remove(name);
        if (chdir("/") == 0) rmdir(dir);
    });
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
