#include "raster/AssetFile.h"

#include "raster/LoadError.h"

#include <array>
#include <fstream>

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
    // In blocks: taken a byte at a time, reading the show's files was a sizeable part of its start.
    std::vector<std::uint8_t> bytes;
    const auto size = std::filesystem::file_size(p, ec);
    if (!ec) bytes.reserve(static_cast<std::size_t>(size));
    std::array<char, 1 << 16> block;
    while (in.read(block.data(), block.size()) || in.gcount() > 0)
        bytes.insert(bytes.end(), block.data(), block.data() + in.gcount());
    if (in.bad()) throw LoadError(name, "Could not open file");
    return bytes;
}
