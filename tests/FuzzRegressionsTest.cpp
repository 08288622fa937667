// Inputs the fuzzers once found troublesome, kept so the faults stay mended: each must load or be
// refused with a LoadError, in reasonable time, and nothing else.

#include "engine3d/Mesh.h"
#include "platform/Module.h"
#include "raster/Image.h"
#include "raster/LoadError.h"
#include "tools/SongSource.h"
#include "tools/XmWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

TEST(FuzzRegressions, EveryKeptInputLoadsOrIsRefused) {
    const fs::path root = fs::path(TINDREL_SOURCE_DIR) / "fuzz" / "regressions";
    const std::pair<const char*, std::function<void(std::span<const std::uint8_t>)>> loaders[] = {
        {"Pcx", [](auto bytes) { Image::decode("f.pcx", bytes); }},
        {"Texture", [](auto bytes) { Image::decode("f.tex", bytes); }},
        {"Lwo", [](auto bytes) { Mesh::decode("f.lwo", bytes); }},
        {"Module", [](auto bytes) { Module("Super.xm", bytes); }},
    };
    int inputs = 0;
    for (const auto& [folder, load] : loaders) {
        if (!fs::is_directory(root / folder)) continue;
        for (const auto& entry : fs::directory_iterator(root / folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            ++inputs;
            try {
                load(bytes);
            } catch (const LoadError&) {
            }
        }
    }
    EXPECT_GT(inputs, 0);
}

// The module fuzzer starts from these songs: each must stay a module our compiler makes, small
// enough for the fuzzer's 64 KB inputs, that the player loads without a word and plays.
TEST(FuzzSeeds, TheSeedSongsCompileIntoSmallSoundModules) {
    int songs = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(TINDREL_SOURCE_DIR) / "fuzz" / "seeds")) {
        if (entry.path().extension() != ".song") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++songs;
        const std::vector<std::uint8_t> bytes = writeXm(compileSong(entry.path()));
        EXPECT_LE(bytes.size(), 65536u);
        Module module("seed.xm", bytes);
        EXPECT_EQ(module.warning(), "");
        std::vector<float> buffer(2 * 1024);
        EXPECT_EQ(module.render(buffer.data(), 1024), 1024u);
    }
    EXPECT_GE(songs, 2);
}
