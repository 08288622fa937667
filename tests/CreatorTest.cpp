// A show of one's own, as a creator makes it: started with tindrel new, written from the docs,
// looked at with convert, and built for publishing.

#include "ProgramRun.h"
#include "TestImages.h"
#include "engine3d/Mesh.h"
#include "tools/AssetBuild.h"
#include "tools/ObjectAssembler.h"
#include "tools/ShowObjects.h"
#include "tools/SongSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using ProgramRun::fileBytes;
using ProgramRun::Outcome;
using ProgramRun::tindrel;

const fs::path sourceTree = TINDREL_SOURCE_DIR;

// A fenced block of a page: its info string's language and file (empty when it names none).
struct Block {
    std::string language;
    std::string file;
    std::string text;
};

std::vector<Block> blocksOf(const fs::path& page) {
    std::istringstream lines(fileBytes(page));
    std::vector<Block> blocks;
    bool inside = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("```")) {
            if (inside) blocks.back().text += line + '\n';
            continue;
        }
        inside = !inside;
        if (!inside) continue;
        const std::string info = line.substr(3);
        const auto space = info.find(' ');
        blocks.push_back({info.substr(0, space), space == std::string::npos ? "" : info.substr(space + 1), ""});
    }
    return blocks;
}

bool samePixels(const fs::path& a, const fs::path& b) {
    const auto pa = TestImages::readPng(a), pb = TestImages::readPng(b);
    return pa.width > 0 && pa.width == pb.width && pa.height == pb.height && pa.rgba == pb.rgba;
}

} // namespace

// The guide, followed to the letter: every file it gives is written where it says, and every
// command it gives to run is run in order, from tindrel new to a video. A step that fails
// fails here, with what the tools said.
TEST(Creator, TheGuidesExamplesBuild) {
    const fs::path dir = TestImages::scratch("guide");
    const std::string path = "PATH='" + fs::path(TINDREL_BINARY).parent_path().string() + "':\"$PATH\"";
    int ran = 0, written = 0;
    for (const Block& block : blocksOf(sourceTree / "docs/making-a-show.md")) {
        if (!block.file.empty()) {
            fs::create_directories((dir / block.file).parent_path());
            std::ofstream(dir / block.file, std::ios::binary) << block.text;
            ++written;
        } else if (block.language == "sh") {
            std::ofstream(dir / "step.sh") << block.text;
            const std::string command = "cd '" + dir.string() + "' && " + path + " bash -e step.sh >step.out 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << block.text << fileBytes(dir / "step.out");
            ++ran;
        }
    }
    EXPECT_GE(written, 5);
    EXPECT_GE(ran, 6);
    // What was made is what the guide meant: its melody opens the show, its diamond is the star.
    const XmModule song = compileSong(dir / "myshow/music/super.song");
    EXPECT_EQ(song.patterns[static_cast<std::size_t>(song.orders[0])].at(0, 8).note, 58);
    EXPECT_EQ(Mesh::decode("Part4/star.lwo", AssetBuild::make(dir / "myshow", "Part4/star.lwo")).triangleCount(), 8);
    EXPECT_TRUE(fs::is_regular_file(dir / "farewell.mp4"));
}

// The notation's page holds a complete song; it compiles.
TEST(Creator, TheNotationsExampleSongCompiles) {
    int songs = 0;
    for (const Block& block : blocksOf(sourceTree / "docs/song-notation.md")) {
        if (block.language != "song") continue;
        EXPECT_NO_THROW(compileSongText(block.text, "example.song")) << block.text;
        ++songs;
    }
    EXPECT_EQ(songs, 1);
}

// A new show is the show's sources, whole, and a README; a folder with something in it is
// never written into.
TEST(Creator, NewWritesTheSourcesIntoANewFolderOnly) {
    const fs::path dir = TestImages::scratch("new");
    ASSERT_EQ(tindrel(dir, "new mine").status, 0);
    EXPECT_TRUE(fs::is_regular_file(dir / "mine/README.md"));
    const fs::path assets = sourceTree / "assets";
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(assets)) {
        if (!entry.is_regular_file()) continue;
        EXPECT_EQ(fileBytes(dir / "mine" / fs::relative(entry.path(), assets)), fileBytes(entry.path())) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 20);

    fs::create_directory(dir / "empty");
    EXPECT_EQ(tindrel(dir, "new empty").status, 0);
    std::ofstream(dir / "full.txt") << "mine";
    fs::create_directory(dir / "used");
    std::ofstream(dir / "used/notes.txt") << "mine";
    for (const char* taken : {"used", "full.txt"}) {
        EXPECT_EQ(tindrel(dir, std::string("new ") + taken).status, 1) << taken;
        EXPECT_NE(fileBytes(dir / "stderr.txt").find(taken), std::string::npos);
    }
    EXPECT_EQ(fileBytes(dir / "used/notes.txt"), "mine");
    EXPECT_EQ(tindrel(dir, "new").status, 2);
}

// A new show holds the show's objects as sources that assemble into the very objects the show
// ships; convert draws each from three angles, lit and outlined, and a draft SVG from anywhere.
TEST(Creator, NewWritesTheObjectsAsSourcesAndConvertDrawsThem) {
    const fs::path dir = TestImages::scratch("new-objects");
    ASSERT_EQ(tindrel(dir, "new mine").status, 0);
    for (const auto& [name, bytes] : showObjects()) {
        const fs::path source = dir / "mine" / (name + ".txt");
        ASSERT_TRUE(fs::is_regular_file(source)) << source;
        EXPECT_EQ(ObjectAssembler::assemble(fileBytes(source), name + ".txt"), bytes) << name;
        ASSERT_EQ(tindrel(dir, "convert '" + source.string() + "' object.png").status, 0) << fileBytes(dir / "stderr.txt");
        const auto picture = TestImages::readPng(dir / "object.png");
        ASSERT_EQ(picture.width, 900);
        // Each third holds the object, lit (not grey) and outlined (white).
        for (int third = 0; third < 3; ++third) {
            int lit = 0, outline = 0;
            for (int y = 0; y < picture.height; ++y)
                for (int x = third * 300; x < third * 300 + 300; ++x) {
                    const std::size_t at = (static_cast<std::size_t>(y) * 900 + x) * 4;
                    const int r = picture.rgba[at], g = picture.rgba[at + 1], b = picture.rgba[at + 2];
                    if (r == 255 && g == 255 && b == 255) ++outline;
                    else if (r != g || g != b) ++lit;
                }
            EXPECT_GT(lit, 100) << name << " from angle " << third;
            EXPECT_GT(outline, 20) << name << " from angle " << third;
        }
    }
    std::ofstream(dir / "draft.svg") << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"60\" height=\"30\">"
                                        "<rect width=\"60\" height=\"30\" fill=\"#ff0000\"/></svg>";
    ASSERT_EQ(tindrel(dir, "convert draft.svg draft.png").status, 0) << fileBytes(dir / "stderr.txt");
    const auto draft = TestImages::readPng(dir / "draft.png");
    ASSERT_EQ(draft.width, 600);
    EXPECT_EQ(draft.rgba[(150 * 600 + 300) * 4], 255);
}

// convert of a source writes the pixels the show loads from the data made of it.
TEST(Creator, ConvertOfASourceIsTheDataItMakes) {
    const fs::path dir = TestImages::scratch("convert-sources");
    const std::string data = TINDREL_BUILD_DATA_DIR, assets = (sourceTree / "assets").string();
    const std::pair<std::string, std::string> cases[] = {
        {"Part2/texture1.tex.txt", "Part2/texture1.tex"}, {"Part6/texture.tex.txt", "Part6/texture.tex"},
        {"Part7/texture.tex.txt", "Part7/texture.tex"},   {"Part8/texture.tex.txt", "Part8/texture.tex"},
        {"Part8/background.svg", "Part8/background.pcx"}, {"Part5/gubbe.svg", "Part5/gubbe.pcx"},
    };
    for (const auto& [source, made] : cases) {
        ASSERT_EQ(tindrel(dir, "convert '" + assets + "/" + source + "' source.png --rgba").status, 0) << source;
        ASSERT_EQ(tindrel(dir, "convert '" + data + "/" + made + "' data.png --rgba").status, 0) << made;
        EXPECT_TRUE(samePixels(dir / "source.png", dir / "data.png")) << source;
    }
    // A mistake is named at its line, with the name it was meant to be.
    std::ofstream(dir / "wrong.tex.txt") << "texture 8 8\nblurr passes=1\n";
    EXPECT_EQ(tindrel(dir, "convert wrong.tex.txt wrong.png").status, 1);
    EXPECT_NE(fileBytes(dir / "stderr.txt").find("wrong.tex.txt:2: no operation called \"blurr\" (did you mean blur?)"),
              std::string::npos)
        << fileBytes(dir / "stderr.txt");
}

// Only a program run from its own build tree falls back on that tree's sources: a copy
// elsewhere, as an installed one, asks for --source.
TEST(Creator, TheStudioAwayFromItsBuildTreeAsksForItsSources) {
    const fs::path dir = TestImages::scratch("studio-away");
    fs::copy_file(TINDREL_BINARY, dir / "tindrel");
    const std::string command = "cd '" + dir.string() + "' && ./tindrel studio --mute 2>err.txt";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    EXPECT_NE(fileBytes(dir / "err.txt").find("the studio needs --source DIR"), std::string::npos);
}

TEST(ObjectAssembler, ExplainsWhatItCannotAssemble) {
    const std::pair<const char*, const char*> cases[] = {
        {"surface Red 255 0 0\npoint 0 0 0\npoint 1 0 0\npoint 0 1 0\ntriangle 0 1 2 Red\n", "no error"},
        {"surface Red 256 0 0", "o:1: red must be a whole number from 0 to 255, not \"256\""},
        {"point 0 0", "o:1: expected: point X Y Z"},
        {"point 0 0 nan", "o:1: a coordinate is a number from -1000 to 1000, not \"nan\""},
        {"surface Red 255 0 0\npoint 0 0 0\ntriangle 0 0 1 Red", "o:3: a point's number must be a whole number from 0 to 0, not \"1\""},
        {"surface Red 255 0 0\npoint 0 0 0\ntriangle 0 0 0 Rde", "o:3: no surface named Rde before this line (did you mean Red?)"},
        {"surface Red 255 0 0\nsurface Red 0 0 0", "o:2: surface Red is named twice"},
        {"pont 0 0 0", "o:1: unknown statement \"pont\" (did you mean point?)"},
        {"# nothing\n", "o: the object has no triangle"},
    };
    for (const auto& [source, message] : cases) {
        std::string said = "no error";
        try {
            ObjectAssembler::assemble(source, "o");
        } catch (const std::runtime_error& e) {
            said = e.what();
        }
        EXPECT_EQ(said, message) << source;
    }
}
