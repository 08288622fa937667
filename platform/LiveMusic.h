#pragma once

#include "platform/Module.h"
#include "platform/Music.h"

#include <atomic>
#include <memory>

// The module played through the sound card at 44100 Hz. The device opens at construction and
// plays silence until play(); the module then renders on SDL's audio thread, which publishes
// the position of what it last handed over. That is what is being heard, give or take one
// short buffer (512 frames, 11.6 ms, a tenth of a row).
//
// With no sound card the module still renders at real-time pace on SDL's dummy driver, so the
// show keeps its timing; one line on standard error says so. Muted output does the same.
class LiveMusic : public Music {
public:
    static constexpr int bufferFrames = 512;

    // Takes the loaded module; startOrder > 0 starts the music there instead of at the top.
    explicit LiveMusic(std::unique_ptr<Module> module, int startOrder = 0, bool mute = false);
    ~LiveMusic() override;
    LiveMusic(const LiveMusic&) = delete;
    LiveMusic& operator=(const LiveMusic&) = delete;

    void play() override;
    // Back to the first order, playing: a looping show starts over.
    void restart();
    std::uint32_t position() override { return position_.load(std::memory_order_acquire); }

private:
    static void fill(void* self, unsigned char* stream, int bytes);

    std::unique_ptr<Module> module_;
    std::atomic<bool> playing_{false};
    std::atomic<std::uint32_t> position_;
    unsigned device_ = 0;
};
