// The process groups of children that must end with the program: a fixed
// table that signal handlers may read, so that an ending signal, a lost X
// server or the program's exit stops every group listed on it.
#pragma once

#include <sys/types.h>

namespace lumetra {

// Places on the table. A child that needs one is not started without it, so
// that none can outlive the program unseen.
constexpr int kMaxListedGroups = 32;

// A free place, or -1 when every place is taken.
int FreeGroupPlace();
// Lists the group in a place FreeGroupPlace gave; the caller holds the
// ending signals meanwhile. Asked to end already, the group is stopped at once.
void ListGroup(int place, pid_t group);
void UnlistGroup(pid_t group);
// Unlists a group whose leader has ended, killing (SIGKILL) what is left of
// it: a player may leave processes behind that it never waited for, which
// nothing else would ever stop. A group not listed is left alone.
void EndLeftoverGroup(pid_t group);
// SIGTERM to every listed group. Async-signal-safe: the termination hook.
void TerminateListedGroups();
// Ends every listed group at the program's exit: SIGTERM, then SIGKILL for
// a group with a process left after graceMs. Returns as soon as none is left.
void EndListedGroups(int graceMs);

}  // namespace lumetra
