// What the fuzz targets share. Relative corpus and crash paths are made
// absolute, crash files landing where the fuzzer was started by default. A
// target writing files (log.txt, LoadBmp4's C export, the leaderboard's
// Data/) works in a scratch directory, entered at the first input: a -jobs,
// -fork or -merge parent runs none, so it stays where it was started, as do
// its workers' logs. A watcher removes the directory when the fuzzer ends.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace fuzzing {

inline void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz target: %s\n", what);
    std::abort();
}

inline void EnterScratch() {
    static bool entered = false;
    if (std::exchange(entered, true)) return;
    const char* tmp = std::getenv("TMPDIR");
    static std::string dir =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/lumetra-fuzz-XXXXXX";
    int watch[2];
    if (mkdtemp(dir.data()) == nullptr || pipe2(watch, O_CLOEXEC) != 0) std::abort();
    if (fork() == 0) {
        // Out of the fuzzer's group, which Ctrl-C ends; the pipe ends with it.
        setsid();
        close(watch[1]);
        for (char c; read(watch[0], &c, 1) < 0 && errno == EINTR;) {
        }
        execl("/bin/rm", "rm", "-rf", dir.c_str(), static_cast<char*>(nullptr));
        _exit(1);
    }
    close(watch[0]);
    const int null = open("/dev/null", O_WRONLY);  // the readers' log lines
    if (chdir(dir.c_str()) != 0 || null < 0 || dup2(null, STDOUT_FILENO) < 0) std::abort();
    close(null);
}

inline std::string WriteInput(const uint8_t* data, size_t size) {
    EnterScratch();
    static unsigned runs = 0;
    if (++runs % 1024 == 0) std::remove("log.txt");  // it only grows
    std::FILE* f = std::fopen("input.bmp", "wb");
    if (f == nullptr || (size > 0 && std::fwrite(data, 1, size, f) != size)) std::abort();
    std::fclose(f);
    return "input.bmp";
}

}  // namespace fuzzing

// Every target that includes this header: relative paths made absolute
// before libFuzzer reads its arguments.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    char cwd[4096];
    const std::string here = std::string(getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".") + "/";
    bool prefixed = false;
    for (int i = 0; i < *argc; ++i) {
        std::string a = (*argv)[i];
        const size_t value = a.find('=') + 1;
        prefixed = prefixed || a.rfind("-artifact_prefix=", 0) == 0;
        if ((a.rfind("-artifact_prefix=", 0) == 0 || a.rfind("-exact_artifact_path=", 0) == 0) &&
            a.compare(value, 1, "/") != 0)
            a.insert(value, here);
        if (i > 0 && !a.empty() && a[0] != '-' && a[0] != '/') a = here + a;
        args.push_back(a);
    }
    if (!prefixed) args.push_back("-artifact_prefix=" + here);
    for (std::string& a : args) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(args.size());
    *argv = pointers.data();
    return 0;
}
