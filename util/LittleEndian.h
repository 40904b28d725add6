// Numbers stored little-endian in the headers of the files the program reads
// (BMP pictures, WAV sounds), read byte by byte whatever the machine's order.
#pragma once

#include <cstdint>

namespace lumetra {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace lumetra
