#pragma once

#include <cmath>
#include <cstdint>

// Real to integer by truncation toward zero, saturating where an int cannot hold the value
// (a show left running for days pushes scroll offsets that far) and 0 for NaN.
inline std::int32_t truncToInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(v);
}
