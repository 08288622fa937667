// The real binary's outputs: what it leaves at the names it is given, whatever is there, and
// when it cannot finish.

#include "ProgramRun.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

namespace fs = std::filesystem;

using ProgramRun::fileBytes;
using ProgramRun::Outcome;
using ProgramRun::tindrel;

namespace {

// Runs a shell script in dir with $T the program; returns its status.
int script(const fs::path& dir, const std::string& lines) {
    const std::string cmd = "cd '" + dir.string() + "' && export T='" TINDREL_BINARY "' && (" + lines + ")";
    const int raw = std::system(cmd.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool isPng(const fs::path& path) {
    try {
        return TestImages::readPng(path).width > 0;
    } catch (const std::exception&) {
        return false;
    }
}

// The names in a folder that are not pictures, music or the program's messages, in order: the
// leftovers of an unfinished write, and whatever the test made there.
std::string strays(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() && !name.ends_with(".png") && name != "music.wav" && name != "stderr.txt")
            names.insert(name);
    }
    std::string list;
    for (const std::string& name : names) list += name + ' ';
    return list;
}

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

// A music.wav that a player reads to its end: the header's lengths are the file's.
void expectWholeWav(const std::string& wav) {
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 4), "WAVE");
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(le32(wav, 4), wav.size() - 8);
    EXPECT_EQ(le32(wav, 40), wav.size() - 44);
}

constexpr const char* still = "still 36 32 0 ";

} // namespace

TEST(ProgramOutput, AStillThroughALinkReplacesItsTargetAndKeepsTheLink) {
    const fs::path dir = TestImages::scratch("out-link");
    fs::create_directories(dir / "kept");
    std::ofstream(dir / "kept/target.png") << "an earlier picture";
    fs::create_symlink("kept/target.png", dir / "link.png");
    ASSERT_EQ(tindrel(dir, still + std::string("link.png")).status, 0);
    ASSERT_EQ(tindrel(dir, still + std::string("plain.png")).status, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.png"));
    EXPECT_EQ(fs::read_symlink(dir / "link.png"), "kept/target.png");
    EXPECT_TRUE(fileBytes(dir / "kept/target.png") == fileBytes(dir / "plain.png"));
    EXPECT_EQ(strays(dir), "");
    EXPECT_EQ(strays(dir / "kept"), "");
}

TEST(ProgramOutput, AStillIntoAFifoGoesToItsReader) {
    const fs::path dir = TestImages::scratch("out-fifo");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
    // The reader gives up after a minute, should the program never open the FIFO.
    ASSERT_EQ(script(dir, "timeout 60 cat fifo > read.png & \"$T\" " + std::string(still) +
                              "fifo 2>stderr.txt; echo $? > status.txt; wait"),
              0);
    EXPECT_EQ(fileBytes(dir / "status.txt"), "0\n") << fileBytes(dir / "stderr.txt");
    ASSERT_EQ(tindrel(dir, still + std::string("plain.png")).status, 0);
    EXPECT_TRUE(fileBytes(dir / "read.png") == fileBytes(dir / "plain.png"));
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
}

// Device nodes of the test's own, so a fault could only ever replace those: the system's
// /dev/null and /dev/full are never risked. A device or a FIFO names a stream, so it needs no
// ".png".
TEST(ProgramOutput, AStillIntoADeviceLeavesTheDevice) {
    const fs::path dir = TestImages::scratch("out-device");
    if (mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        mknod((dir / "full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0 || script(dir, "echo probe > null 2>/dev/null") != 0)
        GTEST_SKIP() << "device nodes cannot be made or opened here";

    EXPECT_EQ(tindrel(dir, still + std::string("null")).status, 0) << fileBytes(dir / "stderr.txt");
    const Outcome full = tindrel(dir, still + std::string("full"));
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(fileBytes(dir / "stderr.txt"), "tindrel: full: cannot write the picture (No space left on device)\n");
    EXPECT_TRUE(fs::is_character_file(dir / "null"));
    EXPECT_TRUE(fs::is_character_file(dir / "full"));
    EXPECT_EQ(strays(dir), "full null ");
}

// "-" is standard output, which then carries the picture alone: a loader's message goes to
// standard error instead.
TEST(ProgramOutput, DashIsStandardOutput) {
    const fs::path dir = TestImages::scratch("out-dash");
    const std::string picture = TINDREL_BUILD_DATA_DIR "/Part9/background.pcx";
    for (const std::string& command : {std::string(still), std::string("sheet "), "convert '" + picture + "' "}) {
        const Outcome piped = tindrel(dir, command + "-");
        EXPECT_EQ(piped.status, 0) << command;
        EXPECT_EQ(fileBytes(dir / "stderr.txt"), "") << command;
        ASSERT_EQ(tindrel(dir, command + "file.png").status, 0) << command;
        EXPECT_FALSE(piped.out.empty()) << command;
        EXPECT_TRUE(piped.out == fileBytes(dir / "file.png")) << command;
        EXPECT_EQ(strays(dir), "") << command;
    }
    const Outcome missing = tindrel(dir, "convert missing.pcx -");
    EXPECT_EQ(missing.status, 255);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(fileBytes(dir / "stderr.txt"), "missing.pcx: Could not open file\n");
}

// The second capture is refused before it touches the folder, even with --overwrite, and the first
// one's frames are all whole.
TEST(ProgramOutput, ASecondCaptureIntoAFolderIsRefused) {
    const fs::path dir = TestImages::scratch("out-concurrent");
    ASSERT_EQ(script(dir, "\"$T\" capture out 2>first.txt & pid=$!; "
                          "for i in $(seq 300); do [ -e out/frame-000010.png ] && break; sleep 0.1; done; "
                          "\"$T\" capture out --overwrite --from 36 --fps 2 2>second.txt; echo $? > second-status.txt; "
                          "kill -INT $pid; wait $pid; echo $? > first-status.txt"),
              0);
    EXPECT_EQ(fileBytes(dir / "second-status.txt"), "1\n");
    EXPECT_EQ(fileBytes(dir / "second.txt"),
              "tindrel: out is in use by another capture; wait for it to end or capture into another folder\n");
    EXPECT_EQ(fileBytes(dir / "first-status.txt"), "130\n") << fileBytes(dir / "first.txt");
    int frames = 0;
    for (const auto& entry : fs::directory_iterator(dir / "out"))
        if (entry.path().extension() == ".png") {
            ++frames;
            EXPECT_TRUE(isPng(entry.path())) << entry.path();
        }
    EXPECT_GT(frames, 10);
    // Numbered without a gap: the second capture removed none.
    char last[32];
    std::snprintf(last, sizeof last, "frame-%06d.png", frames - 1);
    EXPECT_TRUE(fs::exists(dir / "out" / last)) << last;
    EXPECT_EQ(strays(dir / "out"), "");
}

// A disk that fills leaves no music.wav that claims more than it holds: none at all.
TEST(ProgramOutput, AFullDiskLeavesNoPartialMusic) {
    const fs::path dir = TestImages::scratch("out-tmpfs");
    fs::create_directories(dir / "small");
    // A mount of the test's own, in a namespace of its own, so nothing outlives the test.
    const int status = script(dir, "unshare -m sh -c 'mount -t tmpfs -o size=1m tmpfs small 2>/dev/null || exit 77; "
                                   "cd small && \"$T\" capture out --audio-only --from 36 2>../stderr.txt; "
                                   "echo $? > ../status.txt; ls -A out > ../left.txt' 2>/dev/null");
    if (status == 77 || (status != 0 && !fs::exists(dir / "status.txt")))
        GTEST_SKIP() << "a tmpfs cannot be mounted here";
    ASSERT_EQ(status, 0);
    EXPECT_EQ(fileBytes(dir / "status.txt"), "1\n");
    // 7.68 s of music is 1.35 MB.
    EXPECT_EQ(fileBytes(dir / "stderr.txt"),
              "tindrel: out/music.wav: cannot write the file (No space left on device)\n");
    EXPECT_EQ(fileBytes(dir / "left.txt"), "");
}

TEST(ProgramOutput, WriteFailuresKeepTheirReason) {
    const fs::path dir = TestImages::scratch("out-reasons");
    fs::create_directories(dir / "out/music.wav");
    const Outcome o = tindrel(dir, "capture out --audio-only --from 36");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(fileBytes(dir / "stderr.txt"), "tindrel: out/music.wav: cannot write the file (Is a directory)\n");
    EXPECT_TRUE(fs::is_directory(dir / "out/music.wav"));
}

// Ctrl-C stops the music's rendering as it stops the frames', and what was rendered is a whole
// file. The signal comes as soon as the program listens for it (its handler shows in /proc): the
// whole song renders in about a second, faster than a fixed wait could be trusted to beat.
TEST(ProgramOutput, AStoppedAudioCaptureKeepsAWholeFile) {
    const fs::path dir = TestImages::scratch("out-audio-stop");
    ASSERT_EQ(script(dir, "\"$T\" capture out --audio-only 2>stderr.txt & pid=$!; "
                          "for i in $(seq 1000); do "
                          "  caught=$(awk '/^SigCgt/ {print $2}' /proc/$pid/status 2>/dev/null); "
                          "  [ -n \"$caught\" ] && [ $((0x$caught & 2)) -ne 0 ] && break; sleep 0.01; "
                          "done; kill -INT $pid; wait $pid; echo $? > status.txt"),
              0);
    EXPECT_EQ(fileBytes(dir / "status.txt"), "130\n") << fileBytes(dir / "stderr.txt");
    const std::string wav = fileBytes(dir / "out/music.wav");
    expectWholeWav(wav);
    // 284 s of music would be 50 MB.
    EXPECT_LT(wav.size(), 40'000'000u);
    EXPECT_EQ(strays(dir / "out"), "");
}
