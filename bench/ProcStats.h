// What the kernel tells about a process: status fields (resident memory) and
// the CPU time it has used.
#pragma once

#include <dirent.h>
#include <sys/types.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace bench {

// A "Key: value kB" field of /proc/<pid>/status, in KiB; -1 when absent.
inline long StatusKb(pid_t pid, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

// User plus system CPU time, in seconds.
inline double CpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = all.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(all.substr(close + 2));
    std::string f;
    long ticks = 0;
    // Fields 14 and 15: utime and stime, in clock ticks.
    for (int i = 3; i <= 15 && rest >> f; ++i) {
        if (i == 14 || i == 15) ticks += std::stol(f);
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Open file descriptors of a process; -1 when it cannot be read.
inline int OpenDescriptorCount(pid_t pid) {
    DIR* dir = opendir(("/proc/" + std::to_string(pid) + "/fd").c_str());
    if (dir == nullptr) return -1;
    int n = 0;
    while (dirent* e = readdir(dir)) n += e->d_name[0] != '.';
    closedir(dir);
    return n;
}

}  // namespace bench
