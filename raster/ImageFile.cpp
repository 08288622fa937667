#include "raster/AssetFile.h"
#include "raster/Image.h"
#include "raster/LoadError.h"
#include "raster/PcxDecoder.h"
#include "raster/TextureGenerator.h"

#include <cctype>

namespace {
bool endsWithNoCase(const std::string& name, const char* ending) {
    const std::size_t n = std::char_traits<char>::length(ending);
    if (name.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != ending[i]) return false;
    return true;
}
} // namespace

std::unique_ptr<Image> Image::load(const char* fileName) {
    const std::string name(fileName);
    const std::vector<std::uint8_t> bytes = AssetFile::read(name);
    return decode(name, bytes);
}

std::unique_ptr<Image> Image::decode(const std::string& name, std::span<const std::uint8_t> bytes) {
    if (endsWithNoCase(name, "pcx")) return PcxDecoder::decode(name, bytes);
    if (endsWithNoCase(name, "tex")) return TextureGenerator::decode(name, bytes);
    throw LoadError(name, "Not a supported image file");
}
