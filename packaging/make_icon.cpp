// Writes the desktop icon: the title picture centred on a square transparent
// canvas, as a PNG file. Usage: make_icon <out.png>
#include <zlib.h>

#include <cstdio>
#include <vector>

#include "graphics/EmbeddedImage.h"
#include "graphics/Pictures.h"

namespace {

void Be32(std::vector<unsigned char>& v, uint32_t n) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<unsigned char>(n >> s));
}

void Chunk(std::FILE* f, const char* type, const std::vector<unsigned char>& data) {
    std::vector<unsigned char> c;
    Be32(c, static_cast<uint32_t>(data.size()));
    c.insert(c.end(), type, type + 4);
    c.insert(c.end(), data.begin(), data.end());
    Be32(c, static_cast<uint32_t>(crc32(0, c.data() + 4, static_cast<uInt>(c.size() - 4))));
    std::fwrite(c.data(), 1, c.size(), f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const lumetra::EmbeddedPicture& title = lumetra::TitlePicture();
    const std::vector<uint8_t> rgb = lumetra::DecodeEmbeddedImage(title.w, title.h, title.img);
    if (rgb.empty()) return 1;
    const int side = title.w;
    const int top = (side - title.h) / 2;
    std::vector<unsigned char> raw;
    for (int y = 0; y < side; ++y) {
        raw.push_back(0);
        for (int x = 0; x < side; ++x) {
            const int py = y - top;
            if (py < 0 || py >= title.h) {
                raw.insert(raw.end(), {0, 0, 0, 0});
                continue;
            }
            const size_t at = (static_cast<size_t>(py) * static_cast<size_t>(title.w) + static_cast<size_t>(x)) * 3;
            raw.insert(raw.end(), {rgb[at], rgb[at + 1], rgb[at + 2], 255});
        }
    }
    uLongf zlen = compressBound(raw.size());
    std::vector<unsigned char> z(zlen);
    if (compress2(z.data(), &zlen, raw.data(), raw.size(), 9) != Z_OK) return 1;
    z.resize(zlen);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) return 1;
    static const unsigned char sig[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::fwrite(sig, 1, sizeof sig, f);
    std::vector<unsigned char> ihdr;
    Be32(ihdr, static_cast<uint32_t>(side));
    Be32(ihdr, static_cast<uint32_t>(side));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    Chunk(f, "IHDR", ihdr);
    Chunk(f, "IDAT", z);
    Chunk(f, "IEND", {});
    return std::fclose(f) == 0 ? 0 : 1;
}
