#include "raster/AssetFile.h"

#include "raster/LoadError.h"

#include <fstream>
#include <iterator>

namespace {
std::filesystem::path& rootPath() {
    static std::filesystem::path root;
    return root;
}
} // namespace

void AssetFile::setRoot(const std::filesystem::path& root) { rootPath() = root; }

const std::filesystem::path& AssetFile::root() { return rootPath(); }

std::filesystem::path AssetFile::path(const std::string& name) {
    return rootPath().empty() ? std::filesystem::path(name) : rootPath() / name;
}

std::vector<std::uint8_t> AssetFile::read(const std::string& name) {
    const std::filesystem::path p = path(name);
    std::error_code ec;
    // A directory opens as a stream on Linux and then fails every read; refuse it up front.
    if (std::filesystem::is_directory(p, ec)) throw LoadError(name, "Could not open file");
    std::ifstream in(p, std::ios::binary);
    if (!in) throw LoadError(name, "Could not open file");
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw LoadError(name, "Could not open file");
    return bytes;
}
