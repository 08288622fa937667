// Makes every file of the show's data directory from the sources in this repository: pictures
// rendered from SVG and reduced to 256 colours, and the music module. Same output on every run.

#include "tools/SongSource.h"
#include "tools/PaletteQuantizer.h"
#include "tools/PcxWriter.h"
#include "raster/PngWriter.h"
#include "tools/Pictures.h"
#include "tools/ShowObjects.h"
#include "tools/SvgPicture.h"
#include "tools/TextureAssembler.h"
#include "tools/XmWriter.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <sstream>
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

std::vector<std::uint8_t> pcx(int width, int height, const std::vector<std::uint8_t>& rgba,
                              const PaletteQuantizer::Options& options = {}) {
    const auto reduced = PaletteQuantizer::quantize(rgba, width, height, options);
    return PcxWriter::write(width, height, reduced.indices, reduced.palette);
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return text.str();
}

// Every "X.tex.txt" under the sources becomes "X.tex" at the same place under the output, so a
// show of one's own only needs its programs dropped in. Sorted, so runs do the same work alike.
void assembleTextures(const fs::path& sources, const fs::path& out) {
    std::vector<fs::path> programs;
    for (const auto& entry : fs::recursive_directory_iterator(sources)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.size() > 8 && name.ends_with(".tex.txt")) programs.push_back(entry.path());
    }
    std::sort(programs.begin(), programs.end());
    for (const fs::path& program : programs) {
        fs::path relative = fs::relative(program, sources);
        relative.replace_extension();  // drops ".txt"
        writeFile(out / relative, TextureAssembler::assemble(readText(program), relative.generic_string()));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tindrel-assetgen SOURCE_DIR OUTPUT_DIR\n");
        return 2;
    }
    const fs::path sources = argv[1];
    const fs::path out = argv[2];
    try {
        assembleTextures(sources, out);
        for (const auto& [name, bytes] : showObjects()) writeFile(out / name, bytes);
        for (const PictureAsset& picture : showPictures())
            writeFile(out / picture.name, pcx(picture.width, picture.height, renderPicture(picture, sources),
                                              {.dithering = picture.dithering, .fixed = picture.fixed}));
        {
            // Not part of the show's data: installed for desktops beside the program.
            const auto rgba = renderPicture(iconPicture(), sources);
            Image icon(iconPicture().width, iconPicture().height);
            for (std::size_t i = 0; i < icon.pixelCount(); ++i)
                icon.pixels()[i] = Color(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], 255);
            fs::create_directories(out.parent_path() / "icons");
            PngWriter::write(out.parent_path() / "icons" / "tindrel.png", icon);
        }
        writeFile(out / "Super.xm", writeXm(compileSong(sources / "music" / "super.song")));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tindrel-assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
