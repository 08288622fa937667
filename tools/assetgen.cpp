// Makes every file of the show's data directory from the sources in this repository: pictures
// drawn with cairo and reduced to 256 colours, and the music module. Same output on every run.

#include "tools/Canvas.h"
#include "tools/FirstSong.h"
#include "tools/PaletteQuantizer.h"
#include "tools/PcxWriter.h"
#include "tools/Pictures.h"
#include "tools/XmWriter.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    // Written aside and renamed, so an interrupted build never leaves half a file behind.
    const fs::path partial = path.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw std::runtime_error("cannot write " + partial.string());
    }
    fs::rename(partial, path);
}

std::vector<std::uint8_t> pcx(int width, int height, const std::function<void(Canvas&)>& draw,
                              const PaletteQuantizer::Options& options = {}) {
    Canvas canvas(width, height);
    draw(canvas);
    const auto reduced = PaletteQuantizer::quantize(canvas.rgba(), width, height, options);
    return PcxWriter::write(width, height, reduced.indices, reduced.palette);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tindrel-assetgen SOURCE_DIR OUTPUT_DIR\n");
        return 2;
    }
    const fs::path sources = argv[1];
    const fs::path out = argv[2];
    (void)sources;
    try {
        // Additive layers stand on black, which must survive the palette exactly: black adds nothing.
        const PaletteQuantizer::Options additive{.dithering = 0.3f, .fixed = {0x000000}};
        writeFile(out / "Part1/logolight.pcx", pcx(600, 300, Pictures::openingLogo, additive));
        writeFile(out / "Part1/background.pcx", pcx(600, 300, Pictures::openingSky));
        writeFile(out / "Part9/background.pcx", pcx(600, 300, Pictures::closing));
        writeFile(out / "Super.xm", writeXm(composeFirstSong()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tindrel-assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
