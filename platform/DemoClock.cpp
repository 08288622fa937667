#include "platform/DemoClock.h"

DemoClock::DemoClock(Music& music, Timer& timer, Start start) : music_(music), timer_(timer), mode_(start) {}

void DemoClock::reset() {
    if (mode_ == Start::onReset) start_ = static_cast<float>(timer_.seconds());
}

Position DemoClock::now() {
    const std::uint32_t position = music_.position();
    return {Music::orderOf(position), Music::rowOf(position), seconds()};
}

double DemoClock::seconds() { return timer_.seconds() - static_cast<double>(start_); }
