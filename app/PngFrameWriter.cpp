#include "app/PngFrameWriter.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

PngFrameWriter::PngFrameWriter(int width, int height, PngWriter::Channels channels, int compressionLevel,
                               unsigned threads)
    : channels_(channels), level_(compressionLevel) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    // One buffer for each worker to compress, one for the caller to fill, and one queued, so a
    // worker finishing a file finds the next one waiting.
    const std::size_t slots = threads + 2;
    slots_.reserve(slots);
    free_.reserve(slots);
    queue_.resize(slots);
    for (std::size_t i = 0; i < slots; ++i) {
        slots_.push_back(std::make_unique<Slot>(width, height));
        free_.push_back(slots_.back().get());
    }
    workers_.reserve(threads);
    try {
        for (unsigned i = 0; i < threads; ++i) workers_.emplace_back(&PngFrameWriter::work, this);
    } catch (...) {
        stopWorkers();
        throw;
    }
}

PngFrameWriter::~PngFrameWriter() { stopWorkers(); }

void PngFrameWriter::stopWorkers() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    for (std::thread& worker : workers_)
        if (worker.joinable()) worker.join();
}

void PngFrameWriter::throwIfFailed() {
    if (failure_) std::rethrow_exception(failure_);
}

void PngFrameWriter::write(const std::filesystem::path& path, const Image& frame) {
    const Image& slotFrame = slots_.front()->frame;
    if (frame.width() != slotFrame.width() || frame.height() != slotFrame.height())
        throw std::invalid_argument(path.string() + ": the frame's size differs from the writer's");
    Slot* slot;
    {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [&] { return failure_ || !free_.empty(); });
        throwIfFailed();
        slot = free_.back();
        free_.pop_back();
    }
    // The slot is the caller's alone until queued, so the copy holds no lock.
    std::memcpy(slot->frame.pixels(), frame.pixels(), frame.pixelCount() * sizeof(Color));
    slot->path.assign(path.native());
    {
        std::lock_guard lock(mutex_);
        queue_[(head_ + waiting_) % queue_.size()] = slot;
        ++waiting_;
    }
    queued_.notify_one();
}

void PngFrameWriter::finish() {
    std::unique_lock lock(mutex_);
    freed_.wait(lock, [&] { return waiting_ == 0 && busy_ == 0; });
    throwIfFailed();
}

void PngFrameWriter::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [&] { return stopping_ || waiting_ > 0; });
        if (waiting_ == 0) return;
        Slot* slot = queue_[head_];
        head_ = (head_ + 1) % queue_.size();
        --waiting_;
        ++busy_;
        // After a failure the capture is over: what is still queued would only fail the same
        // way or leave files past the one missing.
        if (!failure_) {
            lock.unlock();
            std::exception_ptr failed;
            try {
                PngWriter::write(slot->path, slot->frame, channels_, level_);
            } catch (...) {
                failed = std::current_exception();
            }
            lock.lock();
            if (failed && !failure_) failure_ = failed;
        }
        --busy_;
        free_.push_back(slot);
        freed_.notify_all();
    }
}
