// Sounds and external programs. The program has no audio code of its own:
// every sound is a WAV file played by the command-line player "aplay", and
// every outside program is started through /bin/sh.
//
// Children started in the background are remembered by pid and reaped
// without blocking on every pass of the application loop, so none of them
// lingers as a zombie and no pid is ever signalled after it was reaped.
// Every player runs in a process group of its own; when the program ends
// (SIGTERM, SIGINT, a lost X server, or a normal exit) the players still
// running are stopped with it. A player that cannot play is logged once per
// sound.
#pragma once

#include <sys/types.h>

#include <string>

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

// Waits, without blocking, for every started child that has ended. Runs on
// each pass of the application loop; callable directly as well.
void ReapFinishedChildren();
// Whether the child is one this process started and has not reaped yet.
bool IsUnreapedChild(pid_t pid);

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
