// The game's sound policy: which player runs a sound, for how long, and what is logged.
#include "lumetra/game/Sound.h"

#include <csignal>
#include <cstdint>
#include <set>

#include "lumetra/core/Application.h"
#include "lumetra/core/ChildProcess.h"
#include "lumetra/core/Log.h"
#include "lumetra/core/ProcessGroups.h"
#include "lumetra/util/CommandLine.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"
#include "lumetra/util/WaveFile.h"

namespace lumetra {

namespace {

const char* const kPlayer = "aplay";
const char* const kBeepFile = "Data/beep.wav";

// Says a thing once per run.
bool FirstTime(const std::string& what) {
    static std::set<std::string> told;
    return told.insert(what).second;
}

// A child refused because every place for one is taken: what was to play is
// not played, and that is said once.
int NoteRefusal(int status, const std::string& what) {
    if (status == kNoPlace && FirstTime("too many"))
        Log("Too many sounds at once: " + what + " not played.");
    return status;
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

// How long a player of the file may run: the sound's length and a margin,
// and no longer, so that a player that hangs can neither freeze the game nor
// keep its place among the players for good. A header that cannot be read
// gets 10 s.
int64_t PlayerLimit(int64_t length) { return length < 0 ? 10000 : length + 2000; }

// No process could be made for the player (the system's or the user's
// limit reached): nothing ran, so there is no exit status to tell.
void NoteNotStarted(const std::string& file) {
    if (FirstTime("not started " + file))
        Log(std::string(kPlayer) + " could not be started: " + file + " not played.");
}

void NoteHung(const std::string& file, int64_t length) {
    if (!FirstTime("hung " + file)) return;
    Log(std::string(kPlayer) + " was still playing " + file +
        (length < 0 ? " 10 s after it started (its length could not be read): stopped."
                    : " 2 s after its end: stopped."));
}

// A sound file that is no regular file is not handed to the player: on a
// FIFO it would wait for a writer, on a device play whatever it reads. Said
// once per sound.
bool IsSoundFile(const std::string& file) {
    const std::string kind = SpecialFileKind(file);
    if (!kind.empty() && FirstTime("special " + file))
        Log(file + " is " + kind + ", not a sound file: not played.");
    return kind.empty();
}

// Runs the command line and waits for it, at most timeoutMs (-1: no
// limit). In the program itself the shell leads a process group of its own
// on the table of groups that end with the program, so that an ending signal
// stops it and what it started while the program waits (the C library's
// system() would also ignore SIGINT for that long). Answers the exit status,
// kNoChild, kNoPlace, kOverdue or kNotStarted.
int RunPlayer(const std::string& commandLine, const std::string& what, ChildKind kind,
              int64_t timeoutMs) {
    return NoteRefusal(RunShell(commandLine, kind, timeoutMs), what);
}

// "aplay <file>", which the shell execs: the player itself is then the child
// that dies with the program.
std::string PlayerCommand(const std::string& file) {
    return std::string("exec ") + kPlayer + " " + ShellWord(file);
}

}  // namespace

bool RunCommand(const std::string& program, const std::string& arguments) {
    return RunShellCommand(program + " " + arguments);
}

bool RunShellCommand(const std::string& commandLine) {
    return RunPlayer(commandLine, commandLine, ChildKind::Grouped, -1) != 0;
}

pid_t StartShellCommand(const std::string& commandLine) {
    const pid_t pid = ForkChild(ChildKind::Plain);
    if (pid == 0) {
        RunShellCommand(commandLine);
        EndChild();
    }
    if (pid > 0) {
        WatchChild(pid);
        return pid;
    }
    RunShellCommand(commandLine);
    return 0;
}

void Beep() {
    if (!FileExists(kBeepFile) || !PlayerInstalled() || !IsSoundFile(kBeepFile)) return;
    const std::string command = PlayerCommand(kBeepFile);
    // The child is the player itself, in its own group: stopping the group
    // stops the beep.
    const pid_t pid = NoteRefusal(StartShell(command, ChildKind::Player), kBeepFile);
    if (pid > 0) {
        const int64_t length = WaveMillis(kBeepFile);
        WatchChild(
            pid, [](int status) { NoteFailure(kBeepFile, status); }, PlayerLimit(length),
            [length] { NoteHung(kBeepFile, length); });
    } else if (pid == kNotStarted) {
        RunPlayer(command, kBeepFile, ChildKind::Player, -1);
    }
}

void PlayWave(const std::string& file) {
    if (!FileExists(file)) {
        Log(file + " non trovato.");
        return;
    }
    if (!PlayerInstalled() || !IsSoundFile(file)) return;
    const int64_t length = WaveMillis(file);
    const int status = RunPlayer(PlayerCommand(file), file, ChildKind::Player, PlayerLimit(length));
    if (status == kOverdue) {
        NoteHung(file, length);
    } else if (status == kNotStarted) {
        NoteNotStarted(file);
    } else if (status != kNoPlace) {
        NoteFailure(file, status);
    }
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
    if (!IsSoundFile(file)) return;
    StopSound();
    const std::string command = PlayerCommand(file);
    const pid_t child = NoteRefusal(ForkChild(ChildKind::Player), file);
    if (child == 0) {
        for (bool again = true; again; again = loop) RunShell(command, ChildKind::Player);
        EndChild();
    }
    if (child > 0) {
        WatchChild(child);
        pid = child;
        playing = true;
    } else if (child == kNotStarted) {
        RunShell(command, ChildKind::Player);
    }
}

void SoundPlayer::StopSound() {
    if (!playing) return;
    // A child that has ended and been reaped is forgotten: its pid may
    // belong to a stranger by now. One not reaped yet is stopped with the
    // player it started (its process group), and what is left of the group
    // when it is reaped ends then.
    if (IsUnreapedChild(pid)) kill(-pid, SIGTERM);
    pid = 0;
    playing = false;
}

}  // namespace lumetra
