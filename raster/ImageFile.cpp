#include "raster/DataFolder.h"
#include "raster/Image.h"
#include "raster/LoadError.h"
#include "raster/PcxDecoder.h"
#include "raster/TextureGenerator.h"

#include <cctype>
#include <stdexcept>

namespace {
bool endsWithNoCase(const std::string& name, const char* ending) {
    const std::size_t n = std::char_traits<char>::length(ending);
    if (name.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != ending[i]) return false;
    return true;
}

bool decodable(const std::string& name) { return endsWithNoCase(name, "pcx") || endsWithNoCase(name, "tex"); }
} // namespace

std::unique_ptr<Image> Image::load(const DataFolder& data, const std::string& fileName, const SizeCheck& check) {
    const std::string name(fileName);
    AssetFile file = data.open(name, {"Could not open file", "Error reading from file"});
    // A file of another kind is refused unread, however large it is.
    if (!decodable(name)) throw LoadError(name, "Not a supported image file");
    return decode(name, file.readAll(), check);
}

std::unique_ptr<Image> Image::decode(const std::string& name, std::span<const std::uint8_t> bytes, const SizeCheck& check) {
    // A program is checked before it runs, which may take long; a picture costs only its bytes.
    if (endsWithNoCase(name, "tex")) return TextureGenerator::decode(name, bytes, TextureGenerator::maxWork, check);
    if (!endsWithNoCase(name, "pcx")) throw LoadError(name, "Not a supported image file");
    auto image = PcxDecoder::decode(name, bytes);
    try {
        if (check) check(image->width(), image->height());
    } catch (const std::invalid_argument& e) {
        throw LoadError(name, e.what());
    }
    return image;
}
