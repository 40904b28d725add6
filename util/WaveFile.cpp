// A WAV header's walk to the length of its sound, and the kind of a special file.
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
    uint64_t bytesPerSecond = 0;
    uint8_t chunk[8];
    uint8_t format[16];
    for (int n = 0; n < 16 && std::fread(chunk, 1, 8, f.get()) == 8; ++n) {
        const uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            const int64_t bytes = std::min<int64_t>(size, st.st_size);
            if (bytesPerSecond == 0) return -1;
            return std::min<int64_t>(bytes * 1000 / static_cast<int64_t>(bytesPerSecond),
                                     kMaxWaveMillis);
        }
        long skip = static_cast<long>(size) +
                    static_cast<long>(size & 1);  // chunks are padded to even sizes
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= sizeof format) {
            // Format, channels, sample rate, byte rate, block size, bits.
            if (std::fread(format, 1, sizeof format, f.get()) != sizeof format) return -1;
            // The byte rate is redundant: a file whose fields disagree says
            // nothing reliable about its length.
            const uint64_t rate = Le32(format + 4);
            const uint64_t blockBytes = Le16(format + 12);
            bytesPerSecond = rate * blockBytes == Le32(format + 8) ? rate * blockBytes : 0;
            skip -= static_cast<long>(sizeof format);
        }
        if (std::fseek(f.get(), skip, SEEK_CUR) != 0) return -1;
    }
    return -1;
}

}  // namespace lumetra
