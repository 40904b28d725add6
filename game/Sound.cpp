#include "game/Sound.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <set>
#include <vector>

#include "core/Application.h"
#include "core/Log.h"
#include "util/Paths.h"
#include "util/Strings.h"

namespace lumetra {

namespace {

const char* const kPlayer = "aplay";
const char* const kBeepFile = "Data/beep.wav";

// The process that loaded the program; forked children are not it.
const pid_t mainProcess = getpid();

// Children started in the background and not reaped yet, with the sound
// each plays (empty for other programs).
struct Started {
    pid_t pid;
    std::string sound;
};
std::vector<Started>& StartedChildren() {
    static std::vector<Started> children;
    return children;
}

// Process groups of the players running now, for the termination hook: a
// fixed table, since a signal handler reads it.
constexpr int kMaxPlayers = 32;
volatile sig_atomic_t players[kMaxPlayers] = {};

void StopAllPlayers() {
    for (int i = 0; i < kMaxPlayers; ++i) {
        const pid_t group = static_cast<pid_t>(players[i]);
        if (group > 0) kill(-group, SIGTERM);
    }
}

void AddPlayer(pid_t group) {
    Application::SetTerminationHook(StopAllPlayers);
    for (int i = 0; i < kMaxPlayers; ++i) {
        if (players[i] == 0) {
            players[i] = group;
            break;
        }
    }
    // Asked to end before the player was on the list: the signal's hook
    // could not see it, so stop it here.
    if (Application::TerminationSignal() != 0) kill(-group, SIGTERM);
}

void RemovePlayer(pid_t group) {
    for (int i = 0; i < kMaxPlayers; ++i) {
        if (players[i] == group) players[i] = 0;
    }
}

void Remember(pid_t pid, const std::string& sound) {
    StartedChildren().push_back({pid, sound});
    Application::AddLoopHook(ReapFinishedChildren);
}

bool IsPlainPathCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' ||
           c == '-';
}

// A forked child ends here: _exit runs none of the parent's exit-time
// clean-up and flushes none of the stdio buffers it inherited.
[[noreturn]] void EndChild() { _exit(0); }

// Holds back the signals the program handles while a child is made and put
// on the players' list: neither side can then be caught half-way.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGTERM);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGALRM);
        sigprocmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsHeld() { Release(); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;
    void Release() { sigprocmask(SIG_SETMASK, &old_, nullptr); }

private:
    sigset_t old_{};
};

// fork() under held signals: 0 in the child, which drops the program's
// handlers (a child must die of SIGTERM, not take it for the program's own)
// before it lets signals in again; the child's pid in the parent, -1 when
// no child could be made. With ownGroup the child leads a process group of
// its own, so that it and whatever it starts can be stopped together.
pid_t ForkChild(SignalsHeld& held, bool ownGroup) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (ownGroup) setpgid(0, 0);
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGALRM, SIG_DFL);
        held.Release();
        return 0;
    }
    // Both sides set the group, so it is in place whichever runs first.
    if (pid > 0 && ownGroup) setpgid(pid, pid);
    return pid;
}

// Starts "/bin/sh -c commandLine" (see ForkChild); 0 when no child could be
// made.
pid_t SpawnShell(SignalsHeld& held, const std::string& commandLine, bool ownGroup) {
    const pid_t pid = ForkChild(held, ownGroup);
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid < 0 ? 0 : pid;
}

// The shell's exit status, or -1 when it did not end normally.
int WaitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Whether the player can be found at all; looked up once, since the program
// never changes its PATH.
bool FoundOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    for (const std::string& dir : Split(path != nullptr ? path : "/usr/bin:/bin", ":")) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
    }
    return false;
}

bool PlayerInstalled() {
    static const bool found = FoundOnPath(kPlayer);
    static bool told = false;
    if (!found && !told) {
        told = true;
        Log("aplay was not found on PATH: the game plays without sound.");
    }
    return found;
}

// A player that fails (no sound card, an unreadable file) fails every time:
// say so once per sound, not on every beep.
void NoteFailure(const std::string& sound, int status) {
    static std::set<std::string> told;
    if (sound.empty() || status == 0 || !told.insert(sound).second) return;
    Log(std::string(kPlayer) + " could not play " + sound + " (exit status " + IntToString(status) + ").");
}

}  // namespace

bool RunCommand(const std::string& program, const std::string& arguments) { return RunShellCommand(program + " " + arguments); }

bool RunShellCommand(const std::string& commandLine) {
    // The program's own commands run in a group of their own, so that SIGTERM
    // or SIGINT to the program can stop the shell and what it started while
    // the program waits for them. (The C library's system() would also
    // ignore SIGINT for that long.)
    const bool ownGroup = getpid() == mainProcess;
    SignalsHeld held;
    const pid_t pid = SpawnShell(held, commandLine, ownGroup);
    if (pid == 0) return true;
    if (ownGroup) AddPlayer(pid);
    held.Release();
    const int status = WaitFor(pid);
    if (ownGroup) RemovePlayer(pid);
    return status != 0;
}

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
    SignalsHeld held;
    const pid_t pid = ForkChild(held, false);
    if (pid == 0) {
        RunShellCommand(commandLine);
        EndChild();
    }
    if (pid > 0) {
        Remember(pid, {});
        return pid;
    }
    held.Release();
    RunShellCommand(commandLine);
    return 0;
}

void Beep() {
    if (!FileExists(kBeepFile) || !PlayerInstalled()) return;
    const std::string command = std::string(kPlayer) + " " + ShellWord(kBeepFile);
    // The child is the shell itself, in its own group: stopping the group
    // stops the beep.
    SignalsHeld held;
    const pid_t pid = SpawnShell(held, command, true);
    if (pid > 0) {
        Remember(pid, kBeepFile);
        AddPlayer(pid);
        return;
    }
    held.Release();
    RunShellCommand(command);
}

void PlayWave(const std::string& file) {
    if (!FileExists(file)) {
        Log(file + " non trovato.");
        return;
    }
    if (!PlayerInstalled()) return;
    const std::string command = std::string(kPlayer) + " " + ShellWord(file);
    const bool ownGroup = getpid() == mainProcess;
    SignalsHeld held;
    const pid_t pid = SpawnShell(held, command, ownGroup);
    if (pid == 0) return;
    if (ownGroup) AddPlayer(pid);
    held.Release();
    NoteFailure(file, WaitFor(pid));
    if (ownGroup) RemovePlayer(pid);
}

void ReapFinishedChildren() {
    std::vector<Started>& children = StartedChildren();
    for (auto it = children.begin(); it != children.end();) {
        int status = 0;
        const pid_t r = waitpid(it->pid, &status, WNOHANG);
        if (r == 0) {
            ++it;
            continue;
        }
        // Gone (r == pid) or not ours any more (an error): forget it either way.
        if (r == it->pid && WIFEXITED(status)) NoteFailure(it->sound, WEXITSTATUS(status));
        RemovePlayer(it->pid);
        it = children.erase(it);
    }
}

bool IsUnreapedChild(pid_t pid) {
    const std::vector<Started>& children = StartedChildren();
    return pid > 0 && std::any_of(children.begin(), children.end(), [pid](const Started& c) { return c.pid == pid; });
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
    SignalsHeld held;
    const pid_t child = ForkChild(held, true);
    if (child == 0) {
        for (bool again = true; again; again = loop) RunCommand(kPlayer, args);
        EndChild();
    }
    if (child > 0) {
        Remember(child, {});
        AddPlayer(child);
        pid = child;
        playing = true;
        return;
    }
    held.Release();
    RunCommand(kPlayer, args);
}

void SoundPlayer::StopSound() {
    if (!playing) return;
    // A child that has ended and been reaped is forgotten: its pid may
    // belong to a stranger by now. One still running is stopped with the
    // player it started (its process group).
    if (IsUnreapedChild(pid)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == 0) kill(-pid, SIGTERM);
    }
    RemovePlayer(pid);
    pid = 0;
    playing = false;
}

}  // namespace lumetra
