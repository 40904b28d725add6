// DecodeEmbeddedImage on arbitrary sizes and data: the first four bytes give
// the width and height (16 bits each, signed), the rest is the picture.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lumetra/core/Log.h"
#include "lumetra/graphics/EmbeddedImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    lumetra::SetLogFile("");  // a refused picture is a log line: none written, none echoed
    lumetra::SetLogEcho(false);
    const int w = static_cast<int16_t>(data[0] | data[1] << 8);
    const int h = static_cast<int16_t>(data[2] | data[3] << 8);
    const uint8_t* img = data + 4;
    const std::vector<uint8_t> rgb = lumetra::DecodeEmbeddedImage(w, h, img, size - 4);
    if (!rgb.empty() && rgb.size() != static_cast<size_t>(w) * static_cast<size_t>(h) * 3)
        std::abort();
    // The unchecked form, as the compiled-in pictures use it, given enough data.
    const size_t needed = lumetra::EmbeddedImageSize(w, h);
    if (needed != 0 && size - 4 >= needed && lumetra::DecodeEmbeddedImage(w, h, img) != rgb)
        std::abort();
    return 0;
}
