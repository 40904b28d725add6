#include "game/Sound.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <vector>

#include "core/Application.h"
#include "core/Log.h"
#include "util/Paths.h"

namespace lumetra {

namespace {

const char* const kPlayer = "aplay";
const char* const kBeepFile = "Data/beep.wav";

// Children started in the background and not reaped yet.
std::vector<pid_t>& Started() {
    static std::vector<pid_t> pids;
    return pids;
}

void Remember(pid_t pid) {
    Started().push_back(pid);
    Application::AddLoopHook(ReapFinishedChildren);
}

bool IsPlainPathCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' ||
           c == '-';
}

// A forked child ends here: _exit runs none of the parent's exit-time
// clean-up and flushes none of the stdio buffers it inherited.
[[noreturn]] void EndChild() { _exit(0); }

}  // namespace

bool RunCommand(const std::string& program, const std::string& arguments) { return RunShellCommand(program + " " + arguments); }

bool RunShellCommand(const std::string& commandLine) { return std::system(commandLine.c_str()) != 0; }

std::string ShellWord(const std::string& path) {
    if (!path.empty() && std::all_of(path.begin(), path.end(), IsPlainPathCharacter)) return path;
    std::string quoted = "'";
    for (char c : path) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

pid_t StartShellCommand(const std::string& commandLine) {
    const pid_t pid = fork();
    if (pid == 0) {
        RunShellCommand(commandLine);
        EndChild();
    }
    if (pid > 0) {
        Remember(pid);
        return pid;
    }
    RunShellCommand(commandLine);
    return 0;
}

void Beep() {
    if (!FileExists(kBeepFile)) return;
    StartShellCommand(std::string(kPlayer) + " " + ShellWord(kBeepFile));
}

void PlayWave(const std::string& file) {
    if (!FileExists(file)) {
        Log(file + " non trovato.");
        return;
    }
    RunCommand(kPlayer, ShellWord(file));
}

void ReapFinishedChildren() {
    std::vector<pid_t>& pids = Started();
    for (auto it = pids.begin(); it != pids.end();) {
        int status = 0;
        const pid_t r = waitpid(*it, &status, WNOHANG);
        // Gone (r == pid) or not ours any more (an error): forget it either way.
        if (r != 0) {
            it = pids.erase(it);
        } else {
            ++it;
        }
    }
}

bool IsUnreapedChild(pid_t pid) {
    const std::vector<pid_t>& pids = Started();
    return pid > 0 && std::find(pids.begin(), pids.end(), pid) != pids.end();
}

SoundPlayer::~SoundPlayer() { StopSound(); }

bool SoundPlayer::IsPlaying() {
    ReapFinishedChildren();
    if (playing && !IsUnreapedChild(pid)) {
        pid = 0;
        playing = false;
    }
    return playing;
}

void SoundPlayer::PlayInBackground(const std::string& file, bool loop) {
    if (!FileExists(file)) {
        Log(file + " non trovato.");
        return;
    }
    StopSound();
    const std::string args = ShellWord(file);
    const pid_t child = fork();
    if (child == 0) {
        do {
            RunCommand(kPlayer, args);
        } while (loop);
        EndChild();
    }
    if (child > 0) {
        Remember(child);
        pid = child;
        playing = true;
        return;
    }
    RunCommand(kPlayer, args);
}

void SoundPlayer::StopSound() {
    if (!playing) return;
    // A child that has ended and been reaped is forgotten: its pid may
    // belong to a stranger by now.
    if (IsUnreapedChild(pid)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == 0) kill(pid, SIGTERM);
    }
    pid = 0;
    playing = false;
}

}  // namespace lumetra
