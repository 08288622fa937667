#pragma once

#include "platform/Controls.h"

#include <cstdint>
#include <utility>
#include <vector>

class SdlDisplay;
struct KeyBinding;

// The window's keyboard and mouse. Reading drains the window's events, which also keeps the
// window responsive; a tap shorter than the gap between two reads shows only as an event, so
// Escape's "pressed since" latch comes from events, its "down" from the key state. Closing the
// window, SIGINT and SIGTERM read as Escape held from then on.
class SdlKeys : public Controls {
public:
    // Needs the display's video subsystem, hence the reference.
    explicit SdlKeys(SdlDisplay& display);
    bool escape() override;
    bool escapePending() override;
    std::vector<Command> commands() override;
    void wait(int milliseconds) override;

private:
    void drain();
    void take(const void* event);

    // Each key's code, from its name in the key table.
    std::vector<std::pair<std::int32_t, const KeyBinding*>> keys_;
    bool quit_ = false;
    bool pressed_ = false;
    std::vector<Command> commands_;
};
