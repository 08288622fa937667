// Whole frames of every scene and the show's start-up, each to be read as a ratio to BM_Memcpy of
// the same run. A frame draws into an in-memory screen that nothing presents.

#include "bench/BenchData.h"
#include "bench/BenchScenes.h"
#include "platform/DemoClock.h"
#include "platform/Display.h"
#include "platform/FixedMusic.h"
#include "platform/Keys.h"
#include "platform/Module.h"
#include "platform/Screen.h"
#include "platform/Timer.h"
#include "show/Show.h"
#include "show/ShowPlan.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Frames go nowhere.
class Offscreen : public Display {
public:
    void present(const Image&) override {}
};

struct Rig {
    ManualKeys keys;
    FixedMusic music;
    ManualTimer timer;
    Offscreen display;
    Screen screen{600, 300, display};
    DemoClock clock{music, timer, DemoClock::Start::fixedAtZero};
};

using bench::secondsAt;
using bench::Typical;
using bench::typical;

void BM_SceneFrame(benchmark::State& state) {
    Rig rig;
    const Typical p = typical[static_cast<std::size_t>(state.range(0) - 1)];
    rig.timer.set(secondsAt(p));
    rig.music.set(p.order, p.row);
    const ShowPlan& plan = bench::buildShow();
    Show show({rig.screen, rig.clock, rig.keys, plan.data, plan.viewing}, plan.timetable().playingAt(p.order));
    // Each step draws one frame of the phase playing at the music's position, which stays.
    for (auto _ : state) {
        if (show.step() != Show::Step::drawn) state.SkipWithError("no frame at the position");
        benchmark::ClobberMemory();
    }
}

// Every asset read and decoded, every texture generated, every view and effect built. The
// process-wide texture tables are built by the first construction only, as in the program.
void BM_Startup(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        const ShowPlan& plan = bench::buildShow();
        auto show = std::make_unique<Show>(Stage{rig.screen, rig.clock, rig.keys, plan.data, plan.viewing},
                                           plan.timetable().rows());
        benchmark::DoNotOptimize(show.get());
        state.PauseTiming();
        show.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_SceneFrame)->DenseRange(1, 9);
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond);
