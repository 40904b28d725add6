#include "lumetra/util/WaveFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "lumetra/util/LittleEndian.h"
#include "lumetra/util/Paths.h"

namespace lumetra {

int64_t WaveMillis(const std::string& path) {
    const File f = OpenRegularFile(path, "rb");
    struct stat st {};
    uint8_t riff[12];
    if (!f || fstat(fileno(f.get()), &st) != 0 || std::fread(riff, 1, 12, f.get()) != 12 ||
        std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return -1;
    }
    uint32_t byteRate = 0;
    uint8_t chunk[8];
    uint8_t format[12];
    for (int n = 0; n < 16 && std::fread(chunk, 1, 8, f.get()) == 8; ++n) {
        const uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            const int64_t bytes = std::min<int64_t>(size, st.st_size);
            return byteRate > 0 ? bytes * 1000 / byteRate : -1;
        }
        long skip = static_cast<long>(size) +
                    static_cast<long>(size & 1);  // chunks are padded to even sizes
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= sizeof format) {
            // Format, channels, sample rate, then the bytes per second.
            if (std::fread(format, 1, sizeof format, f.get()) != sizeof format) return -1;
            byteRate = Le32(format + 8);
            skip -= static_cast<long>(sizeof format);
        }
        if (std::fseek(f.get(), skip, SEEK_CUR) != 0) return -1;
    }
    return -1;
}

}  // namespace lumetra
