#pragma once

#include "bench/BenchData.h"

#include <array>

// A position well inside each scene's main phase, where its every layer is drawn; flashes are
// included where a scene spends about half its time under one.
namespace bench {

struct Typical {
    int order;
    int row;
};
constexpr std::array<Typical, 9> typical{{{3, 16}, {6, 16}, {9, 32}, {12, 32}, {16, 32}, {20, 32}, {28, 32}, {33, 32}, {36, 8}}};

// Show seconds at a position, as an uninterrupted play reaches it.
inline double secondsAt(Typical p) { return buildShow().shape.secondsAt(p.order, p.row); }

} // namespace bench
