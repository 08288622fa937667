#pragma once

#include "raster/Color.h"
#include "raster/SystemArray.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// A row-major block of pixels with the clipped whole-image operations scenes compose with.
// Pixel (x, y) is element y × width + x; rows follow each other with no padding.
//
// Every blit clips the source against this image (negative positions cut the source's left or
// top away, nothing wraps) and never reads outside either image. Sources are never this image.
class DataFolder;

class Image {
public:
    Image(int width, int height);
    // For decoders that write every pixel before any is read: the memory is not cleared first.
    struct ForOverwrite {};
    Image(int width, int height, ForOverwrite);

    // Given a picture's width and height, refuses it with std::invalid_argument, whose text
    // becomes the LoadError's message.
    using SizeCheck = std::function<void(int width, int height)>;

    // Loads a picture from the data folder, choosing the decoder by the name's last three
    // letters in any case ("pcx", "tex"). Throws LoadError with the name as passed and one of
    // "Could not open file", "Not a supported image file", "Error reading from file" (the last
    // also for a file over AssetFile::maxBytes). A texture's size is checked before its program
    // runs, a picture's after decoding.
    static std::unique_ptr<Image> load(const DataFolder& data, const std::string& fileName, const SizeCheck& check = {});
    // The same on bytes already in memory; name only picks the decoder and labels errors.
    static std::unique_ptr<Image> decode(const std::string& name, std::span<const std::uint8_t> bytes,
                                         const SizeCheck& check = {});

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    Color* pixels() { return buffer; }
    const Color* pixels() const { return buffer; }
    Color& at(int x, int y) { return buffer[static_cast<std::size_t>(y) * width_ + x]; }
    Color at(int x, int y) const { return buffer[static_cast<std::size_t>(y) * width_ + x]; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t pixelCount() const { return static_cast<std::size_t>(width_) * height_; }

    void blit(int x, int y, const Image& src);
    // Skips source pixels whose red, green and blue equal the key's (alpha is not compared).
    void blitKeyed(int x, int y, const Image& src, Color key);
    void blitAdd(int x, int y, const Image& src);
    // Adds src scaled by the low 8 bits of level.
    void blitAddScaled(int x, int y, const Image& src, int level);
    // Moves every byte, alpha included, toward target: 0 keeps the image, 1 gives target.
    // The weights are 8.8 fixed point kept in 16 bits, so fractions outside 0..1 wrap
    // (1.0625 turns 255 faded toward 0 into 240): callers rely on that look.
    void fadeTo(Color target, float fraction);
    // Fills this image with src's rows rotated up by offset (a floored modulo, so negative
    // offsets scroll down). src is read as rows of this image's width; x other than 0 does
    // nothing, and so does a src holding fewer pixels than this image.
    void blitWrapRows(int x, int offset, const Image& src);

private:
    void allocate(bool cleared);

    // Fixed at construction: kernels and callers size their loops and scratch from them once.
    int width_;
    int height_;
    // Zeroed by calloc: an image costs nothing until drawn into, and images that wait for a later
    // scene stay free.
    SystemArray<Color> storage;
    Color* buffer = nullptr;
};
