#include "raster/SharedRandom.h"

namespace {
std::uint32_t current = 1;
}

void SharedRandom::seed(std::uint32_t value) { current = value; }

int SharedRandom::next() {
    current = current * 214013u + 2531011u;
    return static_cast<int>((current >> 16) & 32767u);
}

std::uint32_t SharedRandom::state() { return current; }
