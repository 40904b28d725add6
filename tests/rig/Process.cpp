#include "rig/Process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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
    if (path_.empty()) return;
    // Tests may leave read-only directories behind; give them back first.
    const std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    (void)!std::system(cmd.c_str());
}

WorkingDirectory::WorkingDirectory(const std::string& dir) {
    char buf[4096];
    if (getcwd(buf, sizeof buf) != nullptr) old_ = buf;
    ok_ = chdir(dir.c_str()) == 0;
}

WorkingDirectory::~WorkingDirectory() {
    if (!old_.empty()) (void)!chdir(old_.c_str());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    return static_cast<bool>(out);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

StandIns::StandIns(int aplayMillis) {
    record_ = dir_ / "commands.log";
    auto script = [this](const std::string& name, const std::string& before) {
        const std::string path = dir_ / name;
        WriteFile(path, "#!/bin/sh\n" + before + "echo \"" + name + " $*\" >> '" + record_ + "'\n");
        chmod(path.c_str(), 0755);
    };
    const std::string sleep = aplayMillis > 0 ? "sleep " + std::to_string(aplayMillis / 1000.0) + "\n" : "";
    script("aplay", sleep);
    script("firefox", "");
    script("thunderbird", "");
}

std::string StandIns::Path() const {
    const char* old = std::getenv("PATH");
    return dir_.Path() + ":" + (old ? old : "/usr/bin:/bin");
}

std::vector<std::string> StandIns::Recorded() const { return ReadLines(record_); }

void StandIns::Clear() const { std::remove(record_.c_str()); }

void StandIns::Install() const { setenv("PATH", Path().c_str(), 1); }

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& workdir, const std::vector<std::string>& env) {
    outputPath_ = workdir + "/stdout.txt";
    pid_ = fork();
    if (pid_ != 0) return;
    if (chdir(workdir.c_str()) != 0) _exit(126);
    const int out = open(outputPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        dup2(out, 1);
        dup2(out, 2);
    }
    for (const std::string& kv : env) putenv(const_cast<char*>(kv.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        Signal(SIGKILL);
        Wait(5000);
    }
}

bool ChildProcess::Running() {
    if (pid_ <= 0 || status_ != -1) return false;
    int st = 0;
    const pid_t r = waitpid(pid_, &st, WNOHANG);
    if (r == 0) return true;
    if (r == pid_) status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return false;
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
std::string StatField(pid_t pid, int field) {
    std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return {};
    std::istringstream rest(stat.substr(close + 2));
    std::string f;
    for (int i = 3; i <= field && rest >> f; ++i) {
    }
    return f;
}
}  // namespace

std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> out;
    DIR* dir = opendir("/proc");
    if (!dir) return out;
    while (dirent* e = readdir(dir)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
        if (pid > 0 && StatField(pid, 4) == std::to_string(parent)) out.push_back(pid);
    }
    closedir(dir);
    return out;
}

bool IsZombie(pid_t pid) { return StatField(pid, 3) == "Z"; }

int OpenDescriptorCount(pid_t pid) {
    int n = 0;
    DIR* dir = opendir(("/proc/" + std::to_string(pid) + "/fd").c_str());
    if (!dir) return -1;
    while (dirent* e = readdir(dir)) n += e->d_name[0] != '.' ? 1 : 0;
    closedir(dir);
    return n;
}

}  // namespace rig
