// Testing, removing and making paths, and opening only regular files.
#include "lumetra/util/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace lumetra {

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// unlink, not remove: remove takes an empty folder too, and a folder in the
// place of a file (the log's, an export's) is someone's, not the program's.
bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool EnsureDirectory(const std::string& path) {
    if (FileExists(path)) return true;
    // Made by another program since the test above: there, as asked.
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

File OpenRegularFile(const std::string& path, const char* mode, bool* notRegular) {
    // O_NONBLOCK: opening a FIFO must not wait for its other end (on a
    // regular file the flag changes nothing); O_NOCTTY: a link to a terminal
    // must not become the program's controlling one. Truncating waits until
    // the file is known to be a regular one.
    const int flags =
        mode[0] == 'r' ? O_RDONLY : O_WRONLY | O_CREAT | (mode[0] == 'a' ? O_APPEND : 0);
    const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    struct stat st {};
    bool regular = fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    // Not opened at all: a missing file is no refusal, a FIFO without a
    // reader or a directory opened for writing is.
    if (fd < 0) regular = stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
    if (notRegular != nullptr) *notRegular = !regular;
    File f;
    if (fd >= 0 && regular && (mode[0] != 'w' || ftruncate(fd, 0) == 0)) f.reset(fdopen(fd, mode));
    if (!f && fd >= 0) close(fd);
    return f;
}

std::string SpecialFileKind(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    if (S_ISFIFO(st.st_mode)) return "a FIFO";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "a device";
    if (S_ISDIR(st.st_mode)) return "a directory";
    return "a socket";
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
