// Reading, merging and safely replacing the leaderboard file.
#include "lumetra/game/Leaderboard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <functional>
#include <numeric>

#include "lumetra/core/Log.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"
#include "lumetra/util/TextFile.h"

namespace lumetra {

namespace {

const char* const kDataDirectory = "Data";
constexpr size_t kScoreWidth = 8;

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// A directory name that stays one level below "Data".
bool IsPlainDirectoryName(const std::string& name) {
    return name.find('/') == std::string::npos && name.find("..") == std::string::npos;
}

// The permissions a new board gets: the old board's, else a new file's.
mode_t BoardMode(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) return st.st_mode & 0777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The file a board's path stands for: a link is followed to its target, also
// one not there yet, so that the board stays a link and its target is written.
std::string FollowLinks(const std::string& path) {
    std::string file = path;
    struct stat st {};
    // As many links as the system itself follows before it gives up.
    for (int hops = 0; hops < 40 && lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode); ++hops) {
        char target[PATH_MAX];
        const ssize_t n = readlink(file.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<size_t>(n) == sizeof target) break;
        // An absolute target replaces the whole path, a relative one the
        // name after the last slash (the whole path when there is none).
        if (target[0] == '/') file.clear();
        file.erase(file.rfind('/') + 1);
        file.append(target, static_cast<size_t>(n));
    }
    return file;
}

// Writes the contents over the open file from its start and cuts it there.
bool Overwrite(int fd, const std::string& contents) {
    for (size_t done = 0; done < contents.size();) {
        const ssize_t n =
            pwrite(fd, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return ftruncate(fd, static_cast<off_t>(contents.size())) == 0;
}

// A folder that takes no new file (one the user may not write to) leaves a
// board the user may write to be rewritten where it is. What it held is kept
// in memory and put back when the new contents cannot be written whole.
bool RewriteInPlace(const std::string& path, const std::string& contents) {
    const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const File file(fd >= 0 ? fdopen(fd, "r+b") : nullptr);
    if (!file) {
        if (fd >= 0) close(fd);
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<uint64_t>(st.st_size) > TextFile::MaxReadBytes)
        return false;
    std::string old(static_cast<size_t>(st.st_size), '\0');
    if (pread(fd, old.data(), old.size(), 0) != st.st_size) return false;
    if (Overwrite(fd, contents)) return true;
    Overwrite(fd, old);
    return false;
}

// Writes a sibling file first and renames it over the target, so a failed or
// interrupted write never leaves a truncated file behind. The sibling is made
// exclusively under a fresh name, so nothing planted there (a link to another
// file) is ever written through. The lines go out in one write.
bool ReplaceFile(const std::string& board, const std::vector<std::string>& lines) {
    std::string contents;
    for (const std::string& line : lines) contents.append(line).push_back('\n');
    const std::string path = FollowLinks(board);
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return RewriteInPlace(path, contents);
    File file(fdopen(fd, "wb"));
    if (!file) {
        close(fd);
        RemoveFile(temporary);
        return false;
    }
    bool written = fchmod(fd, BoardMode(path)) == 0;
    written =
        std::fwrite(contents.data(), 1, contents.size(), file.get()) == contents.size() && written;
    written = std::fflush(file.get()) == 0 && written;
    // A failing close (a full disk noticed late) is a failed write too.
    written = std::fclose(file.release()) == 0 && written;
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    RemoveFile(temporary);
    return false;
}

// Holds the board's folder locked (an advisory lock, which every copy of the
// program takes) while a score is read, merged and written back: two programs
// adding at once would otherwise each write a list without the other's entry.
// The wait is bounded, so a holder that never lets go costs one failed write,
// not a frozen game.
class BoardLock {
public:
    explicit BoardLock(const std::string& dir)
        : fd_(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        for (int tries = 0; fd_ >= 0 && tries < kLockTries; ++tries) {
            if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
                held_ = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) return;
            usleep(kLockPauseMicros);
        }
    }
    ~BoardLock() {
        if (fd_ >= 0) close(fd_);  // which lets go of the lock
    }
    BoardLock(const BoardLock&) = delete;
    BoardLock& operator=(const BoardLock&) = delete;
    // Why the board is not locked, as the log says it; empty when it is. A
    // folder that cannot be read cannot be locked, though nobody holds it.
    std::string Failure(const std::string& dir) const {
        if (held_) return {};
        if (fd_ < 0) return "Cartella non leggibile: " + dir;
        return "Classifica occupata da un altro programma: " + dir + Leaderboard::FileName;
    }

private:
    static constexpr int kLockTries = 100;
    static constexpr useconds_t kLockPauseMicros = 10000;
    int fd_;
    bool held_ = false;
};

}  // namespace

std::string Leaderboard::ScoreDirectory(const std::string& name) {
    if (!IsPlainDirectoryName(name)) {
        Log("Nome di classifica non valido: " + name);
        return {};
    }
    if (!FileExists(kDataDirectory)) EnsureDirectory(kDataDirectory);
    std::string dir = WithTrailingSeparator(kDataDirectory) + name;
    if (!FileExists(dir) && !EnsureDirectory(dir)) {
        Log("Cartella non creata: " + dir);
        return {};
    }
    dir = WithTrailingSeparator(dir) + "Score";
    if (!FileExists(dir) && !EnsureDirectory(dir)) {
        Log("Cartella non creata: " + dir);
        return {};
    }
    return WithTrailingSeparator(dir);
}

std::string Leaderboard::Entry(int64_t score, const std::string& playerName) {
    std::string digits = IntToString(score, '0', kScoreWidth);
    if (digits.size() > kScoreWidth) digits.erase(0, digits.size() - kScoreWidth);
    return digits + " " + playerName;
}

std::vector<std::string> Leaderboard::Load() {
    error_ = false;
    const std::string dir = ScoreDirectory(name_);
    if (dir.empty()) {
        error_ = true;
        return {};
    }
    return Read(dir);
}

std::vector<std::string> Leaderboard::Read(const std::string& dir) {
    const std::string path = dir + FileName;
    if (!FileExists(path)) return {};
    TextFile file(path);
    std::vector<std::string> lines = file.ReadLines();
    if (file.Failed()) {
        Log("Lettura non riuscita: " + path);
        error_ = true;
        return {};
    }
    return lines;
}

bool Leaderboard::Save(std::vector<std::string>& lines) {
    error_ = false;
    const std::string dir = ScoreDirectory(name_);
    if (dir.empty()) {
        error_ = true;
        return false;
    }
    const BoardLock lock(dir);
    return Write(dir, lock.Failure(dir), lines);
}

bool Leaderboard::AddScore(int64_t score, const std::string& playerName) {
    error_ = false;
    if (HasLineBreak(playerName)) {
        Log("Classifica: nome con un a capo, non scritto");
        error_ = true;
        return false;
    }
    const std::string dir = ScoreDirectory(name_);
    if (dir.empty()) {
        error_ = true;
        return false;
    }
    const BoardLock lock(dir);
    std::vector<std::string> lines = Read(dir);
    if (error_) return false;
    lines.push_back(Entry(score, playerName));
    return Write(dir, lock.Failure(dir), lines);
}

bool Leaderboard::Write(const std::string& dir, const std::string& lockFailure,
                        std::vector<std::string>& lines) {
    const std::string path = dir + FileName;
    if (!lockFailure.empty()) {
        Log(lockFailure);
        error_ = true;
        return false;
    }
    // A line feed inside a line would split it in two in the file.
    if (std::any_of(lines.begin(), lines.end(),
                    [](const std::string& l) { return l.find('\n') != std::string::npos; })) {
        Log("Classifica: riga con un a capo, non scritta");
        error_ = true;
        return false;
    }
    // std::string compares bytes as unsigned characters, a prefix first.
    std::sort(lines.begin(), lines.end(), std::greater<std::string>());
    if (lines.size() > MaxEntries) lines.resize(MaxEntries);
    // What is written must read back: the whole board, one long line or not,
    // within the bound of reading.
    const size_t bytes =
        std::accumulate(lines.begin(), lines.end(), size_t{0},
                        [](size_t n, const std::string& l) { return n + l.size() + 1; });
    if (bytes > TextFile::MaxReadBytes) {
        Log("Classifica troppo lunga, non scritta");
        error_ = true;
        return false;
    }
    if (!ReplaceFile(path, lines)) {
        Log("Scrittura non riuscita: " + path);
        error_ = true;
        return false;
    }
    return true;
}

}  // namespace lumetra
