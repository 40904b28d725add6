// LoadBmp24, LoadBmp8 or LoadBmp4 (by BMP_BITS) on arbitrary files: each
// must answer a picture of exactly the size it reports, or no picture, and
// never touch memory outside its buffers. The file (and LoadBmp4's C export
// beside it) is in the ctest working folder.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "lumetra/core/Log.h"
#include "lumetra/graphics/BmpLoader.h"

constexpr auto Load = BMP_BITS == 24  ? lumetra::LoadBmp24
                      : BMP_BITS == 8 ? lumetra::LoadBmp8
                                      : lumetra::LoadBmp4;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumetra::SetLogFile("");  // refusals are log lines: none written, none echoed
    lumetra::SetLogEcho(false);
    std::FILE* f = std::fopen("input.bmp", "wb");
    if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
    const lumetra::RgbImage image = Load("input.bmp");
    if (!image.Empty() && image.pixels.size() != static_cast<size_t>(image.width) *
                                                     static_cast<size_t>(image.height) * 3)
        std::abort();
    return 0;
}
