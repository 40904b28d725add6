#include "rig/Golden.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "rig/Rig.h"

namespace rig {

namespace {

uint32_t Be32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

}  // namespace

Picture LoadPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Picture pic;
    if (f.size() < 8) return pic;
    std::vector<unsigned char> z;
    int w = 0, h = 0;
    for (size_t at = 8; at + 12 <= f.size();) {
        const uint32_t len = Be32(&f[at]);
        if (len > f.size() - at - 12) return pic;
        const std::string type(f.begin() + static_cast<long>(at) + 4, f.begin() + static_cast<long>(at) + 8);
        const unsigned char* data = &f[at + 8];
        if (type == "IHDR" && len >= 13) {
            if (data[8] != 8 || data[9] != 2 || data[12] != 0) return pic;  // 8-bit RGB, not interlaced
            w = static_cast<int>(Be32(data));
            h = static_cast<int>(Be32(data + 4));
        } else if (type == "IDAT") {
            z.insert(z.end(), data, data + len);
        }
        at += 12 + len;
    }
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192) return pic;
    const size_t stride = static_cast<size_t>(w) * 3;
    std::vector<unsigned char> raw((stride + 1) * static_cast<size_t>(h));
    uLongf rawLen = raw.size();
    if (uncompress(raw.data(), &rawLen, z.data(), z.size()) != Z_OK || rawLen != raw.size()) return pic;
    std::vector<unsigned char> prev(stride, 0), row(stride);
    pic.rgb.reserve(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int j = 0; j < h; ++j) {
        const unsigned char* src = &raw[static_cast<size_t>(j) * (stride + 1)];
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = prev[i], c = i >= 3 ? prev[i - 3] : 0;
            const int pred = src[0] == 1 ? a : src[0] == 2 ? b : src[0] == 3 ? (a + b) / 2 : src[0] == 4 ? Paeth(a, b, c) : 0;
            row[i] = static_cast<unsigned char>(src[1 + i] + pred);
        }
        for (size_t i = 0; i < stride; i += 3)
            pic.rgb.push_back(static_cast<uint32_t>(row[i]) << 16 | static_cast<uint32_t>(row[i + 1]) << 8 | row[i + 2]);
        prev.swap(row);
    }
    pic.width = w;
    pic.height = h;
    return pic;
}

std::string CompareGolden(Display* d, Window win, const std::string& name, int x, int y, int width, int height) {
    if (width == 0 || height == 0) {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(d, win, &a)) return name + ": no such window";
        width = a.width;
        height = a.height;
    }
    Sync(d);
    const std::vector<uint32_t> actual = Pixels(d, win, x, y, width, height);
    if (actual.empty()) return name + ": the server gave no pixels";
    const std::string reference = std::string(LUMETRA_SOURCE_DIR) + "/tests/golden/" + name + ".png";
    const char* renew = std::getenv("LUMETRA_RENEW_GOLDEN");
    if (renew != nullptr && std::string(renew) == "1") {
        return SavePng(reference, width, height, actual) ? "" : "cannot write " + reference;
    }
    const Picture expected = LoadPng(reference);
    size_t differ = 0;
    std::vector<uint32_t> diff(actual.size());
    const bool sameSize = expected.width == width && expected.height == height;
    for (size_t i = 0; i < actual.size(); ++i) {
        const bool same = sameSize && expected.rgb[i] == actual[i];
        differ += same ? 0 : 1;
        diff[i] = same ? (actual[i] >> 2 & 0x3F3F3F) : 0xFF00FF;
    }
    if (differ == 0) return "";
    const std::string dir = std::string(LUMETRA_BINARY_DIR) + "/golden-fail";
    mkdir(dir.c_str(), 0755);
    SavePng(dir + "/" + name + ".actual.png", width, height, actual);
    SavePng(dir + "/" + name + ".diff.png", width, height, diff);
    const std::string what = sameSize ? std::to_string(differ) + " of " + std::to_string(actual.size()) +
                                            " pixels differ from " + reference
                                      : reference + " is " + std::to_string(expected.width) + "x" +
                                            std::to_string(expected.height) + ", the window part " +
                                            std::to_string(width) + "x" + std::to_string(height);
    return name + ": " + what + "; see " + dir + "/" + name + ".actual.png and .diff.png (LUMETRA_RENEW_GOLDEN=1 renews)";
}

}  // namespace rig
