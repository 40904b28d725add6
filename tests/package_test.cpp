// The Debian packages as a packager and a user meet them: made by CPack, clean
// under lintian, unpacked into a scratch root, the game started there by its
// launcher as nobody, and other programs built against the unpacked toolkit.
// labels: x11 e2e slow
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "rig/Game.h"
#include "rig/XServer.h"

namespace {

// Runs a shell command: "" when it succeeds (or its output, if asked for),
// else its output and errors with the exit status.
std::string Sh(const std::string& command, bool output = false) {
    std::string out;
    char buf[512];
    std::FILE* p = popen(("{ " + command + "; } 2>&1").c_str(), "r");
    while (p != nullptr && std::fgets(buf, sizeof buf, p) != nullptr) out += buf;
    const int status = p != nullptr ? pclose(p) : -1;
    if (status != 0) return out + "[exit " + std::to_string(WEXITSTATUS(status)) + "]";
    return output ? out : "";
}

TEST(Package, MadeCleanInstalledAndBuiltOn) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the packages are made from the release build";
#endif
    const char* cpack = std::getenv("LUMETRA_CPACK");
    ASSERT_NE(cpack, nullptr);
    // lintian and the game run as nobody when the suite runs as root.
    const bool root = geteuid() == 0;
    const std::string as = root ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    rig::TempDir out;
    rig::TempDir home;
    const std::string usr = out / "root/usr";
    const std::string game = out / "lumetra_*.deb";
    const std::string dev = out / "lumetra-toolkit-dev_*.deb";
    ASSERT_EQ(Sh("cd " + out.Path() + " && " + cpack +
                 " --config " LUMETRA_BINARY_DIR "/CPackConfig.cmake >/dev/null"),
              "");
    if (root) Sh("chown -R 65534:65534 " + out.Path() + " " + home.Path());
    EXPECT_EQ(
        Sh(as + "env HOME=" + out.Path() + " lintian --fail-on error,warning " + game + " " + dev,
           true),
        "");
    EXPECT_EQ(Sh("dpkg-deb -f " + game + " Section Recommends Depends | sed 's/ ([^)]*)//g'", true),
              "Section: games\nRecommends: alsa-utils\nDepends: libc6, libx11-6\n");
    EXPECT_EQ(Sh("dpkg-deb -f " + dev + " Section Depends", true),
              "Section: libdevel\nDepends: libx11-dev\n");
    ASSERT_EQ(
        Sh("for d in " + game + " " + dev + "; do dpkg-deb -x $d " + out.Path() + "/root; done"),
        "");
    EXPECT_EQ(
        Sh("! nm -C " + usr + "/lib/*/liblumetra-toolkit.a | grep -E 'FormMain|BoxGame|FormAbout'"),
        "");
    EXPECT_EQ(Sh("cd " + usr + "/share/icons/hicolor && echo */apps/lumetra.png", true),
              "128x128/apps/lumetra.png 256x256/apps/lumetra.png 48x48/apps/lumetra.png "
              "64x64/apps/lumetra.png\n");
    EXPECT_EQ(Sh("appstreamcli validate --pedantic --no-net " + usr +
                 "/share/metainfo/*.xml && desktop-file-validate " + usr +
                 "/share/applications/*.desktop"),
              "");
    rig::XServer& server = rig::SharedServer(true);
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::ChildProcess lumetra(
        {"sh", "-c", "exec " + as + usr + "/games/lumetra"}, home.Path(),
        {"HOME=" + home.Path(), "XDG_DATA_HOME=" + home / "xdg", "DISPLAY=" + server.Name()});
    EXPECT_NE(rig::WaitWindow(d, rig::kTitle), 0U);
    EXPECT_TRUE(lumetra.Running());
    // Its per-user Data holds links to the installed sounds.
    const std::string sounds = usr + "/share/games/lumetra/Data/";
    EXPECT_EQ(Sh("cd " + home / "xdg/lumetra/Data && ls && readlink beep.wav urlo.wav", true),
              "beep.wav\nurlo.wav\n" + sounds + "beep.wav\n" + sounds + "urlo.wav\n");
    // Other programs, from the guide and examples installed with the toolkit:
    // the gallery through find_package; the guide's first program through
    // pkg-config and under a careful program's warnings, then used: its button
    // opens the dialog, whose own button closes it.
    const std::string doc = usr + "/share/doc/lumetra-toolkit-dev";
    const std::string gallery = out / "gallery";
    const std::string toolkit = "$(PKG_CONFIG_PATH=$(echo " + usr +
                                "/lib/*/pkgconfig) pkg-config --define-variable=prefix=" + usr +
                                " --cflags --libs lumetra-toolkit)";
    const std::string strict =
        "c++ -std=c++17 -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Werror ";
    EXPECT_EQ(Sh("cmake -S " + doc + "/examples/gallery -B " + gallery + " -DCMAKE_PREFIX_PATH=" +
                 usr + " >/dev/null && cmake --build " + gallery + " >/dev/null"),
              "");
    ASSERT_EQ(Sh("awk '/^```cpp$/ { if (!n++) { f = 1; next } } /^```$/ { if (f) exit } f' " + doc +
                 "/toolkit.md >" + out / "hello.cpp && " + strict + out / "hello.cpp -o " +
                 out / "hello " + toolkit),
              "");
    rig::ChildProcess hello({out / "hello"}, out.Path(), {"DISPLAY=" + server.Name()});
    const Window window = rig::WaitWindow(d, "Hello");
    ASSERT_NE(window, 0U);
    rig::ClickIn(d, window, 110, 48);
    const Window question = rig::WaitWindow(d, "A question");
    ASSERT_NE(question, 0U);
    rig::ClickIn(d, question, 110, 48);
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "A question") == 0; }));
    rig::RequestClose(d, window);
    EXPECT_EQ(hello.Wait(5000), 0);
    // Every installed header compiles alone under those warnings. Together
    // they leave Xlib's macros out of the program, which may name its own
    // None or True; and they go with Xlib included before or after them.
    EXPECT_EQ(Sh("cd " + usr +
                 "/include && for h in lumetra/*.h lumetra/*/*.h; do echo \"#include <$h>\" | " +
                 strict + "-fsyntax-only -I. -x c++ - || e=1; done; exit ${e:-0}"),
              "");
    const std::string all =
        "$(cd " + usr + "/include && printf '#include <%s>\\n' lumetra/*.h lumetra/*/*.h)";
    const std::string own = "enum class Mode { None, Bool, Status, Success, True, False };";
    const std::string xlib = "#include <X11/Xlib.h>\n#include <X11/Xutil.h>";
    for (const std::string& program : {all + "\n" + own, xlib + "\n" + all, all + "\n" + xlib})
        EXPECT_EQ(Sh("printf '%s\\n' \"" + program + "\" | " + strict + "-fsyntax-only -I" + usr +
                     "/include -x c++ -"),
                  "")
            << program;
    // A program with core/ and util/ folders of its own on its include path,
    // after the toolkit's: the toolkit's headers and the program's own each
    // find their own; the version header tells the package's version.
    const std::string mine = out / "mine";
    Sh("mkdir -p " + mine + "/core " + mine + "/util");
    rig::WriteFile(mine + "/core/Types.h", "#error the toolkit found the program's core/Types.h\n");
    rig::WriteFile(mine + "/util/Strings.h", "#define PROGRAMS_OWN 1\n");
    rig::WriteFile(
        out / "main.cpp",
        "#include <lumetra/Version.h>\n#include <lumetra/controls/ButtonCustom.h>\n"
        "#include <lumetra/util/Strings.h>\n#include <cstdio>\n#include \"util/Strings.h\"\n"
        "int main() { std::puts(PROGRAMS_OWN ? LUMETRA_VERSION_STRING : \"\"); }\n");
    EXPECT_EQ(Sh("c++ -std=c++17 " + out / "main.cpp -o " + out / "main " + toolkit + " -I" + mine +
                     " && " + out / "main",
                 true),
              Sh("dpkg-deb -f " + dev + " Version", true));
}

}  // namespace
