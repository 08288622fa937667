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
#include "show/ShowFile.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr const char* textureSuffix = ".tex.txt";
constexpr const char* objectSuffix = ".lwo.txt";
constexpr const char* showFile = ShowFile::fileName;
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

// The show the sources make: their show file, or the program's own show where they have none.
ShowFile sourcesShow(const fs::path& sources) {
    std::error_code ec;
    if (!fs::exists(sources / showFile, ec)) return ShowFile::shipped();
    return ShowFile::parse(readText(sources / showFile, showFile), showFile);
}

// The show's textures all feed effects that sample them at 256 × 256, wrapping: any other size
// would be refused when the scene is built, so it is refused here, at the line that gives it.
struct Reader {
    std::string texture;
    const char* effect;
};
const std::vector<Reader>& ownReaders() {
    static const std::vector<Reader> readers = {
        {"Part2/texture1.tex", "the blob light's warp"},
        {"Part6/texture.tex", "the glowing band's warp"},
        {"Part7/texture.tex", "the tunnel"},
        {"Part8/texture.tex", "the wave warp"},
    };
    return readers;
}

// What the show's scenes read: for each scene in turn, the items its kind reads in its own
// folder, renamed into the scene's folder, so a kind played from another folder has its files
// made there the same way, from sources of the same names. Each once, in the order first read.
template <class T, class Rename>
std::vector<T> forScenes(const ShowFile& show, const std::vector<T>& items, Rename rename) {
    std::vector<T> all;
    std::vector<std::string> folders;
    for (const TimetableRow& row : show.timetable.rows()) {
        if (std::find(folders.begin(), folders.end(), row.folder) != folders.end()) continue;
        folders.push_back(row.folder);
        const std::string own = std::string(SceneKind::named(row.kind)->folder) + "/";
        for (const T& item : items)
            if (std::optional<T> copy = rename(item, own, row.folder + "/")) all.push_back(std::move(*copy));
    }
    return all;
}

// name with its folder's part from moved to, when it is in that folder.
std::optional<std::string> moved(const std::string& name, const std::string& from, const std::string& to) {
    if (!name.starts_with(from)) return std::nullopt;
    return to + name.substr(from.size());
}

std::vector<Reader> readers(const ShowFile& show) {
    return forScenes(show, ownReaders(), [](const Reader& r, const std::string& from, const std::string& to) {
        const auto name = moved(r.texture, from, to);
        return name ? std::optional<Reader>(Reader{*name, r.effect}) : std::nullopt;
    });
}

std::vector<PictureAsset> pictures(const ShowFile& show) {
    return forScenes(show, showPictures(), [](const PictureAsset& p, const std::string& from, const std::string& to) {
        std::optional<PictureAsset> copy;
        const auto name = moved(p.name, from, to);
        const auto source = moved(p.source, from, to);
        if (name && source) {
            copy = p;
            copy->name = *name;
            copy->source = *source;
        }
        return copy;
    });
}

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> madeObjects(const ShowFile& show) {
    using Object = std::pair<std::string, std::vector<std::uint8_t>>;
    return forScenes(show, showObjects(), [](const Object& o, const std::string& from, const std::string& to) {
        const auto name = moved(o.first, from, to);
        return name ? std::optional<Object>(Object{*name, o.second}) : std::nullopt;
    });
}

std::optional<TextureAssembler::Need> needOf(const ShowFile& show, const std::string& output) {
    for (const Reader& r : readers(show))
        if (output == r.texture) return TextureAssembler::Need{256, 256, r.effect};
    return std::nullopt;
}

std::optional<PictureAsset> pictureNamed(const ShowFile& show, const std::string& output) {
    for (PictureAsset& picture : pictures(show))
        if (output == picture.name) return std::move(picture);
    return std::nullopt;
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
    const ShowFile show = sourcesShow(sourceDir);
    std::vector<Recipe> all;
    for (const std::string& program : sourcesEndingIn(files, textureSuffix))
        all.push_back({program.substr(0, program.size() - 4), {program}});  // drops ".txt"
    // An object's source, where there is one, takes the place of the object made in code.
    std::vector<std::string> objects = sourcesEndingIn(files, objectSuffix);
    for (const auto& [name, bytes] : madeObjects(show)) {
        const auto own = std::find(objects.begin(), objects.end(), name + ".txt");
        all.push_back({name, own == objects.end() ? std::vector<std::string>{} : std::vector<std::string>{*own}});
        if (own != objects.end()) objects.erase(own);
    }
    for (const std::string& object : objects) all.push_back({object.substr(0, object.size() - 4), {object}});
    for (const PictureAsset& picture : pictures(show)) all.push_back({picture.name, {picture.source}});
    // The songs it includes are known from what its build read, not from here.
    all.push_back({show.music, {song}});
    if (std::find(files.begin(), files.end(), showFile) != files.end()) all.push_back({showFile, {showFile}});
    return all;
}

std::string musicOf(const fs::path& sourceDir) { return sourcesShow(sourceDir).music; }

std::vector<std::string> madeFrom(const fs::path& sourceDir, const std::string& source) {
    std::vector<std::string> made;
    for (const Recipe& r : recipes(sourceDir))
        if (std::find(r.sources.begin(), r.sources.end(), source) != r.sources.end()) made.push_back(r.output);
    return made;
}

std::vector<std::uint8_t> make(const fs::path& sourceDir, const std::string& output) {
    const ShowFile show = sourcesShow(sourceDir);
    if (output == showFile) {
        const std::string text = readText(sourceDir / showFile, showFile);
        return {text.begin(), text.end()};
    }
    if (output == show.music) return writeXm(compileSong(sourceDir / song, sourceDir));
    if (const auto picture = pictureNamed(show, output)) return pcx(*picture, sourceDir);
    if (output.ends_with(".tex")) {
        const std::string program = output + ".txt";
        return TextureAssembler::assemble(readText(sourceDir / program, program), program, needOf(show, output));
    }
    if (output.ends_with(".lwo")) {
        const std::string source = output + ".txt";
        std::error_code ec;
        if (fs::is_regular_file(sourceDir / source, ec))
            return ObjectAssembler::assemble(readText(sourceDir / source, source), source);
    }
    for (auto& [name, bytes] : madeObjects(show))
        if (name == output) return bytes;
    throw std::runtime_error(output + ": no source makes this file");
}

void writeOne(const fs::path& sourceDir, const fs::path& outDir, const std::string& output) {
    const std::vector<std::uint8_t> bytes = make(sourceDir, output);
    InsideWriter::write(outDir, output, bytes.data(), bytes.size());
}

// Pictures, objects and the music always have their recipe; texture programs are found by name,
// so the textures the show reads are the files that can lose theirs.
std::vector<std::string> unmade(const fs::path& sourceDir, const std::vector<Recipe>& all) {
    std::vector<std::string> missing;
    for (const Reader& r : readers(sourcesShow(sourceDir)))
        if (std::none_of(all.begin(), all.end(), [&](const Recipe& recipe) { return recipe.output == r.texture; }))
            missing.push_back(r.texture);
    return missing;
}

std::string unmadeMessage(const std::string& output) {
    return output + ".txt: missing; the show needs " + output + " and no source makes it";
}

void buildAll(const fs::path& sourceDir, const fs::path& outDir, const fs::path& iconPath) {
    const std::vector<Recipe> all = recipes(sourceDir);
    if (const std::vector<std::string> missing = unmade(sourceDir, all); !missing.empty())
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
