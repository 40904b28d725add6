#include "rig/Golden.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "rig/Png.h"
#include "rig/Rig.h"

namespace rig {

std::string CompareGolden(Display* d, Window win, const std::string& name, int x, int y, int width,
                          int height) {
    XWindowAttributes a{};
    if ((width == 0 || height == 0) && XGetWindowAttributes(d, win, &a)) {
        width = a.width;
        height = a.height;
    }
    Sync(d);
    const std::vector<uint32_t> actual = Pixels(d, win, x, y, width, height);
    if (actual.empty()) return name + ": the server gave no pixels";
    const std::string reference =
        std::string(LUMETRA_SOURCE_DIR) + "/tests/golden/" + name + ".png";
    if (const char* renew = std::getenv("LUMETRA_RENEW_GOLDEN");
        renew != nullptr && std::string(renew) == "1")
        return SavePng(reference, width, height, actual) ? "" : "cannot write " + reference;
    int w = 0;
    int h = 0;
    const std::vector<uint32_t> expected = LoadPng(reference, &w, &h);
    const bool sameSize = w == width && h == height && expected.size() == actual.size();
    size_t differ = 0;
    std::vector<uint32_t> diff(actual.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        const bool same = sameSize && expected[i] == actual[i];
        differ += same ? 0 : 1;
        diff[i] = same ? (actual[i] >> 2 & 0x3F3F3F) : 0xFF00FF;
    }
    if (differ == 0) return "";
    const std::string dir = std::string(LUMETRA_BINARY_DIR) + "/golden-fail";
    mkdir(dir.c_str(), 0755);
    SavePng(dir + "/" + name + ".actual.png", width, height, actual);
    SavePng(dir + "/" + name + ".diff.png", width, height, diff);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string what = sameSize
                                 ? std::to_string(differ) + " of " + std::to_string(actual.size()) +
                                       " pixels differ from " + reference
                                 : reference + " is " + std::to_string(w) + "x" +
                                       std::to_string(h) + ", the window part " + size;
    return name + ": " + what + "; see " + dir + "/" + name +
           ".actual.png and .diff.png (LUMETRA_RENEW_GOLDEN=1 renews)";
}

}  // namespace rig
