#include "rig/Golden.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "rig/Rig.h"

namespace rig {

namespace {

uint32_t Be32(const unsigned char* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

// Reads a PNG of the kind SavePng writes (8-bit RGB, not interlaced, any
// filter) as 0xRRGGBB pixels; empty on anything else.
std::vector<uint32_t> LoadPng(const std::string& path, int* w, int* h) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<unsigned char> z;
    *w = *h = 0;
    for (size_t at = 8; at + 12 <= f.size();) {
        const uint32_t len = Be32(&f[at]);
        if (len > f.size() - at - 12) return {};
        const std::string type(f.begin() + static_cast<long>(at) + 4, f.begin() + static_cast<long>(at) + 8);
        const unsigned char* data = &f[at + 8];
        if (type == "IHDR" && len >= 13 && data[8] == 8 && data[9] == 2 && data[12] == 0) {
            *w = static_cast<int>(Be32(data));
            *h = static_cast<int>(Be32(data + 4));
        }
        if (type == "IDAT") z.insert(z.end(), data, data + len);
        at += 12 + len;
    }
    if (*w <= 0 || *h <= 0 || *w > 8192 || *h > 8192) return {};
    const size_t stride = static_cast<size_t>(*w) * 3;
    std::vector<unsigned char> raw((stride + 1) * static_cast<size_t>(*h)), prev(stride, 0), row(stride);
    uLongf rawLen = raw.size();
    if (uncompress(raw.data(), &rawLen, z.data(), z.size()) != Z_OK || rawLen != raw.size()) return {};
    std::vector<uint32_t> rgb;
    for (int j = 0; j < *h; ++j) {
        const unsigned char* src = &raw[static_cast<size_t>(j) * (stride + 1)];
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = prev[i], c = i >= 3 ? prev[i - 3] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            const int pred = src[0] == 1 ? a : src[0] == 2 ? b : src[0] == 3 ? (a + b) / 2 : src[0] == 4 ? paeth : 0;
            row[i] = static_cast<unsigned char>(src[1 + i] + pred);
        }
        for (size_t i = 0; i < stride; i += 3) rgb.push_back(uint32_t{row[i]} << 16 | uint32_t{row[i + 1]} << 8 | row[i + 2]);
        prev.swap(row);
    }
    return rgb;
}

}  // namespace

std::string CompareGolden(Display* d, Window win, const std::string& name, int x, int y, int width, int height) {
    XWindowAttributes a{};
    if ((width == 0 || height == 0) && XGetWindowAttributes(d, win, &a)) width = a.width, height = a.height;
    Sync(d);
    const std::vector<uint32_t> actual = Pixels(d, win, x, y, width, height);
    if (actual.empty()) return name + ": the server gave no pixels";
    const std::string reference = std::string(LUMETRA_SOURCE_DIR) + "/tests/golden/" + name + ".png";
    if (const char* renew = std::getenv("LUMETRA_RENEW_GOLDEN"); renew != nullptr && std::string(renew) == "1")
        return SavePng(reference, width, height, actual) ? "" : "cannot write " + reference;
    int w = 0, h = 0;
    const std::vector<uint32_t> expected = LoadPng(reference, &w, &h);
    const bool sameSize = w == width && h == height;
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
    const std::string what = sameSize ? std::to_string(differ) + " of " + std::to_string(actual.size()) + " pixels differ from " + reference
                                      : reference + " is " + std::to_string(w) + "x" + std::to_string(h) + ", the window part " + size;
    return name + ": " + what + "; see " + dir + "/" + name + ".actual.png and .diff.png (LUMETRA_RENEW_GOLDEN=1 renews)";
}

}  // namespace rig
