#include "app/OfflineRender.h"

#include "app/Show.h"
#include "platform/FixedMusic.h"
#include "platform/Module.h"
#include "platform/SteppedMusic.h"
#include "platform/WavWriter.h"
#include "raster/PngWriter.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

constexpr int frameWidth = 600;
constexpr int frameHeight = 300;

// Music that walks row by row, 64 rows an order, from where it starts to the still's position,
// and stays there.
class WalkingMusic : public Music {
public:
    WalkingMusic(int order, int row) : targetOrder_(order), targetRow_(row) {}
    void startAt(int order) {
        order_ = order;
        row_ = 0;
    }
    void play() override {}
    std::uint32_t position() override { return FixedMusic::pack(order_, row_); }
    bool arrived() const { return order_ >= targetOrder_ && row_ >= targetRow_; }
    void step() {
        if (order_ < targetOrder_) {
            if (++row_ == 64) row_ = 0, ++order_;
        } else if (row_ < targetRow_) {
            ++row_;
        }
    }

private:
    int order_ = 0;
    int row_ = 0;
    int targetOrder_;
    int targetRow_;
};

// Lets the music walk to the still's position without drawing, keeps the first frame drawn
// there, then holds Escape so every later loop ends before drawing.
class StillDisplay : public Display {
public:
    StillDisplay(WalkingMusic& music, ManualKeys& keys) : music_(music), keys_(keys) {}
    bool wantsFrame() override { return music_.arrived(); }
    void skipFrame() override { music_.step(); }
    void present(const Image& frame) override {
        if (!kept) {
            kept = std::make_unique<Image>(frame.width, frame.height);
            kept->blit(0, 0, frame);
        }
        keys_.hold();
    }
    std::unique_ptr<Image> kept;

private:
    WalkingMusic& music_;
    ManualKeys& keys_;
};

// Writes each frame, then moves the virtual clock and the music on by one frame's time.
class CaptureDisplay : public Display {
public:
    CaptureDisplay(const OfflineRender::CaptureOptions& o, SteppedMusic& music, ManualTimer& timer, ManualKeys& keys,
                   double endSeconds)
        : o_(o), music_(music), timer_(timer), keys_(keys), endSeconds_(endSeconds),
          started_(std::chrono::steady_clock::now()) {}

    void present(const Image& frame) override {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frames);
        PngWriter::write(o_.directory / name, frame);
        ++frames;
        timer_.set(music_.startSeconds() + static_cast<double>(frames) / o_.fps);
        music_.advanceTo(timer_.seconds());
        if (music_.position() == Module::endPosition || (o_.to >= 0 && music_.order() > o_.to)) keys_.hold();
        if (o_.progress) report(false);
    }

    // A terminal sees the line rewritten as frames go by; a log gets only the final line.
    void report(bool last) {
        const auto now = std::chrono::steady_clock::now();
        if (!last && (!isatty(STDERR_FILENO) || now - lastReport_ < std::chrono::milliseconds(200))) return;
        lastReport_ = now;
        const double elapsed = std::chrono::duration<double>(now - started_).count();
        const double fps = elapsed > 0 ? frames / elapsed : 0.0;
        const double total = (endSeconds_ - music_.startSeconds()) * o_.fps;
        std::fprintf(stderr, "\rcapture: %d of about %.0f frames, %.1f frames/s, order %d row %d   ", frames,
                     total, fps, music_.order() & 0xFFFF, music_.row() & 0xFFFF);
        if (last) std::fputc('\n', stderr);
        std::fflush(stderr);
    }

    int frames = 0;

private:
    const OfflineRender::CaptureOptions& o_;
    SteppedMusic& music_;
    ManualTimer& timer_;
    ManualKeys& keys_;
    double endSeconds_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastReport_{};
};

// Where the render stops, in show seconds, for the progress report's estimate.
double endSeconds(int to) {
    auto probe = Module::load("Super.xm");
    if (to < 0 || to + 1 >= probe->orderCount()) return probe->durationSeconds();
    probe->seekOrder(to + 1);
    return probe->positionSeconds();
}

// The music on its own, stepped as a capture steps it so the sound is the same, but in whole
// seconds: a listening check of the full song takes moments instead of a scene render.
void captureMusic(const OfflineRender::CaptureOptions& o, double end) {
    SteppedMusic music(Module::load("Super.xm"), o.from);
    music.play();
    for (double t = music.startSeconds(); t < end && music.position() != Module::endPosition;) {
        t = std::min(t + 1.0, end);
        music.advanceTo(t);
    }
    WavWriter::write(o.directory / "music.wav", music.samples(), Module::sampleRate);
    if (o.progress)
        std::fprintf(stderr, "capture: %.2f s of music\n",
                     static_cast<double>(music.samples().size() / 2) / Module::sampleRate);
}

} // namespace

std::unique_ptr<Image> OfflineRender::still(int order, int row, double seconds) {
    ManualKeys keys;
    WalkingMusic music(order, row);
    StillDisplay display(music, keys);
    Screen screen(frameWidth, frameHeight, display);
    ManualTimer timer(seconds);
    DemoClock clock(music, timer, DemoClock::Start::fixedAtZero);
    Show show(screen, clock, keys);
    // The walk starts where an uninterrupted play enters the scene playing at that order, so
    // the scene's phases are passed as they would be.
    music.startAt(show.sceneStart(order));
    show.play(music);
    return std::move(display.kept);
}

int OfflineRender::capture(const CaptureOptions& o) {
    std::filesystem::create_directories(o.directory);
    const double end = endSeconds(o.to);
    if (o.audioOnly) {
        captureMusic(o, end);
        return 0;
    }

    ManualKeys keys;
    ManualTimer timer;
    // The display needs the music to step it; both are ready before the first frame.
    SteppedMusic music(Module::load("Super.xm"), o.from);
    timer.set(music.startSeconds());
    CaptureDisplay display(o, music, timer, keys, end);
    Screen screen(frameWidth, frameHeight, display);
    DemoClock clock(music, timer, DemoClock::Start::fixedAtZero);
    Show show(screen, clock, keys);
    show.play(music);

    WavWriter::write(o.directory / "music.wav", music.samples(), Module::sampleRate);
    if (o.progress) display.report(true);
    return display.frames;
}
