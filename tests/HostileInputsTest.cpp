// The real binary against data files made to stall it or to mislead it: each is refused, or
// played with a warning, in the time a user would wait.

#include "ProgramRun.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Answer {
    ProgramRun::Outcome outcome;
    std::string err;
    double seconds = 0.0;
};

// Runs the program in dir, ended by force after limit seconds (so a regression fails the test
// instead of hanging it), and times it.
Answer tindrel(const fs::path& dir, const std::string& args, int limit) {
    Answer a;
    const auto start = std::chrono::steady_clock::now();
    a.outcome = ProgramRun::tindrel(dir, args, "timeout -k 1 " + std::to_string(limit));
    a.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    a.err = ProgramRun::fileBytes(dir / "stderr.txt");
    return a;
}

void write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(v >> shift));
}

// Three points and triangles many times the size of the view, listed again and again: about
// 200 KB, and before any bound the grid's 104 copies took minutes for one frame.
std::vector<std::uint8_t> hugeTriangles(int count) {
    std::vector<std::uint8_t> points;
    for (float v : {-100.0f, -100.0f, 0.3f, 100.0f, -100.0f, 0.3f, 0.0f, 100.0f, 0.3f}) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        put32(points, bits);
    }
    std::vector<std::uint8_t> polygons;
    for (int k = 0; k < count; ++k)
        for (int word : {3, k % 2, 1 - k % 2, 2, 1}) {
            polygons.push_back(0);
            polygons.push_back(static_cast<std::uint8_t>(word));
        }
    std::vector<std::uint8_t> form = {'L', 'W', 'O', 'B'};
    auto chunk = [&form](const char* id, const std::vector<std::uint8_t>& data) {
        form.insert(form.end(), id, id + 4);
        put32(form, static_cast<std::uint32_t>(data.size()));
        form.insert(form.end(), data.begin(), data.end());
    };
    chunk("PNTS", points);
    chunk("SRFS", {'S', 0});
    chunk("POLS", polygons);
    std::vector<std::uint8_t> file = {'F', 'O', 'R', 'M'};
    put32(file, static_cast<std::uint32_t>(form.size()));
    file.insert(file.end(), form.begin(), form.end());
    return file;
}

void replaceWithFifo(const fs::path& path) {
    fs::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
}

// Past the 64 MB every loader reads, without writing a byte of it.
void growPast64Mb(const fs::path& path) {
    std::ofstream(path, std::ios::app).close();
    fs::resize_file(path, (std::uintmax_t{64} << 20) + 1);
}

} // namespace

TEST(HostileInputs, AreRefusedWithTheirNamePromptly) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& data)> spoil;
        const char* command;
        int seconds;  // the most a user should wait for the answer
        const char* message;
    };
    const Case cases[] = {
        {"20,000 huge triangles as the cube wave's cube",
         [](const fs::path& d) { write(d / "Part5/cube.lwo", hugeTriangles(20000)); }, "still 16 8", 10,
         "Part5/cube.lwo: more than 8192 triangles\n"},
        {"an object fine alone but not 104 times",
         [](const fs::path& d) { write(d / "Part5/cube.lwo", hugeTriangles(200)); }, "still 16 8", 10,
         "Part5/cube.lwo: too many triangles for 104 copies (at most 157 each)\n"},
        {"a FIFO as a picture", [](const fs::path& d) { replaceWithFifo(d / "Part9/background.pcx"); }, "still 36 0 0", 5,
         "Part9/background.pcx: Could not open file\n"},
        {"a FIFO as an object", [](const fs::path& d) { replaceWithFifo(d / "Part7/cones.lwo"); }, "still 28 0 0", 5,
         "Part7/cones.lwo: could not open file\n"},
        {"a FIFO as the music", [](const fs::path& d) { replaceWithFifo(d / "Super.xm"); }, "still 36 0", 5,
         "Super.xm: Could not open file\n"},
        {"a picture over 64 MB", [](const fs::path& d) { growPast64Mb(d / "Part9/background.pcx"); }, "still 36 0 0", 5,
         "Part9/background.pcx: Error reading from file\n"},
        {"an object over 64 MB", [](const fs::path& d) { growPast64Mb(d / "Part7/cones.lwo"); }, "still 28 0 0", 5,
         "Part7/cones.lwo: could not open file\n"},
        {"music over 64 MB", [](const fs::path& d) { growPast64Mb(d / "Super.xm"); }, "still 36 0", 5,
         "Super.xm: Could not open file\n"},
        // Fifteen bytes that ask for a 4096 × 4096 plasma of 16 waves: twenty seconds of work
        // when run before the warp looks at the size.
        {"a 4096 × 4096 texture program for a warp",
         [](const fs::path& d) {
             write(d / "Part8/texture.tex", {0x00, 0x10, 0x00, 0x10, 1, 0, 255, 255, 255, 8, 8, 0, 64, 16, 1});
         },
         "still 33 0 0", 2, "Part8/texture.tex: Texture must be 256 × 256 for a warp, not 4096 × 4096\n"},
    };
    for (const Case& c : cases) {
        const fs::path dir = ProgramRun::dataCopy("hostile");
        c.spoil(dir / "data");
        const Answer r = tindrel(dir, c.command + std::string(" f.png --data data"), c.seconds + 10);
        EXPECT_EQ(r.outcome.out, c.message) << c.what;
        EXPECT_EQ(r.outcome.status, 255) << c.what;
        EXPECT_LT(r.seconds, c.seconds) << c.what;
        EXPECT_FALSE(fs::exists(dir / "f.png")) << c.what;
    }
}

TEST(HostileInputs, ConvertRefusesWhatIsNoPictureFileUnread) {
    const fs::path dir = TestImages::scratch("convert-hostile");
    growPast64Mb(dir / "big.pcx");
    growPast64Mb(dir / "big.txt");
    struct Case {
        const char* input;
        const char* message;
    };
    const Case cases[] = {
        {"/dev/zero", "/dev/zero: Could not open file\n"},
        {"big.pcx", "big.pcx: Error reading from file\n"},
        {"big.txt", "big.txt: Not a supported image file\n"},
    };
    for (const Case& c : cases) {
        const Answer r = tindrel(dir, std::string("convert ") + c.input + " z.png", 10);
        EXPECT_EQ(r.outcome.out, c.message) << c.input;
        EXPECT_EQ(r.outcome.status, 255) << c.input;
        EXPECT_LT(r.seconds, 2.0) << c.input;
        EXPECT_FALSE(fs::exists(dir / "z.png")) << c.input;
    }
}

// libopenmpt plays a module cut in half without a word, and the music is wrong: every command
// that loads it says so once, and goes on.
TEST(HostileInputs, AHalfLengthModuleWarnsOnceAndPlays) {
    const fs::path dir = ProgramRun::dataCopy("half-module");
    const fs::path music = dir / "data/Super.xm";
    const std::uintmax_t half = fs::file_size(music) / 2;
    fs::resize_file(music, half);
    const std::string warning =
        "tindrel: warning: Super.xm: the file is cut short after " + std::to_string(half) + " bytes; the music will be incomplete\n";
    for (const char* command : {"still 36 0 f.png", "still 16 8 0 f.png", "sheet f.png", "capture out --from 36 --audio-only"}) {
        const Answer r = tindrel(dir, command + std::string(" --data data"), 120);
        EXPECT_EQ(r.outcome.status, 0) << command;
        const std::string err = r.err.substr(0, r.err.find("capture: "));  // the capture's own summary follows
        EXPECT_EQ(err, warning) << command;
    }
    EXPECT_TRUE(fs::exists(dir / "out/music.wav"));
}
