// Starting, waiting for, stopping and reaping the program's child processes.
#include "lumetra/core/ChildProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "lumetra/core/Application.h"
#include "lumetra/core/ProcessGroups.h"

namespace lumetra {

namespace {

// The process that loaded the program; forked children are not it.
const pid_t mainProcess = getpid();

bool Grouped(ChildKind kind) { return kind != ChildKind::Plain && getpid() == mainProcess; }

// Holds back the signals the program handles while a child is made and
// listed: neither side can then be caught half-way.
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

// The signals ignored when the program was loaded (under nohup, say): they
// stay ignored in its children, as in the program itself.
sigset_t IgnoredNow() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction now {};
        if (sigaction(sig, nullptr, &now) == 0 && now.sa_handler == SIG_IGN) sigaddset(&set, sig);
    }
    return set;
}
const sigset_t ignoredAtLoad = IgnoredNow();

// A child drops the program's handlers before it lets signals in again: it
// must die of SIGTERM, not take it for the program's own. It gets instead
// what the program was given, ignored or the default; so does SIGPIPE,
// which the program may ignore for itself. What the program left alone
// stays as it is.
void ResetSignalsInChild() {
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction now {};
        if (sigaction(sig, nullptr, &now) != 0 || now.sa_handler == SIG_DFL ||
            (now.sa_handler == SIG_IGN && sig != SIGPIPE))
            continue;
        std::signal(sig, sigismember(&ignoredAtLoad, sig) ? SIG_IGN : SIG_DFL);
    }
}

// The descriptors the program keeps to itself: those it marked close-on-exec.
std::vector<int> ProgramsOwnDescriptors() {
    std::vector<int> fds;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir("/proc/self/fd"), closedir);
    if (!dir) return fds;
    while (const dirent* entry = readdir(dir.get())) {
        const int fd = std::atoi(entry->d_name);
        const int flags = fcntl(fd, F_GETFD);
        // (The listing's own descriptor goes with it.)
        if (fd > STDERR_FILENO && fd != dirfd(dir.get()) && flags >= 0 && (flags & FD_CLOEXEC) != 0)
            fds.push_back(fd);
    }
    return fds;
}

// A child that goes on running the program's code (one that waits for the
// browser) must not hold what the program keeps to itself, above all the X
// connection: the server would keep the program's windows as long as the
// child lives, also after the program has died. So a child closes at once
// what an exec would close; what the program inherited for its children stays.
void CloseProgramsOwnDescriptors() {
    for (const int fd : ProgramsOwnDescriptors()) close(fd);
}

struct FdCloser {
    void operator()(const int* fd) const {
        if (*fd >= 0) close(*fd);
    }
};

using Clock = std::chrono::steady_clock;

// Children started in the background and not reaped yet.
struct Watched {
    pid_t pid;
    std::function<void(int)> exited;
    std::function<void()> overdue;
    bool limited;  // its deadline is still ahead
    bool killed;   // killed at its deadline, not reaped yet
    Clock::time_point deadline;
};
std::vector<Watched>& WatchedChildren() {
    static std::vector<Watched> children;
    return children;
}

// The loop's hook: reaps, and asks for the next pass by the nearest
// deadline, or soon while a child killed at its deadline awaits reaping.
int ReapAndSayWhen() {
    ReapFinishedChildren();
    const Clock::time_point now = Clock::now();
    int64_t within = -1;
    for (const Watched& child : WatchedChildren()) {
        int64_t wait = -1;
        if (child.killed) {
            wait = 10;
        } else if (child.limited) {
            wait = std::max<int64_t>(
                0, std::chrono::ceil<std::chrono::milliseconds>(child.deadline - now).count());
        }
        if (wait >= 0 && (within < 0 || wait < within)) within = wait;
    }
    return static_cast<int>(within);
}

}  // namespace

pid_t ForkChild(ChildKind kind) {
    const bool grouped = Grouped(kind);
    SignalsHeld held;
    const int place = grouped ? FreeGroupPlace() : 0;
    if (place < 0) return kNoPlace;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        if (grouped) setpgid(0, 0);
        ResetSignalsInChild();
        CloseProgramsOwnDescriptors();
        if (kind == ChildKind::Player) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            // A parent that died before the signal was set never sends it:
            // end here as it would have ended the child.
            if (getppid() != parent) raise(SIGKILL);
        }
        held.Release();
        return 0;
    }
    if (pid < 0) return kNotStarted;
    if (grouped) {
        // Both sides set the group, so it is in place whichever runs first.
        setpgid(pid, pid);
        ListGroup(place, pid);
    }
    return pid;
}

void EndChild() { _exit(0); }

pid_t StartShell(const std::string& commandLine, ChildKind kind) {
    const pid_t pid = ForkChild(kind);
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int WaitForChild(pid_t pid, int64_t timeoutMs) {
    const Clock::time_point end =
        Clock::now() + std::chrono::milliseconds(std::max<int64_t>(timeoutMs, 0));
    // Readable once the child has ended; without one, look every 10 ms.
    int pidfd = timeoutMs > 0 ? static_cast<int>(syscall(SYS_pidfd_open, pid, 0)) : -1;
    const std::unique_ptr<int, FdCloser> closer(&pidfd);
    int status = 0;
    for (;;) {
        const pid_t r = waitpid(pid, &status, timeoutMs >= 0 ? WNOHANG : 0);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : kNoChild;
        if (r < 0 && errno != EINTR) return kNoChild;
        if (timeoutMs < 0) continue;
        const int64_t left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) return kOverdue;
        pollfd p{pidfd, POLLIN, 0};
        poll(&p, pidfd >= 0 ? 1 : 0,
             pidfd >= 0 ? static_cast<int>(std::min<int64_t>(left, 60000)) : 10);
    }
}

int RunShell(const std::string& commandLine, ChildKind kind, int64_t timeoutMs) {
    const bool grouped = Grouped(kind);
    const pid_t pid = StartShell(commandLine, kind);
    if (pid < 0) return pid;
    int status = WaitForChild(pid, grouped ? timeoutMs : -1);
    if (status == kOverdue) {
        kill(-pid, SIGKILL);
        WaitForChild(pid);
    }
    // A player is done once it has ended; a command's group is its own affair.
    if (grouped && kind == ChildKind::Player) {
        EndLeftoverGroup(pid);
    } else if (grouped) {
        UnlistGroup(pid);
    }
    return status;
}

void WatchChild(pid_t pid, std::function<void(int)> exited, int64_t limitMs,
                std::function<void()> overdue) {
    WatchedChildren().push_back({pid, std::move(exited), std::move(overdue), limitMs >= 0, false,
                                 Clock::now() + std::chrono::milliseconds(limitMs)});
    Application::AddLoopHook(ReapAndSayWhen);
}

void ReapFinishedChildren() {
    std::vector<Watched>& children = WatchedChildren();
    const Clock::time_point now = Clock::now();
    for (auto it = children.begin(); it != children.end();) {
        int status = 0;
        const pid_t r = waitpid(it->pid, &status, WNOHANG);
        if (r == 0) {
            if (it->limited && now >= it->deadline) {
                it->limited = false;
                it->killed = true;
                kill(-it->pid, SIGKILL);
                if (it->overdue) it->overdue();
            }
            ++it;
            continue;
        }
        // Gone (r == pid) or not ours any more (an error): forget it either way.
        if (r == it->pid && WIFEXITED(status) && it->exited) it->exited(WEXITSTATUS(status));
        // Only players are watched with a group of their own: what one of them
        // left behind ends with it. A pid reaped elsewhere may be a stranger's.
        if (r == it->pid) {
            EndLeftoverGroup(it->pid);
        } else {
            UnlistGroup(it->pid);
        }
        it = children.erase(it);
    }
}

bool IsUnreapedChild(pid_t pid) {
    const std::vector<Watched>& children = WatchedChildren();
    return pid > 0 && std::any_of(children.begin(), children.end(),
                                  [pid](const Watched& c) { return c.pid == pid; });
}

}  // namespace lumetra
