#include "util/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace lumetra {

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool EnsureDirectory(const std::string& path) {
    if (FileExists(path)) return true;
    return mkdir(path.c_str(), 0777) == 0;
}

std::string WithTrailingSeparator(const std::string& path) {
    if (path.empty()) return path;
    const char last = path.back();
    if (last == '/' || last == '\\' || last == ':') return path;
    return path + "/";
}

std::string DirectoryOf(const std::string& path) {
    size_t at = path.find_last_of("/\\");
    if (at == std::string::npos) at = path.find_last_of(':');
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string FileNameOf(const std::string& path) { return path.substr(DirectoryOf(path).size()); }

}  // namespace lumetra
