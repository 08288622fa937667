#include "TestImages.h"
#include "raster/DataFolder.h"
#include "raster/Image.h"
#include "raster/LoadError.h"
#include "tools/PcxWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

// Palette entry i is (i, 255 - i, i / 2), so every index is recognisable in the output.
Color entry(int i) { return Color(i, 255 - i, i / 2, 0); }

struct PcxFile {
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int version = 5, bits = 8, bytesPerLine = 0;
    std::vector<std::uint8_t> data;
    int marker = 12;

    std::vector<std::uint8_t> bytes() const {
        std::vector<std::uint8_t> b(128, 0);
        auto put = [&b](std::size_t at, int v) {
            b[at] = static_cast<std::uint8_t>(v);
            b[at + 1] = static_cast<std::uint8_t>(v >> 8);
        };
        b[0] = 10;
        b[1] = static_cast<std::uint8_t>(version);
        b[2] = 1;
        b[3] = static_cast<std::uint8_t>(bits);
        put(4, xMin);
        put(6, yMin);
        put(8, xMax);
        put(10, yMax);
        b[65] = 1;
        put(66, bytesPerLine);
        b.insert(b.end(), data.begin(), data.end());
        b.push_back(static_cast<std::uint8_t>(marker));
        for (int i = 0; i < 256; ++i) {
            const Color c = entry(i);
            b.insert(b.end(), {c.r, c.g, c.b});
        }
        return b;
    }
};

std::vector<int> indicesOf(const Image& img) {
    std::vector<int> out;
    for (Color c : TestImages::pixelsOf(img)) out.push_back(c.r);
    return out;
}

std::string loadError(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    try {
        Image::decode(name, bytes);
    } catch (const LoadError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(PcxDecoder, DecodesRunsAndPaletteColours) {
    struct Case {
        const char* what;
        PcxFile file;
        int width, height;
        std::vector<int> want;
    };
    const std::vector<Case> cases = {
        {"a run of two", {.xMax = 1, .data = {0xC2, 0x05}}, 2, 1, {5, 5}},
        {"a run cut at the image's end", {.xMax = 1, .data = {0xC5, 0x07, 0x09}}, 2, 1, {7, 7}},
        {"a window not at the origin", {.xMin = 10, .yMin = -3, .xMax = 19, .yMax = -3, .data = {0xCA, 0x01}},
         10, 1, std::vector<int>(10, 1)},
        {"runs cross row ends", {.xMax = 2, .yMax = 1, .data = {0xC4, 0x03, 0x04, 0x05}}, 3, 2, {3, 3, 3, 3, 4, 5}},
        {"a literal below 0xC0 and an escaped one", {.xMax = 1, .data = {0xBF, 0xC1, 0xC8}}, 2, 1, {0xBF, 0xC8}},
        {"a zero-length run writes nothing", {.xMax = 1, .data = {0xC0, 0x01, 0x02, 0x03}}, 2, 1, {2, 3}},
        // Odd widths carry a filler byte a row; it is dropped rather than taken as a pixel.
        {"filler dropped", {.xMax = 2, .yMax = 1, .bytesPerLine = 4, .data = {1, 2, 3, 0, 4, 5, 6, 0}}, 3, 2,
         {1, 2, 3, 4, 5, 6}},
        {"a run across the filler", {.xMax = 0, .yMax = 1, .bytesPerLine = 2, .data = {0xC4, 0x09}}, 1, 2, {9, 9}},
        {"a line length below the width is not trusted", {.xMax = 2, .bytesPerLine = 1, .data = {1, 2, 3}}, 3, 1,
         {1, 2, 3}},
    };
    for (const Case& c : cases) {
        auto img = Image::decode("case.pcx", c.file.bytes());
        ASSERT_EQ(img->width(), c.width) << c.what;
        ASSERT_EQ(img->height(), c.height) << c.what;
        EXPECT_EQ(indicesOf(*img), c.want) << c.what;
        EXPECT_EQ(img->at(0, 0), entry(c.want[0])) << c.what;
    }
}

TEST(PcxDecoder, ReadsPastTheEndAsIndex255) {
    // No pixel data at all: the stream runs through the palette (at most ~25000 pixels' worth)
    // and then off the end of the file, so the last rows are all entry 255.
    auto img = Image::decode("short.pcx", PcxFile{.xMax = 299, .yMax = 299, .data = {}}.bytes());
    for (int x = 0; x < 300; ++x) ASSERT_EQ(img->at(x, 299), entry(255)) << x;
}

TEST(PcxDecoder, RefusesBrokenFiles) {
    const PcxFile good{.xMax = 1, .data = {0xC2, 0x05}};
    const std::vector<std::uint8_t> goodBytes = good.bytes();
    auto with = [&](auto change) {
        PcxFile f = good;
        change(f);
        return f.bytes();
    };
    auto firstBytes = [&](std::size_t n) { return std::vector<std::uint8_t>(goodBytes.begin(), goodBytes.begin() + n); };
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases = {
        {"empty file", {}},
        {"header cut short", firstBytes(100)},
        {"no room for a palette", firstBytes(700)},
        {"version 3", with([](PcxFile& f) { f.version = 3; })},
        {"4 bits a pixel", with([](PcxFile& f) { f.bits = 4; })},
        {"palette marker missing", with([](PcxFile& f) { f.marker = 10; })},
        {"right edge left of the left edge", with([](PcxFile& f) { f.xMin = 5; })},
        {"negative height", with([](PcxFile& f) { f.yMin = 1; })},
        {"absurd width", with([](PcxFile& f) { f.xMax = 20000; })},
        {"absurd height from signed edges", with([](PcxFile& f) { f.yMin = -30000, f.yMax = 30000; })},
        {"a gigabyte of pixels", with([](PcxFile& f) { f.xMax = 16383, f.yMax = 16383; })},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_EQ(loadError("Part1/odd.pcx", bytes), "Part1/odd.pcx: Error reading from file") << what;
}

TEST(ImageLoad, PicksTheDecoderByTheNamesEnding) {
    const auto dir = TestImages::scratch("imageload");
    const auto pcx = PcxFile{.xMax = 1, .data = {0xC2, 0x05}}.bytes();
    for (const char* name : {"LOGO.PCX", "pcx", "notes.txt", "a.tx"}) {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(pcx.data()),
                                                          static_cast<std::streamsize>(pcx.size()));
    }
    const DataFolder data(dir);
    EXPECT_EQ(Image::load(data, "LOGO.PCX")->at(1, 0), entry(5));
    EXPECT_EQ(Image::load(data, "pcx")->width(), 2);
    auto message = [&data](const char* name) {
        try {
            Image::load(data, name);
        } catch (const LoadError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("notes.txt"), "notes.txt: Not a supported image file");
    EXPECT_EQ(message("a.tx"), "a.tx: Not a supported image file");
    EXPECT_EQ(message("Part1/missing.pcx"), "Part1/missing.pcx: Could not open file");
}

TEST(PcxDecoder, ReadsWhatOurWriterWrites) {
    // Odd width (filler bytes), runs longer than 63, and literal indices that need escaping.
    const int w = 131, h = 5;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i < 200 ? 7 : i * 37);
    std::array<std::uint8_t, 768> palette{};
    for (int i = 0; i < 256; ++i) {
        const Color c = entry(i);
        palette[3 * i] = c.r, palette[3 * i + 1] = c.g, palette[3 * i + 2] = c.b;
    }
    auto img = Image::decode("round.pcx", PcxWriter::write(w, h, indices, palette));
    ASSERT_EQ(img->width(), w);
    ASSERT_EQ(img->height(), h);
    for (std::size_t i = 0; i < indices.size(); ++i) ASSERT_EQ(img->pixels()[i], entry(indices[i])) << i;
}

TEST(PcxDecoder, AgreesWithOtherToolsDecoding) {
    // Each tool writes a PCX of a picture of odd width and decodes it itself; ours must agree
    // pixel for pixel. Pillow pads its rows to an even length, ImageMagick does not.
    struct Tool {
        const char* name;
        const char* present;
        const char* writeAndDecode;
        int bytesPerLine;
    };
    const Tool tools[] = {
        // Debian's ImageMagick by its own name, so no other program called convert stands in.
        {"ImageMagick", "command -v convert-im6.q16",
         "convert-im6.q16 in.ppm -type Palette PCX:out.pcx && convert-im6.q16 out.pcx -depth 8 RGB:out.rgb", 37},
        {"Pillow", "/usr/bin/python3 -c 'import PIL'",
         "/usr/bin/python3 -c \"from PIL import Image; Image.open('in.ppm').quantize(200).save('out.pcx'); "
         "open('out.rgb', 'wb').write(Image.open('out.pcx').convert('RGB').tobytes())\"",
         38},
    };
    const int w = 37, h = 11;
    int tried = 0;
    for (const Tool& tool : tools) {
        if (std::system((std::string(tool.present) + " >/dev/null 2>&1").c_str()) != 0) continue;
        ++tried;
        const auto dir = TestImages::scratch(std::string("outside-") + tool.name);
        {
            std::ofstream ppm(dir / "in.ppm", std::ios::binary);
            ppm << "P6\n" << w << ' ' << h << "\n255\n";
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const char px[3] = {static_cast<char>(x * 7), static_cast<char>(y * 23),
                                        static_cast<char>(x < 20 ? 200 : 40)};
                    ppm.write(px, 3);
                }
        }
        const std::string cmd = "cd '" + dir.string() + "' && " + tool.writeAndDecode;
        ASSERT_EQ(std::system(cmd.c_str()), 0) << tool.name;

        std::ifstream pcxIn(dir / "out.pcx", std::ios::binary);
        std::vector<std::uint8_t> pcx((std::istreambuf_iterator<char>(pcxIn)), std::istreambuf_iterator<char>());
        ASSERT_GE(pcx.size(), 128u) << tool.name;
        ASSERT_EQ(pcx[65], 1) << tool.name << " wrote more than one plane";
        EXPECT_EQ(pcx[66] | (pcx[67] << 8), tool.bytesPerLine) << tool.name;
        std::ifstream rgbIn(dir / "out.rgb", std::ios::binary);
        std::vector<std::uint8_t> rgb((std::istreambuf_iterator<char>(rgbIn)), std::istreambuf_iterator<char>());
        ASSERT_EQ(rgb.size(), static_cast<std::size_t>(w) * h * 3) << tool.name;

        auto img = Image::decode("out.pcx", pcx);
        ASSERT_EQ(img->width(), w) << tool.name;
        ASSERT_EQ(img->height(), h) << tool.name;
        for (int i = 0; i < w * h; ++i)
            ASSERT_EQ(img->pixels()[i], Color(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], 0))
                << tool.name << ", pixel " << i;
    }
    if (tried == 0) GTEST_SKIP() << "neither ImageMagick nor Pillow is installed";
}
