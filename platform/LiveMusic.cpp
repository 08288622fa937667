#include "platform/LiveMusic.h"

#include "platform/QuietStderr.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {
unsigned openDevice(void (*callback)(void*, Uint8*, int), void* self) {
    SDL_AudioSpec want{};
    want.freq = Module::sampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = LiveMusic::bufferFrames;  // a power of two: the dummy driver runs slow on others
    want.callback = callback;
    want.userdata = self;
    return SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
}
} // namespace

LiveMusic::LiveMusic(std::unique_ptr<Module> module, bool mute) : module_(std::move(module)) {
    position_.store(module_->position());
    muted_.store(mute);

    {
        // ALSA prints a page of complaints when there is no card; the one line below says it all.
        QuietStderr quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            device_ = openDevice(fill, this);
            if (device_ == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    if (device_ == 0) {
        if (!mute) std::fputs("tindrel: no audio device; playing without sound\n", stderr);
        // The dummy driver calls back at real-time pace, so the position keeps moving.
        // Over any driver the environment names: that one has just failed.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) device_ = openDevice(fill, this);
        if (device_ == 0) throw std::runtime_error(std::string("cannot start the music clock: ") + SDL_GetError());
    }
    SDL_PauseAudioDevice(device_, 0);
}

LiveMusic::~LiveMusic() {
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void LiveMusic::play() { playing_.store(true, std::memory_order_release); }

double LiveMusic::seek(int order, int row) {
    // The audio thread renders from the module: hold it off while the module moves.
    SDL_LockAudioDevice(device_);
    module_->seek(order, row);
    const double seconds = module_->ended() ? module_->durationSeconds() : module_->positionSeconds();
    position_.store(module_->position(), std::memory_order_release);
    SDL_UnlockAudioDevice(device_);
    return seconds;
}

void LiveMusic::replace(std::unique_ptr<Module> module) {
    SDL_LockAudioDevice(device_);
    module_ = std::move(module);
    position_.store(module_->position(), std::memory_order_release);
    SDL_UnlockAudioDevice(device_);
}

void LiveMusic::setVolume(int percent) {
    percent = std::clamp(percent, 0, 100);
    volume_.store(percent, std::memory_order_release);
    gain_.store(gainFor(percent), std::memory_order_release);
}

void LiveMusic::fill(void* userdata, unsigned char* stream, int bytes) {
    auto& self = *static_cast<LiveMusic*>(userdata);
    const auto frames = static_cast<std::size_t>(bytes) / (2 * sizeof(float));
    if (!self.playing_.load(std::memory_order_acquire) || self.paused_.load(std::memory_order_acquire)) {
        std::memset(stream, 0, static_cast<std::size_t>(bytes));
        return;
    }
    // The previous buffer is what starts sounding now; its end is the position to report.
    self.position_.store(self.module_->position(), std::memory_order_release);
    float* out = reinterpret_cast<float*>(stream);
    self.module_->render(out, frames);
    if (self.module_->ended()) self.position_.store(Module::endPosition, std::memory_order_release);
    if (self.muted_.load(std::memory_order_acquire)) {
        std::memset(stream, 0, static_cast<std::size_t>(bytes));
    } else if (const float gain = self.gain_.load(std::memory_order_acquire); gain != 1.0f) {
        for (std::size_t i = 0; i < 2 * frames; ++i) out[i] *= gain;
    }
}
