#include "app/LivePlay.h"

#include "platform/Interrupt.h"
#include "platform/LiveMusic.h"
#include "platform/MusicShape.h"
#include "platform/SdlDisplay.h"
#include "platform/SdlKeys.h"
#include "platform/Timer.h"
#include "raster/FrameSize.h"
#include "show/Player.h"

#include <cstdio>

void LivePlay::run(const Options& o, const Attach& attach) {
    Interrupt::install();
    SdlDisplay::Options display;
    display.width = frameWidth;
    display.height = frameHeight;
    display.fullscreen = o.fullscreen;
    display.scale = o.scale;
    // The display opens first, so a machine without one gets nothing else started.
    SdlDisplay window(display);
    SdlKeys keys(window);
    LiveMusic music(Module::load(o.data, "Super.xm"), o.mute);
    music.setVolume(o.volume);
    SteadyTimer ticks;
    PreciseTimer wall;
    Player player({window, keys, music, ticks, wall, o.data}, MusicShape::load(o.data, "Super.xm"),
                  {.from = o.from, .fromRow = o.fromRow, .to = o.to, .toRow = o.toRow, .loop = o.loop});
    if (attach) attach(player, music);
    player.play();
    if (o.stats) std::fprintf(stderr, "%s\n", player.statsLine().c_str());
}
