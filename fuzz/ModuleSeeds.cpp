#include "tools/SongSource.h"
#include "tools/XmWriter.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

// Compiles the module fuzzer's seed songs into modules for its corpus, so the fuzzer starts
// from files our own compiler makes, every effect it lets through among them.
//   ModuleSeeds OUTPUT_DIR SONG...
int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: ModuleSeeds OUTPUT_DIR SONG...\n", stderr);
        return 2;
    }
    try {
        const std::filesystem::path out = argv[1];
        std::filesystem::create_directories(out);
        for (int i = 2; i < argc; ++i) {
            const std::filesystem::path song = argv[i];
            const auto bytes = writeXm(compileSong(song));
            std::ofstream(out / song.filename().replace_extension(".xm"), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ModuleSeeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
