// Writes the desktop icon: the four boxes of the compiled-in title picture,
// scaled to a square of the given size, as an RGBA PNG file. The paper
// around the boxes' rounded frame becomes transparent. The PNG is written
// with stored (uncompressed) deflate blocks, so the build needs no zlib.
// Usage: make_icon <size> <out.png>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "lumetra/graphics/EmbeddedImage.h"
#include "lumetra/graphics/Pictures.h"

namespace {

// Where the boxes sit in the title picture, and the paper around them.
constexpr int kBoxesX = 6, kBoxesY = 5, kBoxesSide = 40;
constexpr uint8_t kPaper = 0xFF;

using Bytes = std::vector<uint8_t>;

void Be32(Bytes& out, uint32_t n) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(n >> s));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFU;
    for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFU;
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
Bytes Stored(const Bytes& raw) {
    Bytes z = {0x78, 0x01};
    uint32_t a = 1;
    uint32_t b = 0;
    for (const uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    size_t at = 0;
    do {
        const size_t len = std::min<size_t>(raw.size() - at, 65535);
        z.push_back(at + len == raw.size() ? 1 : 0);
        z.insert(z.end(), {static_cast<uint8_t>(len), static_cast<uint8_t>(len >> 8),
                           static_cast<uint8_t>(~len), static_cast<uint8_t>(~len >> 8)});
        z.insert(z.end(), raw.begin() + static_cast<long>(at),
                 raw.begin() + static_cast<long>(at + len));
        at += len;
    } while (at < raw.size());
    Be32(z, (b << 16) | a);
    return z;
}

void Chunk(Bytes& png, const char* type, const Bytes& data) {
    Be32(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Be32(png, Crc32(png.data() + start, png.size() - start));
}

// How much of source pixel i the span [from, to) covers.
double Overlap(int i, double from, double to) {
    return std::max(0.0, std::min(i + 1.0, to) - std::max<double>(i, from));
}

}  // namespace

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: make_icon <size 16-1024> <out.png>\n");
        return 2;
    }
    const lumetra::EmbeddedPicture& title = lumetra::TitlePicture();
    const Bytes rgb = lumetra::DecodeEmbeddedImage(title.w, title.h, title.img);
    if (rgb.empty()) return 1;
    // The boxes fill the icon but for a margin of a sixteenth on each side;
    // every icon pixel averages the source pixels it covers, with alpha.
    const int margin = size / 16;
    const int inner = size - 2 * margin;
    const double step = static_cast<double>(kBoxesSide) / inner;
    Bytes raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < size; ++x) {
            const double fx = (x - margin) * step;
            const double fy = (y - margin) * step;
            double sum[4] = {0, 0, 0, 0};
            for (int sy = std::max(0, static_cast<int>(fy));
                 sy < std::min<double>(kBoxesSide, fy + step); ++sy) {
                for (int sx = std::max(0, static_cast<int>(fx));
                     sx < std::min<double>(kBoxesSide, fx + step); ++sx) {
                    const double w = Overlap(sx, fx, fx + step) * Overlap(sy, fy, fy + step);
                    const size_t at =
                        (static_cast<size_t>(kBoxesY + sy) * static_cast<size_t>(title.w) +
                         static_cast<size_t>(kBoxesX + sx)) *
                        3;
                    if (rgb[at] == kPaper && rgb[at + 1] == kPaper && rgb[at + 2] == kPaper)
                        continue;
                    for (int c = 0; c < 3; ++c) sum[c] += w * rgb[at + static_cast<size_t>(c)];
                    sum[3] += w;
                }
            }
            const double alpha = sum[3] / (step * step);
            for (int c = 0; c < 3; ++c)
                raw.push_back(sum[3] > 0 ? static_cast<uint8_t>(std::lround(sum[c] / sum[3])) : 0);
            raw.push_back(static_cast<uint8_t>(std::lround(std::min(1.0, alpha) * 255)));
        }
    }
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Be32(header, static_cast<uint32_t>(size));
    Be32(header, static_cast<uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", Stored(raw));
    Chunk(png, "IEND", {});
    std::FILE* f = std::fopen(argv[2], "wb");
    if (f == nullptr) return 1;
    const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && written ? 0 : 1;
}
