#include "app/OfflineRender.h"

#include "app/CaptureLock.h"
#include "app/PngFrameWriter.h"
#include "app/ProgressBar.h"
#include "app/Subprocess.h"
#include "platform/Interrupt.h"
#include "platform/Module.h"
#include "platform/SteppedMusic.h"
#include "platform/WavWriter.h"
#include "raster/PngWriter.h"
#include "show/Show.h"
#include "show/Still.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int frameWidth = 600;
constexpr int frameHeight = 300;

// Where a capture's frames go.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void frame(const Image& image, int index) = 0;
    // Once the last frame is handed over: returns when every frame is written, or throws why not.
    virtual void flush() {}
};

// Numbered PNG files, compressed fast and on every processor: a long capture is bound by
// writing them, far more than by drawing.
class PngFrames : public FrameSink {
public:
    explicit PngFrames(std::filesystem::path directory)
        : directory_(std::move(directory)), writer_(frameWidth, frameHeight, PngWriter::Channels::rgb, PngWriter::fast) {}
    void frame(const Image& image, int index) override {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", index);
        writer_.write(directory_ / name, image);
    }
    void flush() override { writer_.finish(); }

private:
    std::filesystem::path directory_;
    PngFrameWriter writer_;
};

// Every frame to each of several sinks: a video with its frames kept as files.
class FrameSinks : public FrameSink {
public:
    void add(std::unique_ptr<FrameSink> sink) { sinks_.push_back(std::move(sink)); }
    void frame(const Image& image, int index) override {
        for (const auto& sink : sinks_) sink->frame(image, index);
    }
    void flush() override {
        for (const auto& sink : sinks_) sink->flush();
    }

private:
    std::vector<std::unique_ptr<FrameSink>> sinks_;
};

// Raw frames piped into ffmpeg, encoded as H.264 into a silent video beside the output; the
// music joins it once the capture is over, since it is only complete then.
class VideoFrames : public FrameSink {
public:
    VideoFrames(const std::filesystem::path& video, int fps)
        : silent_(video.string() + ".partial.mp4"),
          ffmpeg_({"ffmpeg", "-y", "-loglevel", "error", "-f", "rawvideo", "-pix_fmt", "bgra", "-s",
                   std::to_string(frameWidth) + "x" + std::to_string(frameHeight), "-r", std::to_string(fps), "-i", "-",
                   "-an", "-c:v", "libx264", "-preset", "veryfast", "-crf", "16", "-pix_fmt", "yuv420p",
                   silent_.string()},
                  true) {}
    void frame(const Image& image, int) override {
        // The pixels' memory order is ffmpeg's bgra.
        if (!ffmpeg_.write(image.pixels(), image.pixelCount() * sizeof(Color)))
            throw std::runtime_error("ffmpeg stopped taking frames");
    }
    void finish(const std::filesystem::path& music, const std::filesystem::path& video) {
        if (ffmpeg_.wait() != 0) throw std::runtime_error("ffmpeg could not encode the frames");
        Subprocess mux({"ffmpeg", "-y", "-loglevel", "error", "-i", silent_.string(), "-i", music.string(), "-c:v",
                        "copy", "-c:a", "aac", "-b:a", "192k", "-shortest", "-movflags", "+faststart", video.string()},
                       false);
        const int status = mux.wait();
        std::error_code ec;
        std::filesystem::remove(silent_, ec);
        if (status != 0) throw std::runtime_error("ffmpeg could not write " + video.string());
    }

private:
    std::filesystem::path silent_;
    Subprocess ffmpeg_;
};

// Hands each frame to the sink, then moves the virtual clock and the music on by one frame's
// time; holds Escape once the music is past the last order wanted or a signal asks to stop.
class CaptureDisplay : public Display {
public:
    CaptureDisplay(const OfflineRender::CaptureOptions& o, FrameSink& sink, SteppedMusic& music, ManualTimer& timer,
                   ManualKeys& keys, ProgressBar& progress)
        : o_(o), sink_(sink), music_(music), timer_(timer), keys_(keys), progress_(progress) {}

    void present(const Image& frame) override {
        sink_.frame(frame, frames);
        ++frames;
        timer_.set(music_.startSeconds() + static_cast<double>(frames) / o_.fps);
        music_.advanceTo(timer_.seconds());
        if (music_.position() == Module::endPosition || (o_.to >= 0 && music_.order() > o_.to)) keys_.hold();
        if (o_.progress) progress_.update(frames);
    }

    int frames = 0;

private:
    const OfflineRender::CaptureOptions& o_;
    FrameSink& sink_;
    SteppedMusic& music_;
    ManualTimer& timer_;
    ManualKeys& keys_;
    ProgressBar& progress_;
};

// A file the capture makes for its own use, gone once it is done with it however it ends.
class ScratchFile {
public:
    explicit ScratchFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~ScratchFile() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove(path_, ec);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

private:
    std::filesystem::path path_;
};

// Frames left by an earlier capture, longer or at another rate, would sit among the new ones as
// if one capture had made them all.
void clearEarlierCapture(const std::filesystem::path& directory, bool overwrite) {
    std::vector<std::filesystem::path> earlier;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("frame-") && name.ends_with(".png")) earlier.push_back(entry.path());
    }
    if (!overwrite) {
        if (!earlier.empty())
            throw std::runtime_error(directory.string() +
                                     " holds the frames of an earlier capture; --overwrite replaces them");
        return;
    }
    earlier.push_back(directory / "music.wav");
    for (const auto& path : earlier) std::filesystem::remove(path);
}

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
    // A second's rendering between looks at the signal is a prompt stop.
    for (double t = music.startSeconds(); t < end && music.position() != Module::endPosition && !Interrupt::requested();) {
        t = std::min(t + 1.0, end);
        music.advanceTo(t);
    }
    WavWriter::write(o.directory / "music.wav", music.samples(), Module::sampleRate);
    if (o.progress)
        std::fprintf(stderr, "capture: %.2f s of music\n",
                     static_cast<double>(music.samples().size() / 2) / Module::sampleRate);
}

} // namespace

std::unique_ptr<Image> OfflineRender::still(int order, int row, double seconds) { return renderStill(order, row, seconds); }

OfflineRender::CaptureResult OfflineRender::capture(const CaptureOptions& o) {
    const bool intoDirectory = o.video.empty() || o.keepFrames;
    std::optional<CaptureLock> lock;
    if (intoDirectory) {
        std::filesystem::create_directories(o.directory);
        lock.emplace(o.directory);
        clearEarlierCapture(o.directory, o.overwrite);
    }
    const double end = endSeconds(o.to);
    if (o.audioOnly) {
        captureMusic(o, end);
        return {0, Interrupt::requested()};
    }

    ManualKeys keys;
    ManualTimer timer;
    // The display needs the music to step it; both are ready before the first frame.
    SteppedMusic music(Module::load("Super.xm"), o.from);
    timer.set(music.startSeconds());
    FrameSinks sinks;
    VideoFrames* video = nullptr;
    if (intoDirectory) sinks.add(std::make_unique<PngFrames>(o.directory));
    if (!o.video.empty()) {
        auto encoder = std::make_unique<VideoFrames>(o.video, o.fps);
        video = encoder.get();
        sinks.add(std::move(encoder));
    }
    ProgressBar progress("capture", std::ceil((end - music.startSeconds()) * o.fps), "frames");
    CaptureDisplay display(o, sinks, music, timer, keys, progress);
    Screen screen(frameWidth, frameHeight, display);
    DemoClock clock(music, timer, DemoClock::Start::fixedAtZero);
    Show show({screen, clock, keys});
    show.play(music);
    // A frame that could not be written is reported before anything more is, and a stopped
    // capture keeps every frame it drew.
    sinks.flush();

    // The video's music only passes through a file of its own beside the video, unless the
    // directory is to keep it.
    const std::filesystem::path wav =
        intoDirectory ? o.directory / "music.wav" : std::filesystem::path(o.video.string() + ".partial.wav");
    const ScratchFile scratch(intoDirectory ? std::filesystem::path() : wav);
    WavWriter::write(wav, music.samples(), Module::sampleRate);
    if (video) video->finish(wav, o.video);
    const bool interrupted = Interrupt::requested();
    if (o.progress) progress.finish(display.frames, interrupted ? "stopped early" : "");
    return {display.frames, interrupted};
}
