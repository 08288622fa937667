#include "tools/SourcePreview.h"

#include "engine3d/Mesh.h"
#include "engine3d/MeshView.h"
#include "platform/SourceFiles.h"
#include "raster/FrameSize.h"
#include "tools/AssetBuild.h"
#include "tools/ObjectAssembler.h"
#include "tools/PaletteQuantizer.h"
#include "tools/PcxWriter.h"
#include "tools/Pictures.h"
#include "tools/SvgPicture.h"
#include "tools/TextureAssembler.h"

#include <string_view>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view textureSuffix = ".tex.txt";
constexpr std::string_view objectSuffix = ".lwo.txt";
// A texture program or an object is some thousands of lines at most; this keeps a wrong file
// from filling memory.
constexpr std::uintmax_t maxSourceBytes = std::uintmax_t{4} << 20;

bool endsWith(const std::string& text, std::string_view end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The object from three angles: as the show stores it, turned a third of the way round, and
// from above; each in a square of the frame's height, on black.
std::unique_ptr<Image> drawObject(const std::vector<std::uint8_t>& lwob, const std::string& name) {
    constexpr int side = frameHeight;
    struct Angle {
        float a, b, c;
    };
    constexpr Angle angles[] = {{0.0f, 0.0f, 0.0f}, {0.0f, 2.1f, 0.0f}, {1.3f, 0.4f, 0.0f}};
    auto out = std::make_unique<Image>(side * 3, side);
    int x = 0;
    for (const Angle& angle : angles) {
        MeshView view(side, side, Mesh::decode(name, lwob));
        view.setRotation(angle.a, angle.b, angle.c);
        view.draw(0.0f);
        out->blit(x, 0, view.image());
        x += side;
    }
    return out;
}

// A picture of the show's, or a draft drawn as a background is: reduced to 256 colours.
std::unique_ptr<Image> drawSvg(const fs::path& source) {
    const std::string tail = (source.parent_path().filename() / source.filename()).generic_string();
    for (const PictureAsset& picture : showPictures())
        if (tail == picture.source)
            return Image::decode(picture.name, AssetBuild::make(source.parent_path().parent_path(), picture.name));
    const std::string file = source.filename().string();
    const PictureAsset draft{"draft.pcx", frameWidth, frameHeight, file.c_str()};
    const auto reduced = PaletteQuantizer::quantize(renderPicture(draft, source.parent_path()), draft.width,
                                                    draft.height, {.dithering = draft.dithering, .fixed = draft.fixed});
    return Image::decode(draft.name, PcxWriter::write(draft.width, draft.height, reduced.indices, reduced.palette));
}

} // namespace

namespace SourcePreview {

bool previews(const fs::path& source) {
    const std::string name = source.filename().string();
    return endsWith(name, textureSuffix) || endsWith(name, objectSuffix) || endsWith(name, ".svg");
}

std::unique_ptr<Image> picture(const fs::path& source) {
    const std::string name = source.string();
    const std::string file = source.filename().string();
    if (endsWith(file, textureSuffix)) {
        const std::string text = SourceFiles::read(source, name, maxSourceBytes);
        return Image::decode(file.substr(0, file.size() - 4), TextureAssembler::assemble(text, name));
    }
    if (endsWith(file, objectSuffix)) {
        const std::string text = SourceFiles::read(source, name, maxSourceBytes);
        return drawObject(ObjectAssembler::assemble(text, name), name);
    }
    return drawSvg(source);
}

} // namespace SourcePreview
