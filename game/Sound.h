// The game's sounds and outside programs. The program has no audio code of
// its own: every sound is a WAV file played by the command-line player
// "aplay", and every outside program is started through /bin/sh, as a child
// of the process layer (core/ChildProcess.h): children started in the
// background are reaped on every pass of the loop (ReapFinishedChildren),
// and every player runs in a process group of its own that is stopped when
// the program ends. A player that cannot play is logged once per sound.
#pragma once

#include <sys/types.h>

#include <string>

#include "lumetra/core/ChildProcess.h"

namespace lumetra {

// Runs "program arguments" through the shell and waits for it. The arguments
// are passed as given: the caller quotes what needs quoting. True when the
// command failed (non-zero status, or no shell).
bool RunCommand(const std::string& program, const std::string& arguments);
// Runs a whole command line through the shell and waits for it. True when it
// failed.
bool RunShellCommand(const std::string& commandLine);

// Starts the command line in a child process and returns at once; the child
// runs it through the shell, waits for it and ends. When no child can be
// made the command runs here and the call returns after it. Answers the
// child's pid, or 0 when it ran in the foreground.
pid_t StartShellCommand(const std::string& commandLine);

// The alert: "Data/beep.wav" played in a child, returning at once; silent and
// without a log line when the file is missing.
void Beep();
// Plays the file with aplay and returns when the sound has ended. A missing
// file is logged as "<file> non trovato." and nothing is played.
void PlayWave(const std::string& file);

// Plays a file in a child process that can be stopped, optionally looping.
class SoundPlayer {
public:
    SoundPlayer() = default;
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    void PlayInBackground(const std::string& file, bool loop);
    // Terminates the child, if it is still running, together with the
    // player it started.
    void StopSound();
    bool IsPlaying();
    pid_t Pid() const { return pid; }

private:
    pid_t pid = 0;
    bool playing = false;
};

}  // namespace lumetra
