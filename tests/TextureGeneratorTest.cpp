#include "TestImages.h"
#include "raster/Image.h"
#include "raster/LoadError.h"
#include "raster/Random.h"
#include "raster/TextureGenerator.h"
#include "tools/TextureAssembler.h"

#include <gtest/gtest.h>

#include <cmath>

using TestImages::make;
using TestImages::pixelsOf;

namespace {

// The sequence and the sine table worked out here from their definitions, independently of
// the generator's own tables.
struct Lcg {
    std::uint32_t state;
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 32767u);
    }
};
int sine(std::uint32_t i) { return static_cast<int>(std::sin((i & 0xFFFF) * (2 * 3.141592 / 65535)) * 32767); }

std::string refusal(const std::vector<std::uint8_t>& bytes) {
    try {
        Image::decode("Part2/t.tex", bytes);
    } catch (const LoadError& e) {
        return e.what();
    }
    return "no error";
}

std::unique_ptr<Image> gradient(int w, int h) {
    auto img = std::make_unique<Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img->at(x, y) = Color(x * 40 + 3, y * 50 + 7, (x + y) * 11, 9);
    return img;
}

} // namespace

TEST(Random, FollowsItsFixedSequence) {
    Random random(1);
    EXPECT_EQ(random.next(), 41);
    EXPECT_EQ(random.next(), 18467);
    EXPECT_EQ(random.next(), 6334);
}

TEST(TextureGenerator, TablesHoldTheirFixedValues) {
    const std::int16_t* s = TextureGenerator::sineTable();
    EXPECT_EQ(s[0], 0);
    EXPECT_EQ(s[16384], 32766);
    EXPECT_EQ(s[49151], -32766);
    for (std::uint32_t i = 0; i < 65536; i += 97) ASSERT_EQ(s[i], sine(i)) << i;
    const std::uint8_t* curve = TextureGenerator::curveTable();
    EXPECT_EQ(curve[200 * 256 + 128], 200);
    EXPECT_EQ(curve[200 * 256 + 0], 0);
    EXPECT_EQ(curve[200 * 256 + 64], 100);
    EXPECT_EQ(curve[0 * 256 + 255], 253);
    EXPECT_EQ(curve[100 * 256 + 192], 177);
}

TEST(TextureGenerator, PixelOperationsMatchValuesWorkedByHand) {
    struct Case {
        const char* what;
        std::function<void(TextureGenerator&)> op;
        std::vector<Color> in, want;
    };
    const std::vector<Case> cases = {
        {"tone 128 keeps", [](TextureGenerator& g) { g.tone(128); }, {Color(9, 99, 250, 4)}, {Color(9, 99, 250, 4)}},
        {"tone 0 blackens, alpha kept", [](TextureGenerator& g) { g.tone(0); }, {Color(9, 99, 250, 4)}, {Color(0, 0, 0, 4)}},
        {"tone 192 brightens", [](TextureGenerator& g) { g.tone(192); }, {Color(100, 0, 255, 0)}, {Color(177, 127, 255, 0)}},
        {"contrast 0 keeps", [](TextureGenerator& g) { g.contrast(100, 0); }, {Color(9, 150, 250, 4)}, {Color(9, 150, 250, 4)}},
        {"contrast 16 doubles the distance", [](TextureGenerator& g) { g.contrast(100, 16); },
         {Color(150, 20, 230, 4)}, {Color(200, 0, 255, 4)}},
        {"negative contrast pulls in", [](TextureGenerator& g) { g.contrast(100, -8); }, {Color(150, 60, 100, 0)},
         {Color(125, 80, 100, 0)}},
        {"no blur passes", [](TextureGenerator& g) { g.blur(0); }, {Color(100, 0, 0, 0), Color(0, 0, 0, 0)},
         {Color(100, 0, 0, 0), Color(0, 0, 0, 0)}},
        // One row of two: left sweep 50, 25; the vertical sweeps pair each with itself; the
        // right-to-left sweep then 37, 43.
        {"one blur pass", [](TextureGenerator& g) { g.blur(1); }, {Color(100, 0, 0, 0), Color(0, 0, 0, 0)},
         {Color(43, 0, 0, 255), Color(37, 0, 0, 255)}},
        {"band light tent", [](TextureGenerator& g) { g.bandLight(0, 100, 1); },
         {Color(75, 75, 75, 3), Color(30, 30, 30, 3), Color(101, 101, 101, 3), Color(0, 0, 0, 3), Color(240, 0, 0, 3)},
         {Color(100, 100, 100, 3), Color(60, 60, 60, 3), Color(101, 101, 101, 3), Color(0, 0, 0, 3), Color(255, 20, 20, 3)}},
        {"squares of size 0", [](TextureGenerator& g) { g.squares(Color(255, 255, 255, 0), 3, 0, 5); },
         {Color(1, 2, 3, 4)}, {Color(1, 2, 3, 4)}},
        {"ripple of amplitude 0", [](TextureGenerator& g) { g.ripple(5, 0); }, {Color(1, 2, 3, 4), Color(5, 6, 7, 8)},
         {Color(1, 2, 3, 4), Color(5, 6, 7, 8)}},
    };
    for (const Case& c : cases) {
        auto img = make(static_cast<int>(c.in.size()), 1, c.in);
        TextureGenerator gen(*img);
        c.op(gen);
        EXPECT_EQ(pixelsOf(*img), c.want) << c.what;
    }
}

TEST(TextureGenerator, SquaresWrapAndDrawFromTheirSeededSequence) {
    Image img(4, 4);
    TextureGenerator gen(img);
    gen.squares(Color(10, 20, 30, 0), 1, 3, 7);
    Lcg r{7};
    const int x0 = r.next() % 4, y0 = r.next() % 4;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = (x - x0 + 4) % 4 < 3 && (y - y0 + 4) % 4 < 3;
            EXPECT_EQ(img.at(x, y), inside ? Color(10, 20, 30, 255) : Color()) << x << ',' << y;
        }

    // Size 0 draws nothing.
    const auto before = pixelsOf(img);
    gen.squares(Color(1, 1, 1, 0), 5, 0, 3);
    EXPECT_EQ(pixelsOf(img), before);
}

TEST(TextureGenerator, PlasmaAndShiftsAgreeWithTheirDefinitions) {
    const int W = 8, H = 4;
    Image img(W, H);
    TextureGenerator gen(img);
    gen.plasma(Color(200, 100, 50, 0), 3, 2, 100, 180, 2, 9);
    Lcg r{9};
    int fx[2], fy[2], amp[2];
    for (int k = 0; k < 2; ++k) {
        fx[k] = r.next() % 6 - 3;
        fy[k] = r.next() % 4 - 2;
        amp[k] = r.next() % 81 + 100;
    }
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int sum = 0;
            for (int k = 0; k < 2; ++k) sum += (sine((fy[k] * y * 65536) / H + (fx[k] * x * 65536) / W) * amp[k] + 32768) >> 16;
            const int level = std::clamp(sum, 0, 255);
            ASSERT_EQ(img.at(x, y), Color(200 * level >> 8, 100 * level >> 8, 50 * level >> 8, 255)) << x << ',' << y;
        }

    // One wave of column shift only: column x moves down by d(x) rows, wrapping.
    auto before = gradient(W, H);
    auto after = gradient(W, H);
    TextureGenerator shifter(*after);
    shifter.sineShift(0, 200, 4, 3, 1, 21);
    Lcg s{21};
    const unsigned colFreq = static_cast<unsigned>(s.next() % 4 + 1);
    for (int x = 0; x < W; ++x) {
        const int v = (sine((x * colFreq * 65536u) / W) * 200) >> 15;
        const int d = static_cast<int>(v * -0.3333333333333333);
        for (int y = 0; y < H; ++y)
            ASSERT_EQ(after->at(x, y), before->at(x, static_cast<int>(static_cast<unsigned>(y - d) % H))) << x << ',' << y;
    }

    // Frequency 0 pushes every pixel by the sine's peak: amplitude 2 reads one row down.
    auto rippled = gradient(W, H);
    TextureGenerator(*rippled).ripple(0, 2);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) ASSERT_EQ(rippled->at(x, y), before->at(x, (y + 1) % H));

    // Radial tone toward black: the centre keeps, the corner (distance 2) darkens.
    auto toned = make(5, 5, std::vector<Color>(25, Color(200, 100, 0, 6)));
    TextureGenerator(*toned).radialTone(4, 128, 0);
    EXPECT_EQ(toned->at(2, 2), Color(200, 100, 0, 6));
    EXPECT_EQ(toned->at(0, 0), Color(200 * 64 / 128, 100 * 64 / 128, 0, 6));
}

TEST(TextureDecoder, RunsProgramsAndSkipsNoOps) {
    // N = 0: a black image of the given size.
    auto black = Image::decode("a.tex", std::vector<std::uint8_t>{3, 0, 2, 0, 0, 0xEE});
    EXPECT_EQ(black->width(), 3);
    EXPECT_EQ(black->height(), 2);
    for (Color c : pixelsOf(*black)) EXPECT_EQ(c, Color());

    // Opcodes 4 and 12 are one byte each; the tone after them still runs on its own byte.
    auto direct = make(2, 1, {});
    TextureGenerator(*direct).plasma(Color(90, 90, 90, 0), 1, 1, 50, 60, 1, 4);
    auto program = TextureAssembler::assemble(
        "texture 2 1\nplasma red=90 green=90 blue=90 maxFreqX=1 maxFreqY=1 minAmp=50 maxAmp=60 waves=1 seed=4\n", "p");
    program[4] = 3;  // three operations: the plasma, then two no-ops
    program.push_back(4);
    program.push_back(12);
    EXPECT_EQ(pixelsOf(*Image::decode("A.TEX", program)), pixelsOf(*direct));
}

TEST(TextureDecoder, RefusesProgramsThatCannotRun) {
    auto program = [](const std::string& body, const char* size = "texture 4 4") {
        return TextureAssembler::assemble(std::string(size) + "\n" + body, "t");
    };
    auto cut = program("blur passes=1");
    cut.pop_back();
    const std::vector<std::pair<std::vector<std::uint8_t>, std::string>> cases = {
        {{4, 0}, "Texture program ends early"},
        {{4, 0, 4, 0}, "Texture program ends early"},
        {cut, "Texture program ends early"},
        {{0x01, 0x20, 4, 0, 0}, "Texture too large"},
        {program("plasma red=1 green=1 blue=1 maxFreqX=0 maxFreqY=3 minAmp=0 maxAmp=9 waves=1 seed=0"),
         "Plasma frequency range is zero"},
        {program("plasma red=1 green=1 blue=1 maxFreqX=3 maxFreqY=3 minAmp=10 maxAmp=9 waves=1 seed=0"),
         "Plasma amplitude range is empty"},
        {program("sineShift shiftX=1 shiftY=1 maxFreqX=1 maxFreqY=0 waves=2 seed=0"), "Sine shift frequency range is zero"},
        {program("radialTone radius=0 inner=0 outer=9"), "Radial tone radius is zero"},
        {program("squares red=1 green=1 blue=1 count=1 size=1 seed=0", "texture 1 1") , "no error"},
        {program("ripple frequency=1 amplitude=1", "texture 600 600"), "Texture too large for ripple"},
    };
    for (const auto& [bytes, message] : cases)
        EXPECT_EQ(refusal(bytes), message == "no error" ? message : "Part2/t.tex: " + message) << message;
}

TEST(TextureAssembler, ExplainsWhatItCannotAssemble) {
    const std::pair<const char*, const char*> cases[] = {
        {"blur passes=1", "t:1: the first statement must be: texture WIDTH HEIGHT"},
        {"texture 4 4\nsharpen amount=3", "t:2: no operation called \"sharpen\""},
        {"texture 4 4\nblur", "t:2: blur needs passes"},
        {"texture 4 4\n# fine\nblur passes=300", "t:3: passes must be from 0 to 255"},
        {"texture 4 4\nblur passes=1 radius=2", "t:2: blur has no parameter radius"},
        {"texture 4 4\nblurr passes=1", "t:2: no operation called \"blurr\" (did you mean blur?)"},
        {"texture 4 4\nblur pases=1", "t:2: blur has no parameter pases (did you mean passes?)"},
        {"texture 4 4\nRipple frequency=1 amplitude=1", "t:2: no operation called \"Ripple\" (did you mean ripple?)"},
        {"texture 0 4", "t:1: a side must be 1 to 4096 texels"},
        {"", "t: the program gives no size"},
    };
    for (const auto& [source, message] : cases) {
        try {
            TextureAssembler::assemble(source, "t");
            ADD_FAILURE() << "assembled: " << source;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    EXPECT_EQ(TextureAssembler::assemble("texture 258 3 # size\n\ncontrast factor=-2 pivot=7\n", "t"),
              (std::vector<std::uint8_t>{2, 1, 3, 0, 1, 7, 7, 0xFE}));
}

TEST(TextureDecoder, RefusesProgramsTooCostlyToRun) {
    // 4096 × 4096 blurred 255 times: hours of work from a few bytes.
    const auto program = TextureAssembler::assemble("texture 4096 4096\nblur passes=255\n", "t");
    EXPECT_EQ(refusal(program), "Part2/t.tex: Texture program is too costly to run");
    // A million squares of 255 × 255 on a small texture, likewise.
    EXPECT_EQ(refusal(TextureAssembler::assemble(
                  "texture 4 4\nsquares red=1 green=1 blue=1 count=1000000 size=255 seed=1\n", "t")),
              "Part2/t.tex: Texture program is too costly to run");
    // Squares of no size draw nothing, but two billion of them still take their random draws.
    EXPECT_EQ(refusal(TextureAssembler::assemble(
                  "texture 4 4\nsquares red=1 green=1 blue=1 count=2000000000 size=0 seed=1\n", "t")),
              "Part2/t.tex: Texture program is too costly to run");
}

TEST(TextureDecoder, CountsTheImageItselfInTheBudget) {
    // A 64 × 64 image is 4096 visits before a tone pass's 4096; the largest image is refused
    // before it is made under a budget smaller than its 16.7 million texels.
    const struct {
        const char* source;
        long long budget;
        bool runs;
    } cases[] = {
        {"texture 64 64\ntone level=3\n", 8192, true},
        {"texture 64 64\ntone level=3\n", 8191, false},
        {"texture 64 64\n", 4096, true},
        {"texture 64 64\n", 4095, false},
        {"texture 4096 4096\n", TextureGenerator::maxWork / 64, false},
    };
    for (const auto& c : cases) {
        bool ran = true;
        try {
            TextureGenerator::decode("t.tex", TextureAssembler::assemble(c.source, "t"), c.budget);
        } catch (const LoadError& e) {
            EXPECT_STREQ(e.what(), "t.tex: Texture program is too costly to run");
            ran = false;
        }
        EXPECT_EQ(ran, c.runs) << c.source << " under " << c.budget;
    }
}
