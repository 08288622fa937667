#include "app/LivePlay.h"

#include "platform/Interrupt.h"
#include "platform/LiveMusic.h"
#include "platform/SdlDisplay.h"
#include "platform/SdlKeys.h"
#include "show/Show.h"

void LivePlay::run(const Options& o) {
    Interrupt::install();
    SdlDisplay::Options display;
    display.fullscreen = o.fullscreen;
    display.scale = o.scale;
    // The display opens first, so a machine without one gets nothing else started.
    SdlDisplay output(display);
    Screen screen(600, 300, output);
    SdlKeys keys(output);
    LiveMusic music(Module::load("Super.xm"), o.from, o.mute);
    SteadyTimer timer;
    DemoClock clock(music, timer);
    Show show({screen, clock, keys});
    show.play(music);
    // The show ran to the music's end rather than to Escape: play it again from the top.
    while (o.loop && music.position() == Module::endPosition && !keys.escape()) {
        music.restart();
        show.play(music);
    }
}
