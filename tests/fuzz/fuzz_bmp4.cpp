// LoadBmp4 on arbitrary files: it must answer a picture of exactly the size
// it reports, or no picture, and never touch memory outside its buffers.
#include <cstdint>
#include <cstdlib>

#include "FuzzScratch.h"
#include "graphics/BmpLoader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::EnterScratchDirectory(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const lumetra::RgbImage image = lumetra::LoadBmp4(fuzzing::WriteInput(data, size));
    if (!image.Empty() && image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3)
        std::abort();
    return 0;
}
