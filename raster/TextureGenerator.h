#pragma once

#include "raster/Image.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// Runs texture programs: sine plasmas, random squares, ripples, wave shifts, tone curves,
// contrast, blur and highlight bands, each in place on the whole bound image. Operations that
// take a seed draw from a random sequence of their own, seeded with it.
//
// Parameters that no sensible program uses and that would divide by zero or leave the
// distance tables are refused with std::invalid_argument (the decoder turns it into LoadError).
class TextureGenerator {
public:
    // Sides above this are refused: a texture is a few hundred texels across.
    static constexpr int maxSide = 4096;
    // The most work a program may ask for, in texel visits (the image itself is one, a blur pass
    // four, a plasma wave one, a square its area): a hundred times the show's costliest texture.
    // Past it a program from a bad or hostile file would keep the show from starting for hours.
    static constexpr long long maxWork = 1LL << 28;

    // Decodes and runs a ".tex" program. Throws LoadError(name, message) when the program ends
    // early, its size is out of range, it would cost more than budget texel visits or an
    // operation is refused. A smaller budget suits callers that run many untrusted programs.
    // check sees the size the header gives before anything runs (see Image::SizeCheck).
    static std::unique_ptr<Image> decode(const std::string& name, std::span<const std::uint8_t> bytes,
                                         long long budget = maxWork, const Image::SizeCheck& check = {});

    explicit TextureGenerator(Image& target);

    void plasma(Color color, int maxFreqX, int maxFreqY, int minAmp, int maxAmp, int waves, int seed);
    void squares(Color color, int count, int size, int seed);
    void ripple(int frequency, int amplitude);
    void sineShift(int shiftX, int shiftY, int maxFreqX, int maxFreqY, int waves, int seed);
    void radialTone(int radius, int inner, int outer);
    void tone(int level);
    void contrast(int pivot, int factor);
    void blur(int passes);
    void bandLight(int low, int high, int gain);

    // The fixed tables, built once for the whole program.
    static const std::int16_t* sineTable();           // 65536 entries; one period spans 65535 steps
    static const std::uint8_t* curveTable();          // [v × 256 + k]: tone curve of value v at level k
    static constexpr int squareEntries = 6400;
    static constexpr int rootEntries = 128000;

private:
    // Distance from the image's centre (remainders dropped) through the square and root tables.
    int dist(int x, int y) const;
    void requireDistanceTables(const char* operation) const;

    Image& image_;
    Color* px_;
    int W_;
    int H_;
};
