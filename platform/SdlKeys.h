#pragma once

#include "platform/Controls.h"
#include "platform/KeyTable.h"
#include "platform/Pointer.h"
#include "platform/Timer.h"

#include <cstdint>
#include <vector>

class SdlDisplay;

// The window's keyboard and mouse. Reading drains the window's events, which also keeps the
// window responsive; a tap shorter than the gap between two reads shows only as an event, so
// Escape's "pressed since" latch comes from events, its "down" from the key state. Closing the
// window, SIGINT and SIGTERM read as Escape held from then on. The pointer shows while it
// moves, in a window and full screen alike, and hides after a second of stillness.
class SdlKeys : public Controls {
public:
    // Needs the display's video subsystem, and where it shows the picture.
    explicit SdlKeys(SdlDisplay& display);
    bool escape() override;
    bool escapePending() override;
    std::vector<Command> commands() override;
    void wait(int milliseconds) override;
    double barShare() const override { return barShare_; }
    bool pointerAtFoot() const override { return atFoot_; }

private:
    struct Key {
        std::int32_t code;
        bool shift;  // the row asks for Shift held
        const KeyBinding* row;
    };
    void drain();
    void take(const void* event);
    void key(std::int32_t code, bool shift, bool repeat);
    void mouse(Mouse action);
    Pointer::Area picture() const;
    // Shows or hides the pointer as its stillness says.
    void showPointer();

    SdlDisplay& display_;
    std::vector<Key> keys_;
    bool quit_ = false;
    bool pressed_ = false;
    std::vector<Command> commands_;
    PreciseTimer clock_;
    Pointer pointer_;
    bool pointerShown_ = true;
    bool dragging_ = false;  // the left button went down on the bar and is still down
    bool atFoot_ = false;
    double barShare_ = 0.0;
};
