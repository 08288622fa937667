#include "platform/Interrupt.h"

#include <atomic>
#include <csignal>

namespace {
std::atomic<bool> flag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void onSignal(int) { flag.store(true, std::memory_order_relaxed); }
} // namespace

void Interrupt::install() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
        return true;
    }();
    (void)installed;
}

bool Interrupt::requested() { return flag.load(std::memory_order_relaxed); }

void Interrupt::request() { flag.store(true, std::memory_order_relaxed); }
