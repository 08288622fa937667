#pragma once

#include "bench/BenchData.h"
#include "platform/Module.h"

#include <array>

// A position well inside each scene's main phase, where its every layer is drawn; flashes are
// included where a scene spends about half its time under one.
namespace bench {

struct Typical {
    int order;
    int row;
};
constexpr std::array<Typical, 9> typical{{{3, 16}, {6, 16}, {9, 32}, {12, 32}, {16, 32}, {20, 32}, {28, 32}, {33, 32}, {36, 8}}};

// Show seconds at a position, from the module's own timetable (its orders are 64 rows each).
inline double secondsAt(Typical p) {
    auto module = Module::loadTimeline(buildData(), "Super.xm");
    module->seekOrder(p.order);
    const double start = module->positionSeconds();
    module->seekOrder(p.order + 1);
    return start + (module->positionSeconds() - start) * p.row / 64.0;
}

} // namespace bench
