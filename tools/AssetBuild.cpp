#include "tools/AssetBuild.h"

#include "raster/Image.h"
#include "platform/SourceFiles.h"
#include "raster/PngWriter.h"
#include "tools/InsideWriter.h"
#include "tools/ObjectAssembler.h"
#include "tools/PaletteQuantizer.h"
#include "tools/PcxWriter.h"
#include "tools/Pictures.h"
#include "tools/ShowObjects.h"
#include "tools/SongSource.h"
#include "tools/SvgPicture.h"
#include "tools/TextureAssembler.h"
#include "tools/XmWriter.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr const char* textureSuffix = ".tex.txt";
constexpr const char* objectSuffix = ".lwo.txt";
constexpr const char* song = "music/super.song";

std::string readText(const fs::path& path, const std::string& name) { return SourceFiles::read(path, name); }

// Every file of the sources, sorted, so runs do the same work alike.
std::vector<std::string> sourceFiles(const fs::path& sources) {
    std::vector<std::string> files;
    SourceFiles::walk(sources, [&](const std::string& name) { files.push_back(name); }, SourceFiles::warnOnStderr);
    std::sort(files.begin(), files.end());
    return files;
}

// Every "X.tex.txt" (or "X.lwo.txt") under the sources becomes "X.tex" ("X.lwo") at the same
// place under the output, so a show of one's own only needs its programs dropped in.
std::vector<std::string> sourcesEndingIn(const std::vector<std::string>& files, const std::string& suffix) {
    std::vector<std::string> programs;
    for (const std::string& name : files)
        if (fs::path(name).filename().string().size() > suffix.size() && name.ends_with(suffix)) programs.push_back(name);
    return programs;
}

// The show's textures all feed effects that sample them at 256 × 256, wrapping: any other size
// would be refused when the scene is built, so it is refused here, at the line that gives it.
struct Reader {
    const char* texture;
    const char* effect;
};
constexpr Reader readers[] = {
    {"Part2/texture1.tex", "the blob light's warp"},
    {"Part6/texture.tex", "the glowing band's warp"},
    {"Part7/texture.tex", "the tunnel"},
    {"Part8/texture.tex", "the wave warp"},
};

std::optional<TextureAssembler::Need> needOf(const std::string& output) {
    for (const Reader& r : readers)
        if (output == r.texture) return TextureAssembler::Need{256, 256, r.effect};
    return std::nullopt;
}

const PictureAsset* pictureNamed(const std::string& output) {
    for (const PictureAsset& picture : showPictures())
        if (output == picture.name) return &picture;
    return nullptr;
}

std::vector<std::uint8_t> pcx(const PictureAsset& picture, const fs::path& sources) {
    const auto reduced = PaletteQuantizer::quantize(renderPicture(picture, sources), picture.width, picture.height,
                                                    {.dithering = picture.dithering, .fixed = picture.fixed});
    return PcxWriter::write(picture.width, picture.height, reduced.indices, reduced.palette);
}

} // namespace

namespace AssetBuild {

std::vector<Recipe> recipes(const fs::path& sourceDir) {
    const std::vector<std::string> files = sourceFiles(sourceDir);
    std::vector<Recipe> all;
    for (const std::string& program : sourcesEndingIn(files, textureSuffix))
        all.push_back({program.substr(0, program.size() - 4), {program}});  // drops ".txt"
    // An object's source, where there is one, takes the place of the object made in code.
    std::vector<std::string> objects = sourcesEndingIn(files, objectSuffix);
    for (const auto& [name, bytes] : showObjects()) {
        const auto own = std::find(objects.begin(), objects.end(), name + ".txt");
        all.push_back({name, own == objects.end() ? std::vector<std::string>{} : std::vector<std::string>{*own}});
        if (own != objects.end()) objects.erase(own);
    }
    for (const std::string& object : objects) all.push_back({object.substr(0, object.size() - 4), {object}});
    for (const PictureAsset& picture : showPictures()) all.push_back({picture.name, {picture.source}});
    all.push_back({"Super.xm", {song}});
    return all;
}

std::vector<std::string> madeFrom(const fs::path& sourceDir, const std::string& source) {
    std::vector<std::string> made;
    for (const Recipe& r : recipes(sourceDir))
        if (std::find(r.sources.begin(), r.sources.end(), source) != r.sources.end()) made.push_back(r.output);
    return made;
}

std::vector<std::uint8_t> make(const fs::path& sourceDir, const std::string& output) {
    if (output == "Super.xm") return writeXm(compileSong(sourceDir / song, sourceDir));
    if (const PictureAsset* picture = pictureNamed(output)) return pcx(*picture, sourceDir);
    if (output.ends_with(".tex")) {
        const std::string program = output + ".txt";
        return TextureAssembler::assemble(readText(sourceDir / program, program), program, needOf(output));
    }
    if (output.ends_with(".lwo")) {
        const std::string source = output + ".txt";
        std::error_code ec;
        if (fs::is_regular_file(sourceDir / source, ec))
            return ObjectAssembler::assemble(readText(sourceDir / source, source), source);
    }
    for (auto& [name, bytes] : showObjects())
        if (name == output) return bytes;
    throw std::runtime_error(output + ": no source makes this file");
}

void writeOne(const fs::path& sourceDir, const fs::path& outDir, const std::string& output) {
    const std::vector<std::uint8_t> bytes = make(sourceDir, output);
    InsideWriter::write(outDir, output, bytes.data(), bytes.size());
}

// Pictures, objects and the music always have their recipe; texture programs are found by name,
// so the textures the show reads are the files that can lose theirs.
std::vector<std::string> unmade(const std::vector<Recipe>& all) {
    std::vector<std::string> missing;
    for (const Reader& r : readers)
        if (std::none_of(all.begin(), all.end(), [&](const Recipe& recipe) { return recipe.output == r.texture; }))
            missing.push_back(r.texture);
    return missing;
}

std::string unmadeMessage(const std::string& output) {
    return output + ".txt: missing; the show needs " + output + " and no source makes it";
}

void buildAll(const fs::path& sourceDir, const fs::path& outDir, const fs::path& iconPath) {
    const std::vector<Recipe> all = recipes(sourceDir);
    if (const std::vector<std::string> missing = unmade(all); !missing.empty())
        throw std::runtime_error(unmadeMessage(missing.front()));
    for (const Recipe& r : all) writeOne(sourceDir, outDir, r.output);
    if (iconPath.empty()) return;
    // Not part of the show's data: installed for desktops beside the program.
    const auto rgba = renderPicture(iconPicture(), sourceDir);
    Image icon(iconPicture().width, iconPicture().height);
    for (std::size_t i = 0; i < icon.pixelCount(); ++i)
        icon.pixels()[i] = Color(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], 255);
    if (iconPath.has_parent_path()) fs::create_directories(iconPath.parent_path());
    PngWriter::write(iconPath, icon);
}

} // namespace AssetBuild
