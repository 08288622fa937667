// Makes every file of the show's data directory from the sources in this repository: pictures
// rendered from SVG and reduced to 256 colours, textures, objects and the music module. Same
// output on every run.

#include "tools/AssetBuild.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tindrel-assetgen SOURCE_DIR OUTPUT_DIR\n");
        return 2;
    }
    try {
        AssetBuild::buildAll(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tindrel-assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
