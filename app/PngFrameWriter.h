#pragma once

#include "raster/Image.h"
#include "raster/PngWriter.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// PNG files of a stream of same-sized frames, compressed on worker threads while the caller
// draws the next frame: compression, not drawing, is what bounds a long capture. Each file's
// bytes are exactly those PngWriter::write gives for its frame; only the order in which the
// files appear differs.
//
// A fixed set of frame buffers is recycled, so handing a frame over costs one copy and no
// allocation, and a caller that draws faster than the workers compress waits instead of
// queueing without bound.
class PngFrameWriter {
public:
    // threads 0 means one a processor.
    PngFrameWriter(int width, int height, PngWriter::Channels channels, int compressionLevel, unsigned threads = 0);
    // Writes whatever is still queued (unless a write has failed) and joins the workers; never
    // throws, so it is safe while an exception unwinds.
    ~PngFrameWriter();

    PngFrameWriter(const PngFrameWriter&) = delete;
    PngFrameWriter& operator=(const PngFrameWriter&) = delete;

    // Copies the frame and queues it for path, waiting while every buffer is in use. Throws,
    // here on the caller's thread, the first error a worker met (PngWriter's std::runtime_error
    // naming its path); once one has, no further file is started. Throws std::invalid_argument for
    // a frame of another size.
    void write(const std::filesystem::path& path, const Image& frame);
    // Returns once every frame handed over is on disk; throws as write does.
    void finish();

    std::size_t threadCount() const { return workers_.size(); }
    std::size_t slotCount() const { return slots_.size(); }

private:
    struct Slot {
        Slot(int width, int height) : frame(width, height) {}
        Image frame;
        std::string path;
    };

    void work();
    void stopWorkers();
    void throwIfFailed();

    const PngWriter::Channels channels_;
    const int level_;
    std::vector<std::unique_ptr<Slot>> slots_;

    std::mutex mutex_;
    std::condition_variable queued_;  // workers wait here for frames
    std::condition_variable freed_;   // the caller waits here for a buffer, or for the end
    std::vector<Slot*> free_;
    // A ring as long as slots_: a queue that never allocates.
    std::vector<Slot*> queue_;
    std::size_t head_ = 0;
    std::size_t waiting_ = 0;
    std::size_t busy_ = 0;
    bool stopping_ = false;
    std::exception_ptr failure_;

    std::vector<std::thread> workers_;
};
