#pragma once

#include "platform/Module.h"
#include "platform/Music.h"

#include <atomic>
#include <memory>
#include <vector>

// The module played through the sound card at 44100 Hz. The device opens at construction and
// plays silence until play(); the module then renders on SDL's audio thread, which publishes
// the position of what it last handed over. That is what is being heard, give or take one
// short buffer (512 frames, 11.6 ms, a tenth of a row).
//
// With no sound card the module still renders at real-time pace on SDL's dummy driver, so the
// show keeps its timing; one line on standard error says so, unless the music starts muted.
// Muted, the module renders all the same and the card is handed silence.
class LiveMusic : public SteerableMusic {
public:
    static constexpr int bufferFrames = 512;

    // Takes the loaded module, at its first order; mute starts it muted.
    explicit LiveMusic(std::unique_ptr<Module> module, bool mute = false);
    ~LiveMusic() override;
    LiveMusic(const LiveMusic&) = delete;
    LiveMusic& operator=(const LiveMusic&) = delete;

    void play() override;
    std::uint32_t position() override { return position_.load(std::memory_order_acquire); }
    double seek(int order, int row) override;
    void setPaused(bool paused) override { paused_.store(paused, std::memory_order_release); }
    void setMuted(bool muted) override { muted_.store(muted, std::memory_order_release); }
    bool muted() const override { return muted_.load(std::memory_order_acquire); }
    void setVolume(int percent) override;
    int volume() const override { return volume_.load(std::memory_order_acquire); }
        // Plays another module from here on, from its first order, paused or muted as before.
    void replace(std::unique_ptr<Module> module);

private:
    static void fill(void* self, unsigned char* stream, int bytes);

    std::unique_ptr<Module> module_;
    std::atomic<bool> playing_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> muted_{false};
    std::atomic<int> volume_{100};
    std::atomic<float> gain_{1.0f};
    std::atomic<std::uint32_t> position_;
    unsigned device_ = 0;
};
