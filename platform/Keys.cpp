#include "platform/Keys.h"

#include "platform/Interrupt.h"

bool ManualKeys::escape() {
    ++reads_;
    const bool down = held_ || pressed_ || Interrupt::requested();
    pressed_ = false;
    return down;
}
