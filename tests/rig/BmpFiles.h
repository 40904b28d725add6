// BMP files made by the tests, with known pixels: bottom-up, uncompressed, 24 bits or 8 and 4
// with a palette. Row padding, the unused low nibble of an odd 4-bit row and each palette
// entry's fourth byte hold marker values, so a reader that decodes them shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rig/Process.h"

namespace rig {

inline void PutLe(std::string& out, size_t at, size_t value, int bytes = 4) {
    out.replace(at, static_cast<size_t>(bytes), Le(value, bytes));
}

// pixels: w x h, rows top to bottom; 0xRRGGBB for 24 bits, palette indices otherwise.
inline std::string BmpFile(int bits, int w, int h, const std::vector<uint32_t>& pixels,
                           const std::vector<uint32_t>& palette = {}) {
    const size_t offset = 54 + 4 * palette.size();
    const size_t stored = (static_cast<size_t>(w * bits + 7) / 8 + 3) / 4 * 4;
    std::string out(offset + stored * static_cast<size_t>(h), '\xEE');
    out.replace(0, 54, "BM" + std::string(52, '\0'));
    PutLe(out, 2, out.size());  // the file's size
    PutLe(out, 10, offset);     // where the pixels start
    PutLe(out, 14, 40);         // the info header's size
    PutLe(out, 18, w);
    PutLe(out, 22, h);
    PutLe(out, 26, 1 | bits << 16);  // one plane, then the bits per pixel
    PutLe(out, 46, palette.size());  // colours in the palette
    for (size_t i = 0; i < palette.size(); ++i) PutLe(out, 54 + 4 * i, palette[i] | 0x5A000000U);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t at = offset + static_cast<size_t>(h - 1 - y) * stored +
                              static_cast<size_t>(x * bits / 8);
            size_t p = pixels[static_cast<size_t>(y * w + x)];
            if (bits == 4) p = x % 2 == 0 ? p << 4 | 0x0E : (out[at] & 0xF0) | p;
            PutLe(out, at, p, (bits + 7) / 8);
        }
    return out;
}

// The packed RGB a reader should answer for such a file.
inline std::vector<uint8_t> BmpRgb(int bits, const std::vector<uint32_t>& pixels,
                                   const std::vector<uint32_t>& palette = {}) {
    std::vector<uint8_t> rgb;
    for (uint32_t p : pixels) {
        const uint32_t c = bits == 24 ? p : (p < palette.size() ? palette[p] : 0);
        for (int shift : {16, 8, 0}) rgb.push_back(static_cast<uint8_t>(c >> shift));
    }
    return rgb;
}

}  // namespace rig
