// The Debian package: built by CPack, unpacked into a scratch root, and the
// game started from it through its launcher, as a user's menu would.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "game/MakerTexts.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"
#include "util/Paths.h"

namespace {

std::string Capture(const std::string& command) {
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

TEST(Package, InstallsAndStartsFromAPerUserDirectory) {
    const char* cpack = std::getenv("LUMETRA_CPACK");
    ASSERT_NE(cpack, nullptr);
    rig::TempDir out, root, home;
    const std::string built = Capture("cd '" + out.Path() + "' && '" + cpack + "' -G DEB --config '" LUMETRA_BINARY_DIR
                                  "/CPackConfig.cmake' 2>&1");
    const std::string deb = Capture("ls '" + out.Path() + "'/*.deb 2>/dev/null | head -1");
    ASSERT_FALSE(deb.empty()) << built;
    const std::string file = deb.substr(0, deb.size() - 1);
    ASSERT_EQ(std::system(("dpkg-deb -x '" + file + "' '" + root.Path() + "'").c_str()), 0);
    const std::string usr = root / "usr";
    for (const char* path : {"/bin/lumetra", "/lib/lumetra/lumetra", "/share/lumetra/Data/beep.wav",
                             "/share/lumetra/Data/urlo.wav", "/share/applications/lumetra.desktop",
                             "/share/icons/hicolor/200x200/apps/lumetra.png"}) {
        EXPECT_TRUE(lumetra::FileExists(usr + path)) << path;
    }
    const std::string fields = Capture("dpkg-deb -f '" + file + "' Package Depends");
    EXPECT_NE(fields.find("Package: lumetra"), std::string::npos);
    EXPECT_NE(fields.find("libx11-6"), std::string::npos);

    rig::XServer& server = rig::SharedServer(true);
    ASSERT_TRUE(server.Ok());
    rig::ChildProcess game({usr + "/bin/lumetra"}, home.Path(), {"HOME=" + home.Path(), "DISPLAY=" + server.Name()});
    const std::string title = std::string("Lumetra - ") + lumetra::kWebAddress + " " + lumetra::kNoticeLine;
    EXPECT_TRUE(rig::WaitUntil([&] {
        const Window w = rig::FindWindowByName(server.Connection(), title);
        return w != 0 && rig::IsMapped(server.Connection(), w);
    }));
    const std::string dir = home / ".local/share/lumetra";
    EXPECT_TRUE(lumetra::FileExists(dir + "/Data/beep.wav"));
    EXPECT_TRUE(lumetra::FileExists(dir + "/Data/urlo.wav"));
    EXPECT_TRUE(game.Running());
}

}  // namespace
