#include "rig/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace rig {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/lumetra-test-XXXXXX";
    if (mkdtemp(tmpl.data()) != nullptr) path_ = tmpl;
}

TempDir::~TempDir() {
    // Tests may leave read-only directories behind; give them back first.
    const std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (!path_.empty()) (void)!std::system(cmd.c_str());
}

Scratch::Scratch() {
    char buf[4096];
    if (getcwd(buf, sizeof buf) != nullptr) old_ = buf;
    if (chdir(Path().c_str()) != 0) std::abort();  // the test would write where it was
}
Scratch::~Scratch() { (void)!chdir(old_.c_str()); }

FileSizeLimit::FileSizeLimit(rlim_t bytes) : oldHandler_(signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &old_);
    const rlimit limit{bytes, old_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
}

// With read(2): a file under /proc of a process that ends while it is read
// fails with ESRCH, which an ifstream would throw as an exception.
std::string ReadFile(const std::string& path) {
    std::string contents;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t n = 1; fd >= 0 && n > 0;) {
        n = read(fd, buffer, sizeof buffer);
        if (n > 0) contents.append(buffer, static_cast<size_t>(n));
        if (n < 0 && errno == EINTR) n = 1;
    }
    if (fd >= 0) close(fd);
    return contents;
}

bool WriteFile(const std::string& path, const std::string& contents) {
    return static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::trunc) << contents);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

int LinesOf(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::string Le(uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::vector<std::string> KeyScript(const std::string& script) {
    std::vector<std::string> keys;
    for (size_t i = 0; i < script.size(); ++i) {
        const size_t end = script[i] == '<' ? script.find('>', i) : std::string::npos;
        keys.push_back(end == std::string::npos ? script.substr(i, 1)
                                                : script.substr(i + 1, end - i - 1));
        i = end == std::string::npos ? i : end;
    }
    return keys;
}

StandIns::StandIns(int aplayMillis) : record_(dir_ / "commands.log") {
    const std::string sleep =
        aplayMillis > 0 ? "sleep " + std::to_string(aplayMillis / 1000.0) + "\n" : "";
    for (const std::string name : {"aplay", "firefox", "thunderbird"}) {
        WriteFile(dir_ / name, "#!/bin/sh\n" + (name == "aplay" ? sleep : "") + "echo \"" + name +
                                   " $*\" >> '" + record_ + "'\n");
        chmod((dir_ / name).c_str(), 0755);
    }
}

std::string StandIns::Path() const {
    return dir_.Path() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
}
std::vector<std::string> StandIns::Recorded() const { return ReadLines(record_); }
void StandIns::Clear() const { std::remove(record_.c_str()); }
void StandIns::Install() const { setenv("PATH", Path().c_str(), 1); }

pid_t Spawn(const std::vector<std::string>& argv, const std::string& workdir,
            const std::string& output, const std::vector<std::string>& env) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (!workdir.empty() && chdir(workdir.c_str()) != 0) _exit(126);
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    for (const std::string& kv : env) putenv(const_cast<char*>(kv.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& workdir,
                           const std::vector<std::string>& env)
    : outputPath_(workdir + "/stdout.txt") {
    pid_ = Spawn(argv, workdir, outputPath_, env);
}

ChildProcess::~ChildProcess() {
    if (!Running()) return;
    Signal(SIGKILL);
    Wait(5000);
}

bool ChildProcess::Running() {
    if (pid_ <= 0 || status_ != -1) return false;
    int st = 0;
    const pid_t r = waitpid(pid_, &st, WNOHANG);
    if (r == pid_) status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return r == 0;
}

int ChildProcess::Wait(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running()) {
        if (std::chrono::steady_clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
}

void ChildProcess::Signal(int sig) {
    if (pid_ > 0 && status_ == -1) kill(pid_, sig);
}

namespace {
// Field n (1-based, as in proc(5)) of /proc/<pid>/stat; the name in
// parentheses may hold spaces, so counting starts after it.
std::string StatField(pid_t pid, int field) {
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    std::istringstream rest(close == std::string::npos ? "" : stat.substr(close + 2));
    std::string f;
    for (int i = 3; i <= field && rest >> f; ++i) {
    }
    return f;
}
}  // namespace

std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> out;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry.path().filename().c_str()));
        if (pid > 0 && StatField(pid, 4) == std::to_string(parent)) out.push_back(pid);
    }
    return out;
}

bool IsZombie(pid_t pid) { return StatField(pid, 3) == "Z"; }

}  // namespace rig
