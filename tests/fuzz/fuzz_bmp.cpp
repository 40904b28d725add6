// LoadBmp24, LoadBmp8 or LoadBmp4 (by BMP_BITS) on arbitrary files: each
// must answer a picture of exactly the size it reports, or no picture, and
// never touch memory outside its buffers.
#include <cstdint>
#include <cstdlib>

#include "FuzzScratch.h"
#include "lumetra/graphics/BmpLoader.h"

constexpr auto Load = BMP_BITS == 24  ? lumetra::LoadBmp24
                      : BMP_BITS == 8 ? lumetra::LoadBmp8
                                      : lumetra::LoadBmp4;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const lumetra::RgbImage image = Load(fuzzing::WriteInput(data, size));
    if (!image.Empty() && image.pixels.size() != static_cast<size_t>(image.width) *
                                                     static_cast<size_t>(image.height) * 3)
        std::abort();
    return 0;
}
