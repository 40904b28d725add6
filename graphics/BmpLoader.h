// Readers of uncompressed BMP files of 24, 8 and 4 bits per pixel, giving
// packed RGB (3 bytes per pixel: red, green, blue; rows top to bottom). The
// 4-bit reader also writes the picture as C source beside the file, in the
// embedded format the program compiles its own pictures from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumetra {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width x height x 3 bytes; empty = no image
    bool Empty() const { return pixels.empty(); }
};

// Each answers no image, after one log line naming the file, for a file that
// cannot be read, is not a regular file, or is not a well-formed picture:
// shorter than its header, a width or height below 1 or above 16384
// (bottom-up files only), over 64 MiB of decoded pixels, pixel data
// inside the header or beyond the end, a palette of more than 1024 bytes, or
// rows missing at the end.
RgbImage LoadBmp24(const std::string& path);
RgbImage LoadBmp8(const std::string& path);
// Also writes "<path>.c": the declarations "int w<NAME>", "int h<NAME>" and
// "char img<NAME>[]" of the picture, NAME being the file name up to its last
// "." in capitals.
RgbImage LoadBmp4(const std::string& path);

// The name a C export gives the picture of a file: "pics/Logo.old.bmp" gives
// "LOGO.OLD".
std::string ExportName(const std::string& path);

}  // namespace lumetra
