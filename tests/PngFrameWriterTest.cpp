#include "TestImages.h"
#include "app/PngFrameWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A frame unlike every other index's, with enough detail that compression has work to do.
void paint(Image& image, int index) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.at(x, y) = Color(x * index + y, (y * 7) ^ index, (x + y + index) / 3, index);
}

std::string frameName(int index) { return "frame-" + std::to_string(index) + ".png"; }

} // namespace

TEST(PngFrameWriter, EachFileHoldsTheBytesPngWriterGivesItsFrame) {
    const fs::path dir = TestImages::scratch("frame-writer");
    fs::create_directories(dir / "threaded");
    fs::create_directories(dir / "direct");
    constexpr int width = 61, height = 23;
    PngFrameWriter writer(width, height, PngWriter::Channels::rgba, PngWriter::fast, 2);
    // The caller's one frame is redrawn between hand-offs, as the screen's is, and there are
    // several times more frames than buffers, so buffers are reused while others compress.
    const int frames = static_cast<int>(writer.slotCount()) * 4;
    Image frame(width, height);
    for (int i = 0; i < frames; ++i) {
        paint(frame, i);
        writer.write(dir / "threaded" / frameName(i), frame);
    }
    writer.finish();

    for (int i = 0; i < frames; ++i) {
        paint(frame, i);
        PngWriter::write(dir / "direct" / frameName(i), frame, PngWriter::Channels::rgba, PngWriter::fast);
        ASSERT_EQ(fileBytes(dir / "threaded" / frameName(i)), fileBytes(dir / "direct" / frameName(i))) << i;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "threaded"), fs::directory_iterator()), frames);
}

TEST(PngFrameWriter, AFailedWriteIsThrownToTheCallerWithPngWritersMessage) {
    const fs::path dir = TestImages::scratch("frame-writer-unwritable");
    std::ofstream(dir / "a-file") << "in the way";
    Image frame(8, 4);
    std::string direct;
    try {
        PngWriter::write(dir / "a-file/frame-0.png", frame, PngWriter::Channels::rgb, PngWriter::fast);
    } catch (const std::runtime_error& e) {
        direct = e.what();
    }
    ASSERT_NE(direct, "");

    // One worker takes the frames in turn, so the first to fail is the first handed over.
    PngFrameWriter writer(8, 4, PngWriter::Channels::rgb, PngWriter::fast, 1);
    std::string thrown;
    int handedOver = 0;
    try {
        for (; handedOver < 100; ++handedOver) writer.write(dir / "a-file" / frameName(handedOver), frame);
        writer.finish();
    } catch (const std::runtime_error& e) {
        thrown = e.what();
    }
    EXPECT_EQ(thrown, direct);
    // A buffer comes back only once its frame is done with, so the hand-off waiting for the
    // first one back already knows of the failure.
    EXPECT_LE(handedOver, static_cast<int>(writer.slotCount()));
    EXPECT_THROW(writer.finish(), std::runtime_error) << "the writer stays failed";
}

TEST(PngFrameWriter, DestroyedWhileUnwindingItWritesWhatItWasGiven) {
    const fs::path dir = TestImages::scratch("frame-writer-unwinding");
    Image frame(32, 32);
    int given = 0;
    try {
        PngFrameWriter writer(32, 32, PngWriter::Channels::rgb, PngWriter::fast);
        for (; given < static_cast<int>(writer.slotCount()) * 2; ++given) {
            paint(frame, given);
            writer.write(dir / frameName(given), frame);
        }
        throw std::logic_error("a scene failed");
    } catch (const std::logic_error&) {
    }
    for (int i = 0; i < given; ++i) {
        const auto png = TestImages::readPng(dir / frameName(i));
        paint(frame, i);
        Color drawn = frame.at(5, 9);
        drawn.a = 255;
        ASSERT_EQ(png.at(5, 9), drawn) << i;
    }
}
