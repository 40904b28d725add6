// Unpacking the compiled-in 4-bit pictures into packed RGB.
#include "lumetra/graphics/EmbeddedImage.h"

#include "lumetra/core/Log.h"
#include "lumetra/graphics/ImageFormat.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {
constexpr size_t kPaletteBytes = 48;
}

size_t EmbeddedImageSize(int w, int h) {
    if (w < 1 || h < 1 || w > MaxImageSide || h > MaxImageSide) return 0;
    return kPaletteBytes + static_cast<size_t>((w + 1) / 2) * static_cast<size_t>(h);
}

std::vector<uint8_t> DecodeEmbeddedImage(int w, int h, const unsigned char* img) {
    return DecodeEmbeddedImage(w, h, img, EmbeddedImageSize(w, h));
}

std::vector<uint8_t> DecodeEmbeddedImage(int w, int h, const unsigned char* img, size_t size) {
    const size_t needed = EmbeddedImageSize(w, h);
    if (img == nullptr || needed == 0 || size < needed) {
        Log("DecodeEmbeddedImage: no picture of " + IntToString(w) + " x " + IntToString(h) +
            " in " + IntToString(static_cast<int64_t>(img == nullptr ? 0 : size)) + " bytes");
        return {};
    }
    const size_t width = static_cast<size_t>(w);
    const size_t height = static_cast<size_t>(h);
    const size_t rowBytes = (width + 1) / 2;
    std::vector<uint8_t> rgb(width * height * 3);
    const unsigned char* palette = img;
    const unsigned char* rows = img + kPaletteBytes;
    for (size_t r = 0; r < height; ++r) {
        const unsigned char* in = rows + r * rowBytes;
        uint8_t* out = rgb.data() + (height - 1 - r) * width * 3;
        for (size_t x = 0; x < width; ++x) {
            const unsigned char byte = in[x / 2];
            const unsigned index = x % 2 == 0 ? byte >> 4 : byte & 0x0F;
            const unsigned char* entry = palette + index * 3;
            *out++ = entry[0];
            *out++ = entry[1];
            *out++ = entry[2];
        }
    }
    return rgb;
}

}  // namespace lumetra
