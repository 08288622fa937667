#include "app/OfflineRender.h"

#include "app/CaptureFolder.h"
#include "app/CaptureLock.h"
#include "app/PngFrameWriter.h"
#include "app/ProgressBar.h"
#include "app/Subprocess.h"
#include "platform/Interrupt.h"
#include "platform/Module.h"
#include "platform/SteppedMusic.h"
#include "platform/WavWriter.h"
#include "raster/DataFolder.h"
#include "raster/FrameSize.h"
#include "raster/OutputFile.h"
#include "raster/PngWriter.h"
#include "show/Show.h"
#include "show/ShowPlan.h"
#include "show/Still.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

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

// Plays the music from its start point to end, a second at a time: after each, onSecond says
// whether to go on.
void stepMusic(SteppedMusic& music, double end, const std::function<bool()>& onSecond) {
    music.play();
    for (double t = music.startSeconds(); t < end && music.position() != Module::endPosition;) {
        t = std::min(t + 1.0, end);
        music.advanceTo(t);
        if (!onSecond()) break;
    }
}

struct VideoCodec {
    const char* name;
    std::vector<std::string> encoder;  // ffmpeg's options for it
};

// Each at a quality at which the frames look as drawn, about 42 dB against them (the chroma's
// halved resolution aside), and as fast as that allows. H.264's fastest preset at CRF 18 matches
// the superfast one's CRF 16 in quality for half its time, in files a third larger: an export
// several times faster than the show, even with one processor to spare. The encoders find the
// processors themselves, but for VP9's.
std::vector<VideoCodec> videoCodecTable() {
    const std::string threads = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
    return {
        {"h264", {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "18"}},
        {"vp9",
         {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-row-mt", "1", "-threads", threads, "-crf",
          "24", "-b:v", "0"}},
        {"av1", {"-c:v", "libsvtav1", "-preset", "12", "-crf", "24"}},
    };
}

// The music for the video, rendered and written to ffmpeg on a thread of its own, stepped as a
// capture steps it so the sound is the same, but in whole seconds. It never waits on the frames:
// ffmpeg reads its two inputs in an order of its own, and may want seconds of sound before it
// takes a frame.
class SoundPipe {
public:
    SoundPipe(Subprocess& ffmpeg, const ShowPlan& show, double end)
        : ffmpeg_(ffmpeg), thread_(&SoundPipe::run, this, std::cref(show), end) {}
    ~SoundPipe() { finish(); }
    SoundPipe(const SoundPipe&) = delete;
    SoundPipe& operator=(const SoundPipe&) = delete;

    // Returns once the music is written, or ffmpeg has stopped taking it.
    void finish() {
        if (thread_.joinable()) thread_.join();
    }

private:
    void run(const ShowPlan& show, double end) {
        try {
            SteppedMusic music(Module::load(show.data, show.file.music), show.shape, show.range.from, show.range.fromRow);
            std::size_t written = 0;
            stepMusic(music, end, [&] {
                const std::vector<std::int16_t>& samples = music.samples();
                // A stopped ffmpeg is the frames' writer's to report.
                if (!ffmpeg_.writeSecond(samples.data() + written, (samples.size() - written) * sizeof(std::int16_t)))
                    return false;
                written = samples.size();
                return true;
            });
        } catch (...) {
            // The music loaded once already for the frames; should it fail now, the video's sound
            // ends there, and ffmpeg's -shortest ends the video with it.
        }
        ffmpeg_.closeSecond();
    }

    Subprocess& ffmpeg_;
    std::thread thread_;
};

// A file of ffmpeg's own for the video's metadata: the show's title and author, and a chapter
// for each scene the capture shows, timed from the capture's start, so a media player's chapter
// keys move between the scenes. Made in the temporary folder and removed with this.
class Chapters {
public:
    Chapters(const ShowPlan& show, double start, double end) {
        char name[] = "/tmp/tindrel-chapters-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0) throw std::runtime_error("cannot make a file for the video's chapters in /tmp");
        ::close(fd);
        path_ = name;
        std::ofstream out(path_);
        out << ";FFMETADATA1\ntitle=" << escaped(show.file.title) << "\nartist=" << escaped(show.file.author) << '\n';
        const auto rows = show.timetable().rows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const double from = std::max(start, show.shape.secondsAt(rows[i].orders.first, 0));
            const double to = std::min(end, show.shape.secondsAt(rows[i].orders.last + 1, 0));
            if (to <= from) continue;
            out << "\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=" << std::llround((from - start) * 1000.0)
                << "\nEND=" << std::llround((to - start) * 1000.0) << "\ntitle=" << escaped(rows[i].title) << '\n';
        }
        if (!out.flush()) throw std::runtime_error("cannot write the video's chapters in /tmp");
    }
    ~Chapters() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    Chapters(const Chapters&) = delete;
    Chapters& operator=(const Chapters&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    // The metadata file's own characters stand for themselves behind a backslash.
    static std::string escaped(const std::string& text) {
        std::string out;
        for (const char c : text) {
            if (c == '=' || c == ';' || c == '#' || c == '\\' || c == '\n') out += '\\';
            out += c;
        }
        return out;
    }
    std::filesystem::path path_;
};

std::vector<std::string> videoCommand(const std::filesystem::path& video, int fps, const std::string& codecName,
                                      int scale, const std::filesystem::path& chapters) {
    const auto codecs = videoCodecTable();
    const auto codec = std::find_if(codecs.begin(), codecs.end(), [&](const VideoCodec& c) { return codecName == c.name; });
    if (codec == codecs.end()) throw std::invalid_argument("no video codec " + codecName);
    std::vector<std::string> args = {"ffmpeg", "-y", "-loglevel", "error",
                                     // The pixels' memory order is ffmpeg's bgra.
                                     "-f", "rawvideo", "-pix_fmt", "bgra", "-s",
                                     std::to_string(frameWidth) + "x" + std::to_string(frameHeight), "-r",
                                     std::to_string(fps), "-i", "-",
                                     "-f", "s16le", "-ar", std::to_string(Module::sampleRate), "-ac", "2", "-i", "pipe:3",
                                     "-f", "ffmetadata", "-i", chapters.string(),
                                     "-map", "0:v", "-map", "1:a", "-map_metadata", "2", "-map_chapters", "2"};
    // Each pixel as a block of whole pixels, as pixel art goes to video sites: the encoder's own
    // scaler at nearest sampling adds no blur, and costs less than sending it bigger frames.
    if (scale > 1) {
        const std::string n = std::to_string(scale);
        args.insert(args.end(), {"-vf", "scale=iw*" + n + ":ih*" + n + ":flags=neighbor"});
    }
    args.insert(args.end(), codec->encoder.begin(), codec->encoder.end());
    args.insert(args.end(), {"-pix_fmt", "yuv420p", "-b:a", "192k", "-shortest"});
    if (OfflineRender::isWebm(video)) {
        args.insert(args.end(), {"-c:a", "libopus"});
    } else {
        // ffmpeg's own AAC encoder searches hard by default, at a fifth of the H.264 encoding's
        // cost; its fast search sounds the same at this rate.
        args.insert(args.end(), {"-c:a", "aac", "-aac_coder", "fast", "-movflags", "+faststart"});
    }
    args.push_back(video.string());
    return args;
}

// Raw frames piped into ffmpeg with the music beside them, encoded and muxed as they come:
// nothing waits for the capture's end but the last frames' encoding. ffmpeg writes beside the
// video under a name of its own, renamed over it once complete, so a failed or concurrent export
// never leaves half a video under the name (a symlink's target is the file replaced).
class VideoFrames : public FrameSink {
public:
    VideoFrames(const std::filesystem::path& video, int fps, const std::string& codec, int scale, const ShowPlan& show,
                double start, double end)
        : video_(video), target_(OutputFile::replaced(video, "the video")), aside_(asideOf(target_)),
          chapters_(show, start, end),
          // SVT-AV1 prints its settings unasked.
          ffmpeg_(videoCommand(aside_, fps, codec, scale, chapters_.path()), true, true, {"SVT_LOG=1"}),
          sound_(ffmpeg_, show, end) {}
    // Unfinished, the video is not kept.
    ~VideoFrames() override {
        if (finished_) return;
        stop();
        std::error_code ec;
        if (aside_ != target_) std::filesystem::remove(aside_, ec);
    }
    void frame(const Image& image, int) override {
        if (!ffmpeg_.write(image.pixels(), image.pixelCount() * sizeof(Color)))
            throw std::runtime_error("ffmpeg stopped taking frames");
    }
    void finish() {
        finished_ = true;
        std::error_code ec;
        if (stop() != 0) {
            if (aside_ != target_) std::filesystem::remove(aside_, ec);
            throw std::runtime_error("ffmpeg could not write " + video_.string());
        }
        if (aside_ == target_) return;
        std::filesystem::rename(aside_, target_, ec);
        if (ec) {
            const std::error_code renameError = ec;
            std::filesystem::remove(aside_, ec);
            throw std::runtime_error(video_.string() + ": cannot write the video (" + renameError.message() + ")");
        }
    }

private:
    // The frames' end is the video's (-shortest), and lets ffmpeg stop, so the sound, which runs
    // ahead of them, cannot wait on it for its last write. ffmpeg's exit status.
    int stop() {
        ffmpeg_.closeInput();
        sound_.finish();
        return ffmpeg_.wait();
    }

    // The extension stays last: it is how ffmpeg tells the container. A device or a FIFO is
    // written in place, as OutputFile writes one: nothing can be renamed over it, and no file is
    // made beside it.
    static std::filesystem::path asideOf(const std::filesystem::path& target) {
        std::error_code ec;
        const auto status = std::filesystem::status(target, ec);
        if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return target;
        std::filesystem::path aside = target;
        aside.replace_filename(target.stem().string() + ".partial-" + std::to_string(::getpid()) +
                               target.extension().string());
        return aside;
    }

    std::filesystem::path video_;
    std::filesystem::path target_;
    std::filesystem::path aside_;
    Chapters chapters_;
    Subprocess ffmpeg_;
    SoundPipe sound_;
    bool finished_ = false;
};

// Hands each frame to the sink, then moves the virtual clock and the music on by one frame's
// time; past the last order wanted, the capture is over.
class CaptureDisplay : public Display {
public:
    CaptureDisplay(const OfflineRender::CaptureOptions& o, const PlayRange& range, FrameSink& sink, SteppedMusic& music,
                   ManualTimer& timer, ProgressBar& progress)
        : o_(o), range_(range), sink_(sink), music_(music), timer_(timer), progress_(progress) {}

    void present(const Image& frame) override {
        sink_.frame(frame, frames);
        ++frames;
        timer_.set(music_.startSeconds() + static_cast<double>(frames) / o_.fps);
        music_.advanceTo(timer_.seconds());
        past = range_.past(music_.position());
        if (o_.progress) progress_.update(frames);
    }

    int frames = 0;
    bool past = false;

private:
    const OfflineRender::CaptureOptions& o_;
    const PlayRange& range_;
    FrameSink& sink_;
    SteppedMusic& music_;
    ManualTimer& timer_;
    ProgressBar& progress_;
};

// Where the render stops, in show seconds.
double endSeconds(const ShowPlan& show) {
    const MusicShape& shape = show.shape;
    const PlayRange& r = show.range;
    if (r.to < 0) return shape.endSeconds();
    if (r.toRow < 0 || r.toRow + 1 >= shape.rowsIn(r.to)) return shape.secondsAt(r.to + 1, 0);
    return shape.secondsAt(r.to, r.toRow + 1);
}

// The music on its own, stepped as a capture steps it so the sound is the same, but in whole
// seconds: a listening check of the full song takes moments instead of a scene render.
void captureMusic(const ShowPlan& show, const OfflineRender::CaptureOptions& o, double end) {
    SteppedMusic music(Module::load(show.data, show.file.music), show.shape, show.range.from, show.range.fromRow);
    // A second's rendering between looks at the signal is a prompt stop.
    stepMusic(music, end, [] { return !Interrupt::requested(); });
    WavWriter::write(o.directory / "music.wav", music.samples(), Module::sampleRate);
    if (o.progress)
        std::fprintf(stderr, "capture: %.2f s of music\n",
                     static_cast<double>(music.samples().size() / 2) / Module::sampleRate);
}

} // namespace

std::unique_ptr<Image> OfflineRender::still(const ShowPlan& show, int order, int row, double seconds) {
    return renderStill(show, order, row, seconds);
}

OfflineRender::CaptureResult OfflineRender::capture(const ShowPlan& show, const CaptureOptions& o) {
    const bool intoDirectory = o.video.empty() || o.keepFrames;
    std::error_code ec;
    if (!o.video.empty() && !o.overwrite && std::filesystem::exists(o.video, ec))
        throw std::runtime_error(o.video.string() + " exists; --overwrite replaces it");
    std::optional<CaptureLock> lock;
    if (intoDirectory) {
        std::filesystem::create_directories(o.directory);
        lock.emplace(o.directory);
        // Frames left by an earlier capture, longer or at another rate, would sit among the new
        // ones as if one capture had made them all.
        CaptureFolder::clearEarlier(o.directory, o.overwrite);
    }
    const double end = endSeconds(show);
    if (o.audioOnly) {
        captureMusic(show, o, end);
        return {0, Interrupt::requested()};
    }

    ManualKeys keys;
    ManualTimer timer;
    // The display needs the music to step it; both are ready before the first frame.
    SteppedMusic music(Module::load(show.data, show.file.music), show.shape, show.range.from, show.range.fromRow);
    timer.set(music.startSeconds());
    FrameSinks sinks;
    VideoFrames* video = nullptr;
    if (intoDirectory) sinks.add(std::make_unique<PngFrames>(o.directory));
    if (!o.video.empty()) {
        auto encoder = std::make_unique<VideoFrames>(o.video, o.fps, o.videoCodec, std::clamp(o.videoScale, 1, 8), show,
                                                     music.startSeconds(), end);
        video = encoder.get();
        sinks.add(std::move(encoder));
    }
    ProgressBar progress("capture", std::ceil((end - music.startSeconds()) * o.fps), "frames");
    CaptureDisplay display(o, show.range, sinks, music, timer, progress);
    Screen screen(frameWidth, frameHeight, display);
    DemoClock clock(music, timer, DemoClock::Start::fixedAtZero);
    // Every scene from the first: those before the range end at once, as they would live.
    Show scenes({screen, clock, keys, show.data, show.viewing}, show.timetable().rows());
    music.play();
    // A signal stops the capture as Escape held would: no scene draws another frame.
    while (!display.past && scenes.step() == Show::Step::drawn) {
    }
    // A frame that could not be written is reported before anything more is, and a stopped
    // capture keeps every frame it drew.
    sinks.flush();

    if (intoDirectory) WavWriter::write(o.directory / "music.wav", music.samples(), Module::sampleRate);
    if (video) video->finish();
    const bool interrupted = Interrupt::requested();
    if (o.progress) progress.finish(display.frames, interrupted ? "stopped early" : "");
    return {display.frames, interrupted};
}

std::vector<std::string> OfflineRender::videoCodecs() {
    std::vector<std::string> names;
    for (const VideoCodec& codec : videoCodecTable()) names.emplace_back(codec.name);
    return names;
}

bool OfflineRender::isWebm(const std::filesystem::path& video) {
    std::string extension = video.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".webm";
}
