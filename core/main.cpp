// Entry point: empties the log, opens the display, runs the game window until
// the player leaves, and tears everything down again.
#include <fcntl.h>
#include <sys/resource.h>

#include <csignal>
#include <memory>
#include <string>

#include "lumetra/core/Application.h"
#include "lumetra/core/Log.h"
#include "lumetra/core/ProcessGroups.h"
#include "lumetra/core/Screen.h"
#include "lumetra/game/FormMain.h"
#include "lumetra/game/MakerTexts.h"
#include "lumetra/util/Paths.h"

int main() {
    using lumetra::Application;
    using lumetra::FormMain;
    // A standard descriptor closed by whoever started the program would be
    // taken by the next file opened, the X connection first, and the log
    // would write into it: each closed one is opened onto /dev/null. A pipe
    // that nobody reads any more makes writes to standard output fail, not
    // end the program.
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) < 0 && open("/dev/null", O_RDWR) != fd) break;
    }
    std::signal(SIGPIPE, SIG_IGN);
    // A launcher may leave SIGCHLD ignored: the system would then reap the
    // players itself and the program could never learn how they ended.
    std::signal(SIGCHLD, SIG_DFL);
    // Only a file is removed: a folder of that name is the user's, kept, and
    // the first message says that the log goes to standard output only.
    if (lumetra::FileExists("log.txt")) lumetra::RemoveFile("log.txt");
    const std::string title =
        std::string("Lumetra - ") + lumetra::kWebAddress + " " + lumetra::kNoticeLine;
    auto screen = std::make_unique<lumetra::Screen>();
    auto mainForm = std::make_unique<FormMain>(screen.get(), title);
    Application::Run(mainForm.get());
    // Without a display there was no window and no loop: a failure, not a
    // game that ended normally.
    const bool hadDisplay = screen->GetDisplay() != nullptr;
    mainForm.reset();
    // Sounds still playing in the background end with the program. A player
    // stops within milliseconds of SIGTERM; one that has not after 200 ms
    // ignores it, and is killed. Short enough that closing the window still
    // feels immediate; no wait at all when none is left.
    lumetra::EndListedGroups(200);
    if (hadDisplay && !screen->Close()) lumetra::Log("Chiusura screen non riuscita");
    screen.reset();
    // Ended by SIGTERM, SIGINT, SIGHUP or SIGQUIT: tidied up, now end as that
    // signal says, so whoever started the program sees why it stopped.
    if (const int sig = Application::TerminationSignal()) {
        // SIGQUIT would also write a core file of a program that has tidied up.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    }
    return hadDisplay ? 0 : 1;
}
