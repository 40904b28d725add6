// The game's dice: the C library generator, seeded with the time on first use.
#pragma once

#include <cstdint>

namespace lumetra {

// A number from lo to hi, both included.
int32_t Random(int32_t lo, int32_t hi);

}  // namespace lumetra
