#include "tools/demo/random.h"

namespace {

uint32_t NextBits(Random& random) {
    uint32_t s = random.state;
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    random.state = s;
    return s;
}

}  // namespace

Random MakeRandom(uint32_t seed) {
    return Random{seed != 0 ? seed : 0x9E3779B9u};
}

double NextUnit(Random& random) {
    return (NextBits(random) >> 8) * (1.0 / 16777216.0);
}

double NextRange(Random& random, double low, double high) {
    return low + (high - low) * NextUnit(random);
}

int NextInt(Random& random, int low, int high) {
    return low + static_cast<int>(NextBits(random) % static_cast<uint32_t>(high - low + 1));
}
