// Once a scene has drawn its first frames, its frames allocate nothing: every buffer, table and
// queue is made by a constructor or grows once to its steady size.

#include "BuildData.h"
#include "platform/DemoClock.h"
#include "platform/Display.h"
#include "platform/FixedMusic.h"
#include "platform/Keys.h"
#include "platform/Screen.h"
#include "platform/Timer.h"
#include "show/Show.h"
#include "show/Timetable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// The counting new below hands out malloc's memory and its delete frees it; GCC sees a new
// inlined next to a free and takes them for a mismatched pair.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

// Counts every allocation of the test program through new. The whole family is replaced, so
// whatever a library allocates with one form and frees with another still meets malloc and free
// on both sides (the sanitizers check that pairing).
namespace {
std::atomic<long> allocations{0};

void* counted(std::size_t size) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* countedOrThrow(std::size_t size) {
    if (void* p = counted(size)) return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) { return countedOrThrow(size); }
void* operator new[](std::size_t size) { return countedOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// Draws frames at one music position with the clock moving on a frame each time; counts the
// allocations of the frames after the first few, then holds Escape.
class Frames : public Display {
public:
    Frames(ManualKeys& keys, ManualTimer& timer) : keys_(keys), timer_(timer) {}
    void present(const Image&) override {
        ++presented;
        timer_.set(timer_.seconds() + 1.0 / 60);
        if (presented == warmUp) before = allocations.load();
        if (presented == warmUp + counted) {
            during = allocations.load() - before;
            keys_.hold();
        }
    }
    static constexpr int warmUp = 3;
    static constexpr int counted = 10;
    int presented = 0;
    long before = 0;
    long during = -1;

private:
    ManualKeys& keys_;
    ManualTimer& timer_;
};

} // namespace

TEST(SteadyFrames, NoSceneAllocatesOnceItIsRunning) {
    // Each scene at its telling moment, and early in its first order: under the flash that opens
    // most scenes, in the opening's fade and before the cones take over from the cube.
    const ShowPlan show = buildShow();
    for (const TimetableRow& row : show.timetable().rows()) {
        for (const TimetableRow::Moment at : {row.moment, TimetableRow::Moment{row.orders.first, 8}}) {
            ManualKeys keys;
            ManualTimer timer(20.0);
            Frames frames(keys, timer);
            FixedMusic music;
            music.set(at.order, at.row);
            Screen screen(600, 300, frames);
            DemoClock clock(music, timer, DemoClock::Start::fixedAtZero);
            Show scene({screen, clock, keys, buildData(), show.viewing}, row);
            while (scene.step() == Show::Step::drawn) {
            }
            EXPECT_EQ(frames.presented, Frames::warmUp + Frames::counted) << row.title << " at order " << at.order;
            EXPECT_EQ(frames.during, 0) << "allocations in frames of " << row.title << " at order " << at.order
                                        << ", row " << at.row;
        }
    }
}
