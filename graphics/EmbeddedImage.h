// The 4-bit pictures compiled into the program: 48 bytes of palette (16
// entries of red, green, blue), then h rows of ceil(w / 2) bytes, the bottom
// row first; in each byte the high nibble is the left pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumetra {

// Bytes an embedded picture of w x h takes; 0 for a size no picture can have.
size_t EmbeddedImageSize(int w, int h);

// Packed RGB of w x h (3 bytes per pixel, rows top to bottom); empty when the
// size is not that of a picture. The data must hold EmbeddedImageSize(w, h)
// bytes: meant for the compiled-in pictures.
std::vector<uint8_t> DecodeEmbeddedImage(int w, int h, const unsigned char* img);
// The same for data of a known length: empty (with one log line) when the
// data is shorter than the size asks for.
std::vector<uint8_t> DecodeEmbeddedImage(int w, int h, const unsigned char* img, size_t size);

}  // namespace lumetra
