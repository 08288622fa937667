#include "platform/Timer.h"

double SteadyTimer::seconds() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - epoch_);
    // The millisecond count wraps at 2^32 like any 32-bit tick counter (after 49.7 days).
    return static_cast<double>(static_cast<std::uint32_t>(ms.count())) * 0.001;
}

double PreciseTimer::seconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now() - epoch_).count(); }
