#include "app/LivePlay.h"

#include "platform/Interrupt.h"
#include "platform/LiveMusic.h"
#include "platform/SdlDisplay.h"
#include "platform/SdlKeys.h"
#include "platform/Timer.h"
#include "raster/FrameSize.h"
#include "show/Player.h"
#include "show/ShowPlan.h"

#include <cstdio>

void LivePlay::run(const Load& load, const Options& o, const Attach& attach) {
    Interrupt::install();
    SdlDisplay::Options display;
    display.width = frameWidth;
    display.height = frameHeight;
    display.fullscreen = o.fullscreen;
    display.scale = o.scale;
    if (!o.title.empty()) display.title = o.title;
    // The display opens first, so a machine without one gets nothing else started.
    SdlDisplay window(display);
    SdlKeys keys(window);
    ShowPlan& show = load();
    LiveMusic music(Module::load(show.data, show.file.music), show.viewing.mute);
    music.setVolume(show.viewing.volume);
    SteadyTimer ticks;
    PreciseTimer wall;
    Player player({window, keys, music, ticks, wall}, show);
    if (attach) attach(player, music);
    player.play();
    if (o.stats) std::fprintf(stderr, "%s\n", player.statsLine().c_str());
}
