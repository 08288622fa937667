// Makes every file of the show's data directory from its readable sources: pictures rendered
// from SVG and reduced to 256 colours, texture programs, objects and the music module. Same
// output on every run.

#include "tools/AssetBuild.h"
#include "tools/SongSource.h"
#include "tools/TextureAssembler.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace {
const char* const usage =
    "usage: tindrel-assetgen SOURCE_DIR OUTPUT_DIR [--icon FILE]\n"
    "    Builds the show's data from its sources (SVG pictures, texture programs, the song) into\n"
    "    OUTPUT_DIR, then plays with: tindrel --data OUTPUT_DIR\n"
    "    Writes nothing outside OUTPUT_DIR but the program's icon, as a PNG at FILE when asked.\n"
    "       tindrel-assetgen --list-ops\n"
    "    Lists the texture programs' operations, their parameters and ranges.\n"
    "       tindrel-assetgen --list-notation\n"
    "    Lists the song notation's statements, settings and effects.\n";
} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--list-ops") == 0) {
        std::fputs(TextureAssembler::operations().c_str(), stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--list-notation") == 0) {
        std::fputs(songNotation().c_str(), stdout);
        return 0;
    }
    if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--icon") == 0)) {
        std::fputs(usage, stderr);
        return 2;
    }
    try {
        AssetBuild::buildAll(argv[1], argv[2], argc == 5 ? argv[4] : "");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tindrel-assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
