// BMP files made by the tests themselves, with known pixels: bottom-up,
// uncompressed, 24 bits per pixel or 8 and 4 with a palette. Row padding and
// the unused low nibble of an odd 4-bit row are filled with marker values, so
// a reader that decodes them shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_bmp {

inline void PutLe(std::string& out, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

inline size_t UsedRowBytes(int bits, int w) {
    const size_t width = static_cast<size_t>(w);
    return bits == 24 ? width * 3 : bits == 8 ? width : (width + 1) / 2;
}

inline size_t StoredRowBytes(int bits, int w) { return (UsedRowBytes(bits, w) + 3) / 4 * 4; }

// pixels: w x h, rows top to bottom; 0xRRGGBB for 24 bits, palette indices
// otherwise. palette: 0xRRGGBB entries.
inline std::string Bmp(int bits, int w, int h, const std::vector<uint32_t>& pixels, const std::vector<uint32_t>& palette = {},
                       char marker = static_cast<char>(0xEE)) {
    const size_t offset = 54 + 4 * palette.size();
    const size_t stored = StoredRowBytes(bits, w), used = UsedRowBytes(bits, w);
    std::string out(offset + stored * static_cast<size_t>(h), '\0');
    out[0] = 'B';
    out[1] = 'M';
    PutLe(out, 2, static_cast<uint32_t>(out.size()), 4);
    PutLe(out, 10, static_cast<uint32_t>(offset), 4);
    PutLe(out, 14, 40, 4);
    PutLe(out, 18, static_cast<uint32_t>(w), 4);
    PutLe(out, 22, static_cast<uint32_t>(h), 4);
    PutLe(out, 26, 1, 2);
    PutLe(out, 28, static_cast<uint32_t>(bits), 2);
    PutLe(out, 34, static_cast<uint32_t>(stored * static_cast<size_t>(h)), 4);
    PutLe(out, 46, static_cast<uint32_t>(palette.size()), 4);
    for (size_t i = 0; i < palette.size(); ++i) {
        out[54 + 4 * i] = static_cast<char>(palette[i]);
        out[55 + 4 * i] = static_cast<char>(palette[i] >> 8);
        out[56 + 4 * i] = static_cast<char>(palette[i] >> 16);
        out[57 + 4 * i] = static_cast<char>(0x5A);  // the unused fourth byte
    }
    for (int y = 0; y < h; ++y) {
        const size_t row = offset + static_cast<size_t>(h - 1 - y) * stored;
        for (size_t i = used; i < stored; ++i) out[row + i] = marker;
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y * w + x)];
            if (bits == 24) {
                out[row + 3 * static_cast<size_t>(x)] = static_cast<char>(p);
                out[row + 3 * static_cast<size_t>(x) + 1] = static_cast<char>(p >> 8);
                out[row + 3 * static_cast<size_t>(x) + 2] = static_cast<char>(p >> 16);
            } else if (bits == 8) {
                out[row + static_cast<size_t>(x)] = static_cast<char>(p);
            } else {
                char& b = out[row + static_cast<size_t>(x / 2)];
                if (x % 2 == 0) {
                    // The right nibble starts as the marker's, for an odd last pixel.
                    b = static_cast<char>((p & 0x0F) << 4 | (static_cast<uint8_t>(marker) & 0x0F));
                } else {
                    b = static_cast<char>((static_cast<uint8_t>(b) & 0xF0) | (p & 0x0F));
                }
            }
        }
    }
    return out;
}

// The packed RGB a reader should answer for such a file.
inline std::vector<uint8_t> Expected(int bits, const std::vector<uint32_t>& pixels, const std::vector<uint32_t>& palette = {}) {
    std::vector<uint8_t> rgb;
    for (uint32_t p : pixels) {
        const uint32_t c = bits == 24 ? p : (p < palette.size() ? palette[p] : 0);
        rgb.push_back(static_cast<uint8_t>(c >> 16));
        rgb.push_back(static_cast<uint8_t>(c >> 8));
        rgb.push_back(static_cast<uint8_t>(c));
    }
    return rgb;
}

}  // namespace testing_bmp
