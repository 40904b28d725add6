// Child processes of the program: started without the program's own signal
// handling, waited for with a deadline, stopped with their process group,
// and, when left running in the background, reaped on every pass of the loop.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>

namespace lumetra {

// How a child stands to the program.
enum class ChildKind {
    // Shares the program's process group and is left to run its course
    // (the browser, the mail client).
    Plain,
    // In the program itself, leads a process group of its own, listed so
    // that it ends with the program and can be stopped whole; in a child of
    // the program, shares that child's group.
    Grouped,
    // Grouped, and killed (SIGKILL) by the system as soon as its parent
    // dies, however it dies: a sound player, which has nothing to save and
    // may ignore SIGTERM. Only the process itself dies so, not what it
    // starts: its command line should exec the player.
    Player,
};

// Answers beyond a process id or an exit status.
constexpr int kNoChild = -1;     // it did not exit normally, or is no child to wait for
constexpr int kNoPlace = -2;     // a group was asked for and the table is full
constexpr int kOverdue = -3;     // still running at its deadline
constexpr int kNotStarted = -4;  // no process could be made (fork failed)

// fork() with the program's signals held until the child is listed: 0 in
// the child, which must end with EndChild() or an exec; else the child's
// pid, kNotStarted or kNoPlace.
pid_t ForkChild(ChildKind kind);
// A forked child ends here: _exit runs none of the parent's exit-time
// clean-up and flushes none of the stdio buffers it inherited.
[[noreturn]] void EndChild();
// Starts "/bin/sh -c commandLine": the pid, kNotStarted or kNoPlace.
pid_t StartShell(const std::string& commandLine, ChildKind kind);
// The child's exit status, or kNoChild when it did not end normally; with a
// limit (timeoutMs >= 0), kOverdue when it still runs after that long.
int WaitForChild(pid_t pid, int64_t timeoutMs = -1);
// Runs the command line and waits for it, at most timeoutMs (-1: no limit)
// when it has a group of its own, which is then killed whole. Answers the
// exit status, kNoChild, kNoPlace, kOverdue or kNotStarted.
int RunShell(const std::string& commandLine, ChildKind kind, int64_t timeoutMs = -1);

// Keeps a child running in the background in view: it is reaped on a pass
// of the loop once it has ended, and `exited` then hears its exit status if
// it ended of itself. With a limit (limitMs >= 0), a child that leads its
// own group and still runs that long after this call is killed with its
// group on a pass of the loop, which the loop makes in time, and `overdue`
// hears of it.
void WatchChild(pid_t pid, std::function<void(int status)> exited = {}, int64_t limitMs = -1,
                std::function<void()> overdue = {});
// Waits, without blocking, for every watched child that has ended. Runs on
// each pass of the application loop; callable directly as well.
void ReapFinishedChildren();
// Whether the child is one this process watches and has not reaped yet.
bool IsUnreapedChild(pid_t pid);

}  // namespace lumetra
