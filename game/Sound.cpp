#include "lumetra/game/Sound.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "lumetra/core/Application.h"
#include "lumetra/core/Log.h"
#include "lumetra/util/CommandLine.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"
#include "lumetra/util/WaveFile.h"

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

// A player's fate beyond its exit status.
constexpr int kRefused = -2;  // not started: too many players at once
constexpr int kHung = -3;     // still running at its deadline, so stopped

// Says a thing once per run.
bool FirstTime(const std::string& what) {
    static std::set<std::string> told;
    return told.insert(what).second;
}

// Process groups of the players running now, for the termination hook: a
// fixed table, since a signal handler reads it. A player is started only
// with a place on it, so none can outlive the program.
constexpr int kMaxPlayers = 32;
volatile sig_atomic_t players[kMaxPlayers] = {};

void StopAllPlayers() {
    for (int i = 0; i < kMaxPlayers; ++i) {
        const pid_t group = static_cast<pid_t>(players[i]);
        if (group > 0) kill(-group, SIGTERM);
    }
}

// A free place on the list, or -1 when every place is taken: then what was
// to play is not played, and that is said once.
int FreePlayerSlot(const std::string& what) {
    for (int i = 0; i < kMaxPlayers; ++i) {
        if (players[i] == 0) return i;
    }
    if (FirstTime("too many")) Log("Too many sounds at once: " + what + " not played.");
    return -1;
}

void AddPlayer(int slot, pid_t group) {
    Application::SetTerminationHook(StopAllPlayers);
    players[slot] = group;
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
        for (int sig : Application::EndingSignals) sigaddset(&set, sig);
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
// handlers (a child must die of SIGTERM, not take it for the program's own;
// and SIGPIPE, which the program ignores, is the child's own business)
// before it lets signals in again; the child's pid in the parent, -1 when
// no child could be made. With ownGroup the child leads a process group of
// its own, so that it and whatever it starts can be stopped together.
pid_t ForkChild(SignalsHeld& held, bool ownGroup) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (ownGroup) setpgid(0, 0);
        for (int sig : Application::EndingSignals) std::signal(sig, SIG_DFL);
        std::signal(SIGALRM, SIG_DFL);
        std::signal(SIGPIPE, SIG_DFL);
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

struct FdCloser {
    void operator()(const int* fd) const {
        if (*fd >= 0) close(*fd);
    }
};

// The shell's exit status, or -1 when it did not end normally; with a limit
// (timeoutMs >= 0), kHung when it is still running after that long.
int WaitFor(pid_t pid, int64_t timeoutMs = -1) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        Clock::now() + std::chrono::milliseconds(std::max<int64_t>(timeoutMs, 0));
    // Readable once the child has ended; without one, look every 10 ms.
    int pidfd = timeoutMs >= 0 ? static_cast<int>(syscall(SYS_pidfd_open, pid, 0)) : -1;
    const std::unique_ptr<int, FdCloser> closer(&pidfd);
    int status = 0;
    for (;;) {
        const pid_t r = waitpid(pid, &status, timeoutMs >= 0 ? WNOHANG : 0);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (r < 0 && errno != EINTR) return -1;
        if (timeoutMs < 0) continue;
        const int64_t left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) return kHung;
        pollfd p{pidfd, POLLIN, 0};
        poll(&p, pidfd >= 0 ? 1 : 0,
             pidfd >= 0 ? static_cast<int>(std::min<int64_t>(left, 60000)) : 10);
    }
}

// Looked up once: the program never changes its PATH.
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
// say so once per sound, not on every beep. One that the program stopped
// itself, because the program is ending, did not fail.
void NoteFailure(const std::string& sound, int status) {
    if (sound.empty() || status == 0 || Application::TerminationSignal() != 0 || !FirstTime(sound))
        return;
    Log(std::string(kPlayer) + " could not play " + sound + " (exit status " + IntToString(status) +
        ").");
}

// Runs the command line and waits for it, at most timeoutMs (-1: no
// limit); a command still running then is killed with its whole group.
// In the program itself the shell leads a process group of its own on the
// players' list, so that an ending signal stops it and what it started
// while the program waits (the C library's system() would also ignore
// SIGINT for that long). Answers the exit status, -1, kRefused or kHung.
int RunPlayer(const std::string& commandLine, const std::string& what, int64_t timeoutMs) {
    const bool ownGroup = getpid() == mainProcess;
    SignalsHeld held;
    const int slot = ownGroup ? FreePlayerSlot(what) : 0;
    if (slot < 0) return kRefused;
    const pid_t pid = SpawnShell(held, commandLine, ownGroup);
    if (pid == 0) return -1;
    if (ownGroup) AddPlayer(slot, pid);
    held.Release();
    int status = WaitFor(pid, ownGroup ? timeoutMs : -1);
    if (status == kHung) {
        kill(-pid, SIGKILL);
        WaitFor(pid);
    }
    if (ownGroup) RemovePlayer(pid);
    return status;
}

}  // namespace

bool RunCommand(const std::string& program, const std::string& arguments) {
    return RunShellCommand(program + " " + arguments);
}

bool RunShellCommand(const std::string& commandLine) {
    return RunPlayer(commandLine, commandLine, -1) != 0;
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
    const int slot = FreePlayerSlot(kBeepFile);
    if (slot < 0) return;
    const pid_t pid = SpawnShell(held, command, true);
    if (pid > 0) {
        Remember(pid, kBeepFile);
        AddPlayer(slot, pid);
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
    // The sound's length and a margin, and no longer: a player that hangs
    // must not freeze the game. A header that cannot be read gets 10 s.
    const int64_t length = WaveMillis(file);
    const int status = RunPlayer(std::string(kPlayer) + " " + ShellWord(file), file,
                                 length < 0 ? 10000 : length + 2000);
    if (status != kHung) {
        if (status != kRefused) NoteFailure(file, status);
    } else if (FirstTime("hung " + file)) {
        Log(std::string(kPlayer) + " was still playing " + file + " 2 s after its end: stopped.");
    }
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
    return pid > 0 && std::any_of(children.begin(), children.end(),
                                  [pid](const Started& c) { return c.pid == pid; });
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
    const int slot = FreePlayerSlot(file);
    if (slot < 0) return;
    const pid_t child = ForkChild(held, true);
    if (child == 0) {
        for (bool again = true; again; again = loop) RunCommand(kPlayer, args);
        EndChild();
    }
    if (child > 0) {
        Remember(child, {});
        AddPlayer(slot, child);
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
