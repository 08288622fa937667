#pragma once

#include "platform/Keys.h"

class SdlDisplay;

// Escape from the window's keyboard. Reading drains the window's events, which also keeps the
// window responsive; a tap shorter than the gap between two reads shows only as an event, so
// the "pressed since" latch comes from events, the "down" from the key state.
class SdlKeys : public Keys {
public:
    // Needs the display's video subsystem, hence the reference.
    explicit SdlKeys(SdlDisplay& display);
    bool escape() override;

private:
    bool quit_ = false;
};
