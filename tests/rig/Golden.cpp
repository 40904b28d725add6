#include "rig/Golden.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "rig/Rig.h"

namespace rig {

namespace {

uint32_t Be32(const unsigned char* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Reads a PNG as SavePng writes it (8-bit RGB, every row with filter 0) as
// 0xRRGGBB pixels; empty for any other kind, which then simply differs.
std::vector<uint32_t> LoadPng(const std::string& path, int* w, int* h) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> f((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
    std::vector<unsigned char> z;
    *w = 0;
    *h = 0;
    for (size_t at = 8; at + 12 <= f.size();) {
        const uint32_t len = Be32(&f[at]);
        if (len > f.size() - at - 12) return {};
        const std::string type(f.begin() + static_cast<long>(at) + 4,
                               f.begin() + static_cast<long>(at) + 8);
        const unsigned char* data = &f[at + 8];
        if (type == "IHDR" && len >= 13 && data[8] == 8 && data[9] == 2 && data[12] == 0) {
            *w = static_cast<int>(Be32(data));
            *h = static_cast<int>(Be32(data + 4));
        }
        if (type == "IDAT") z.insert(z.end(), data, data + len);
        at += 12 + len;
    }
    const size_t stride = static_cast<size_t>(*w) * 3 + 1;
    std::vector<unsigned char> raw(
        *w > 0 && *h > 0 && *w <= 8192 && *h <= 8192 ? stride * static_cast<size_t>(*h) : 0);
    uLongf rawLen = raw.size();
    if (raw.empty() || uncompress(raw.data(), &rawLen, z.data(), z.size()) != Z_OK ||
        rawLen != raw.size())
        return {};
    std::vector<uint32_t> rgb;
    for (size_t row = 0; row < raw.size(); row += stride) {
        if (raw[row] != 0) return {};
        for (size_t i = row + 1; i < row + stride; i += 3)
            rgb.push_back(uint32_t{raw[i]} << 16 | uint32_t{raw[i + 1]} << 8 | raw[i + 2]);
    }
    return rgb;
}

}  // namespace

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
