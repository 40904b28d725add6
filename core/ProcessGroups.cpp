// The signal-safe table of process groups that end with the program.
#include "lumetra/core/ProcessGroups.h"

#include <poll.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>

#include "lumetra/core/Application.h"

namespace lumetra {

namespace {

volatile sig_atomic_t groups[kMaxListedGroups] = {};

}  // namespace

int FreeGroupPlace() {
    for (int i = 0; i < kMaxListedGroups; ++i) {
        if (groups[i] == 0) return i;
    }
    return -1;
}

void ListGroup(int place, pid_t group) {
    Application::SetTerminationHook(TerminateListedGroups);
    groups[place] = group;
    // Asked to end before the group was listed: the signal's hook could not
    // see it, so it is stopped here.
    if (Application::TerminationSignal() != 0) kill(-group, SIGTERM);
}

void UnlistGroup(pid_t group) {
    for (int i = 0; i < kMaxListedGroups; ++i) {
        if (groups[i] == group) groups[i] = 0;
    }
}

void EndLeftoverGroup(pid_t group) {
    for (int i = 0; i < kMaxListedGroups; ++i) {
        if (group <= 0 || groups[i] != group) continue;
        kill(-group, SIGKILL);
        groups[i] = 0;
    }
}

void TerminateListedGroups() {
    for (int i = 0; i < kMaxListedGroups; ++i) {
        const pid_t group = static_cast<pid_t>(groups[i]);
        if (group > 0) kill(-group, SIGTERM);
    }
}

void EndListedGroups(int graceMs) {
    TerminateListedGroups();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    for (bool left = true; left;) {
        left = false;
        for (int i = 0; i < kMaxListedGroups; ++i) {
            const pid_t group = static_cast<pid_t>(groups[i]);
            if (group <= 0) continue;
            // The leader is a child of the program: an ended one stays in
            // its group until it is reaped.
            waitpid(group, nullptr, WNOHANG);
            if (kill(-group, 0) != 0) {
                groups[i] = 0;
            } else if (std::chrono::steady_clock::now() < end) {
                left = true;
            } else {
                kill(-group, SIGKILL);
                groups[i] = 0;
            }
        }
        if (left) poll(nullptr, 0, 5);
    }
}

}  // namespace lumetra
