// BMP files made by the tests, with known pixels: bottom-up, uncompressed, 24 bits or 8 and 4
// with a palette. Row padding, the unused low nibble of an odd 4-bit row and each palette
// entry's fourth byte hold marker values, so a reader that decodes them shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bmp {

inline void PutLe(std::string& out, size_t at, uint32_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// pixels: w x h, rows top to bottom; 0xRRGGBB for 24 bits, palette indices otherwise.
inline std::string File(int bits, int w, int h, const std::vector<uint32_t>& pixels,
                        const std::vector<uint32_t>& palette = {}) {
    const size_t offset = 54 + 4 * palette.size();
    const size_t stored = (static_cast<size_t>(w * bits + 7) / 8 + 3) / 4 * 4;
    std::string out(offset + stored * static_cast<size_t>(h), '\xEE');
    out.replace(0, 54, 54, '\0');
    out[0] = 'B';
    out[1] = 'M';
    const std::pair<size_t, size_t> fields[] = {
        {2, out.size()},       // the file's size
        {10, offset},          // where the pixels start
        {14, 40},              // the info header's size
        {18, w},               // width
        {22, h},               // height
        {46, palette.size()},  // colours in the palette
    };
    for (const auto& [at, value] : fields) PutLe(out, at, static_cast<uint32_t>(value));
    PutLe(out, 26, 1, 2);  // planes
    PutLe(out, 28, static_cast<uint32_t>(bits), 2);
    for (size_t i = 0; i < palette.size(); ++i) PutLe(out, 54 + 4 * i, palette[i] | 0x5A000000U);
    for (int y = 0; y < h; ++y) {
        const size_t row = offset + static_cast<size_t>(h - 1 - y) * stored;
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y * w + x)];
            char& c = out[row + static_cast<size_t>(x * bits / 8)];
            if (bits == 24) PutLe(out, row + 3 * static_cast<size_t>(x), p, 3);
            if (bits == 8) c = static_cast<char>(p);
            if (bits == 4)
                c = static_cast<char>(x % 2 == 0 ? (p << 4 | 0x0E)
                                                 : ((static_cast<uint8_t>(c) & 0xF0) | p));
        }
    }
    return out;
}

// The packed RGB a reader should answer for such a file.
inline std::vector<uint8_t> Rgb(int bits, const std::vector<uint32_t>& pixels,
                                const std::vector<uint32_t>& palette = {}) {
    std::vector<uint8_t> rgb;
    for (uint32_t p : pixels) {
        const uint32_t c = bits == 24 ? p : (p < palette.size() ? palette[p] : 0);
        rgb.insert(rgb.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                               static_cast<uint8_t>(c)});
    }
    return rgb;
}

}  // namespace bmp
