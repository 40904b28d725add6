// The game's random numbers, seeded once from the time.
#include "lumetra/game/Random.h"

#include <cstdlib>
#include <ctime>

namespace lumetra {

int32_t Random(int32_t lo, int32_t hi) {
    static const bool seeded = [] {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        return true;
    }();
    (void)seeded;
    if (hi < lo) return lo;
    return lo + std::rand() % (hi - lo + 1);
}

}  // namespace lumetra
