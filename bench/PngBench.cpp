// What a capture waits on: the PNG writer on a typical frame of each scene, each to be read as a
// ratio to BM_Memcpy of the same run; deflate back-ends side by side on those frames; and a
// video capture through ffmpeg, in frames a second.

#include "app/OfflineRender.h"
#include "app/Subprocess.h"
#include "bench/BenchData.h"
#include "bench/BenchScenes.h"
#include "raster/PngWriter.h"

#include <benchmark/benchmark.h>
#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::vector<std::unique_ptr<Image>>& typicalFrames() {
    static const std::vector<std::unique_ptr<Image>> frames = [] {
        std::vector<std::unique_ptr<Image>> drawn;
        for (const bench::Typical p : bench::typical)
            drawn.push_back(OfflineRender::still(bench::buildShow(), p.order, p.row, bench::secondsAt(p)));
        return drawn;
    }();
    return frames;
}

void BM_PngWrite(benchmark::State& state) {
    const Image& frame = *typicalFrames()[static_cast<std::size_t>(state.range(0) - 1)];
    std::size_t size = 0;
    for (auto _ : state) {
        const Bytes file = PngWriter::encode(frame, PngWriter::Channels::rgb, PngWriter::fast);
        size = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["KB"] = static_cast<double>(size) / 1024.0;
}

// PNG scanlines in the file's byte order, each row filtered as named.
Bytes scanlines(const Image& image, bool up) {
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3;
    Bytes out((rowBytes + 1) * static_cast<std::size_t>(image.height()));
    std::uint8_t* o = out.data();
    for (int y = 0; y < image.height(); ++y) {
        *o++ = up ? 2 : 0;
        for (int x = 0; x < image.width(); ++x) {
            const Color c = image.at(x, y);
            const Color above = up && y > 0 ? image.at(x, y - 1) : Color();
            *o++ = static_cast<std::uint8_t>(c.r - above.r);
            *o++ = static_cast<std::uint8_t>(c.g - above.g);
            *o++ = static_cast<std::uint8_t>(c.b - above.b);
        }
    }
    return out;
}

std::size_t zlibDeflate(const Bytes& in, Bytes& out, int level, int strategy) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy);
    out.resize(deflateBound(&z, in.size()));
    z.next_in = const_cast<std::uint8_t*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    const std::size_t size = z.total_out;
    deflateEnd(&z);
    return size;
}

std::size_t libdeflate(const Bytes& in, Bytes& out, int level) {
    const std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> c(libdeflate_alloc_compressor(level),
                                                                                    libdeflate_free_compressor);
    out.resize(libdeflate_zlib_compress_bound(c.get(), in.size()));
    return libdeflate_zlib_compress(c.get(), in.data(), in.size(), out.data(), out.size());
}

std::size_t isal(const Bytes& in, Bytes& out, int level) {
    static Bytes levelBuffer(ISAL_DEF_LVL3_DEFAULT);
    isal_zstream s;
    isal_deflate_stateless_init(&s);
    s.level = static_cast<std::uint32_t>(level);
    s.level_buf = levelBuffer.data();
    s.level_buf_size = static_cast<std::uint32_t>(levelBuffer.size());
    s.gzip_flag = IGZIP_ZLIB;
    s.end_of_stream = 1;
    s.flush = NO_FLUSH;
    out.resize(in.size() + in.size() / 8 + 1024);
    s.next_in = const_cast<std::uint8_t*>(in.data());
    s.avail_in = static_cast<std::uint32_t>(in.size());
    s.next_out = out.data();
    s.avail_out = static_cast<std::uint32_t>(out.size());
    if (isal_deflate_stateless(&s) != COMP_OK) throw std::runtime_error("isa-l could not compress");
    return s.total_out;
}

struct Deflater {
    const char* name;
    bool up;  // rows predicted from the row above, else unfiltered
    std::function<std::size_t(const Bytes&, Bytes&)> compress;
};

// Every deflater over the same nine frames, filtering included; KB is a frame's compressed size.
void BM_Deflate(benchmark::State& state, const Deflater& d) {
    std::vector<const Image*> frames;
    for (const auto& f : typicalFrames()) frames.push_back(f.get());
    Bytes out;
    std::size_t size = 0;
    for (auto _ : state) {
        size = 0;
        for (const Image* f : frames) size += d.compress(scanlines(*f, d.up), out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["KB"] = static_cast<double>(size) / 1024.0 / static_cast<double>(frames.size());
    state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations() * frames.size()),
                                                  benchmark::Counter::kIsRate);
}

const bool deflatersRegistered = [] {
    static const Deflater deflaters[] = {
        {"zlib-1", false, [](const Bytes& i, Bytes& o) { return zlibDeflate(i, o, 1, Z_DEFAULT_STRATEGY); }},
        {"zlib-1-up", true, [](const Bytes& i, Bytes& o) { return zlibDeflate(i, o, 1, Z_DEFAULT_STRATEGY); }},
        {"zlib-1-rle", false, [](const Bytes& i, Bytes& o) { return zlibDeflate(i, o, 1, Z_RLE); }},
        {"zlib-1-rle-up", true, [](const Bytes& i, Bytes& o) { return zlibDeflate(i, o, 1, Z_RLE); }},
        {"libdeflate-1", false, [](const Bytes& i, Bytes& o) { return libdeflate(i, o, 1); }},
        {"libdeflate-1-up", true, [](const Bytes& i, Bytes& o) { return libdeflate(i, o, 1); }},
        {"isal-0-up", true, [](const Bytes& i, Bytes& o) { return isal(i, o, 0); }},
        {"isal-1", false, [](const Bytes& i, Bytes& o) { return isal(i, o, 1); }},
        {"isal-1-up", true, [](const Bytes& i, Bytes& o) { return isal(i, o, 1); }},
    };
    for (const Deflater& d : deflaters)
        benchmark::RegisterBenchmark((std::string("BM_Deflate/") + d.name).c_str(), BM_Deflate, d)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

// A capture of the farewell (7.68 s of show at 60 frames a second) into an H.264 video: drawing,
// the pipe, ffmpeg's encoding and muxing, all as the program does them.
void BM_VideoCapture(benchmark::State& state) {
    if (!Subprocess::available("ffmpeg")) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    const std::filesystem::path video = std::filesystem::temp_directory_path() / "tindrel-bench-video.mp4";
    OfflineRender::CaptureOptions o;
    o.video = video;
    o.progress = false;
    ShowPlan show = bench::buildShow();
    show.range = {.from = 36, .to = 36};
    std::int64_t frames = 0;
    for (auto _ : state) frames += OfflineRender::capture(show, o).frames;
    std::error_code ec;
    std::filesystem::remove(video, ec);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_PngWrite)->DenseRange(1, 9);
BENCHMARK(BM_VideoCapture)->Unit(benchmark::kMillisecond)->UseRealTime();
