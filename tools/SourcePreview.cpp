#include "tools/SourcePreview.h"

#include "tools/AssetBuild.h"
#include "tools/Pictures.h"
#include "tools/TextureAssembler.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view textureSuffix = ".tex.txt";
// A texture program is a few lines; this is far past any, and keeps a wrong file from filling
// memory.
constexpr std::uintmax_t maxProgramBytes = 1 << 20;

bool endsWith(const std::string& text, std::string_view end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

namespace SourcePreview {

bool previews(const fs::path& source) {
    const std::string name = source.filename().string();
    return endsWith(name, textureSuffix) || endsWith(name, ".svg");
}

Data build(const fs::path& source) {
    const std::string name = source.string();
    if (endsWith(source.filename().string(), textureSuffix)) {
        std::error_code ec;
        const std::uintmax_t size = fs::file_size(source, ec);
        if (ec) throw std::runtime_error(name + ": cannot read the file");
        if (size > maxProgramBytes) throw std::runtime_error(name + ": too long for a texture program");
        std::ifstream in(source, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        if (!in && !in.eof()) throw std::runtime_error(name + ": cannot read the file");
        const std::string file = source.filename().string();
        return {file.substr(0, file.size() - 4), TextureAssembler::assemble(text, name)};
    }
    // The picture whose source this is: its last two names, as the show's pictures are named.
    const std::string tail = (source.parent_path().filename() / source.filename()).generic_string();
    for (const PictureAsset& picture : showPictures())
        if (tail == picture.source) return {picture.name, AssetBuild::make(source.parent_path().parent_path(), picture.name)};
    std::string known;
    for (const PictureAsset& picture : showPictures()) known += (known.empty() ? "" : ", ") + std::string(picture.source);
    throw std::runtime_error(name + ": not one of the show's pictures, which are " + known);
}

} // namespace SourcePreview
