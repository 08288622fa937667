#include "TestImages.h"
#include "raster/PngWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

// Noise, flat runs, and horizontal and vertical gradients in bands, so each of the five row
// filters is the best for some row and the predictions cross every channel boundary.
void paint(Image& image) {
    const int width = image.width();
    const int height = image.height();
    std::mt19937 random(static_cast<std::uint32_t>(width * 1000 + height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto noise = static_cast<std::uint32_t>(random());
            switch (y / 3 % 4) {
            case 0: image.at(x, y) = Color(noise, noise >> 8, noise >> 16, noise >> 24); break;
            case 1: image.at(x, y) = Color(200, 10, 255, 0); break;
            case 2: image.at(x, y) = Color(x * 7, x * 3 + y, 255 - x, x); break;
            default: image.at(x, y) = Color(y * 9, 250 - y, y + (noise & 3), 255 - y * 2); break;
            }
        }
}

} // namespace

// libpng, a decoder written by others, reads back exactly the pixels written, at the capture's
// level and the kept pictures' levels, with and without alpha, on sizes down to one pixel.
TEST(PngWriter, DecodesToThePixelsWritten) {
    const fs::path dir = TestImages::scratch("png-writer");
    struct Case {
        int width;
        int height;
        PngWriter::Channels channels;
        int level;
    };
    const Case cases[] = {
        {600, 300, PngWriter::Channels::rgb, PngWriter::fast},   {600, 300, PngWriter::Channels::rgba, PngWriter::fast},
        {37, 29, PngWriter::Channels::rgb, 2},                   {37, 29, PngWriter::Channels::rgba, PngWriter::small},
        {1, 1, PngWriter::Channels::rgb, PngWriter::fast},       {1, 5, PngWriter::Channels::rgba, 12},
        {3, 1, PngWriter::Channels::rgb, PngWriter::small},
    };
    for (const Case& c : cases) {
        Image image(c.width, c.height);
        paint(image);
        const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height) +
                                 (c.channels == PngWriter::Channels::rgba ? "-rgba" : "-rgb") + "-level" +
                                 std::to_string(c.level);
        PngWriter::write(dir / (name + ".png"), image, c.channels, c.level);
        const TestImages::Png png = TestImages::readPng(dir / (name + ".png"));
        ASSERT_EQ(png.width, c.width) << name;
        ASSERT_EQ(png.height, c.height) << name;
        EXPECT_EQ(png.hasAlpha, c.channels == PngWriter::Channels::rgba) << name;
        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                Color want = image.at(x, y);
                if (c.channels == PngWriter::Channels::rgb) want.a = 255;
                const Color got = png.at(x, y);
                wrong += got.r != want.r || got.g != want.g || got.b != want.b || got.a != want.a;
            }
        EXPECT_EQ(wrong, 0) << name;
        EXPECT_EQ(PngWriter::encode(image, c.channels, c.level), PngWriter::encode(image, c.channels, c.level))
            << name << ": the same pixels, the same bytes";
    }
}

TEST(PngWriter, RefusesALevelOutsideItsRange) {
    const Image image(4, 4);
    for (const int level : {0, 13, -1})
        EXPECT_THROW(PngWriter::encode(image, PngWriter::Channels::rgb, level), std::invalid_argument) << level;
}
