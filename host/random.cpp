#include "host/random.h"

namespace host {
namespace {
uint32_t randState = 1;
}

int Rand() {
    randState = randState * 214013u + 2531011u;
    return static_cast<int>((randState >> 16) & 0x7FFF);
}

void SeedRand(uint32_t state) {
    randState = state;
}

} // namespace host
