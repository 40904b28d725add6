// Processes, files and text around a test: scratch folders, programs started as children,
// recording stand-ins for the programs the game starts, and the scripts and bytes tests write.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace rig {

// A fresh directory under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A TempDir that is the working directory while it lives, for code with relative paths.
class Scratch : public TempDir {
public:
    Scratch();
    ~Scratch();

private:
    std::string old_;
};

// Writes past this many bytes fail with EFBIG while it lives, for root too:
// a full disk on demand.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int);
};

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& contents);
std::vector<std::string> ReadLines(const std::string& path);
int LinesOf(const std::string& text);
// The value's low bytes, least significant first, as file formats store them.
std::string Le(uint64_t value, int bytes);
// A key script's keys in order: each character alone, and the name between < and > as one,
// "ab<Left>" gives "a", "b", "Left".
std::vector<std::string> KeyScript(const std::string& script);

// Stand-ins for aplay, firefox and thunderbird, placed first on PATH: each
// appends its exact command line (name and arguments, space separated) to a
// record file; the aplay one sleeps like a short beep first.
class StandIns {
public:
    explicit StandIns(int aplayMillis = 200);
    std::string Path() const;  // a PATH with the stand-ins first
    std::vector<std::string> Recorded() const;
    void Clear() const;
    void Install() const;  // PATH of this process (and so of the toolkit's children)

private:
    TempDir dir_;
    std::string record_;
};

// Starts a program found on PATH in workdir ("": this one), its output and
// errors into the file output, with environment additions (NAME=value). It
// is killed if the test program dies first, so none outlives a test killed
// outright.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& workdir,
            const std::string& output, const std::vector<std::string>& env = {});

// A program started with its own working directory, its output in a file
// there and environment additions; killed and reaped when the object goes.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& workdir,
                 const std::vector<std::string>& env = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    pid_t Pid() const { return pid_; }
    bool Running();
    int Wait(int timeoutMs);  // the exit status, 128 + signal, or -1 on a timeout
    void Signal(int sig);
    const std::string& Output() const { return outputPath_; }

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string outputPath_;
};

// Process ids whose parent is the given process.
std::vector<pid_t> ChildrenOf(pid_t parent);
bool IsZombie(pid_t pid);

}  // namespace rig
