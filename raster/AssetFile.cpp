#include "raster/AssetFile.h"

#include "raster/LoadError.h"

#include <array>

AssetFile AssetFile::open(const std::filesystem::path& p, const std::string& name, Refusals refusals) {
    AssetFile file(name, refusals);
    std::error_code ec;
    // Before opening: opening a FIFO for reading waits for a writer that may never come, and a
    // directory opens as a stream on Linux that then fails every read. Links are followed.
    if (!std::filesystem::is_regular_file(p, ec)) throw LoadError(name, refusals.cannotOpen);
    file.size_ = std::filesystem::file_size(p, ec);
    if (ec) throw LoadError(name, refusals.cannotOpen);
    file.in_.open(p, std::ios::binary);
    if (!file.in_) throw LoadError(name, refusals.cannotOpen);
    return file;
}

std::vector<std::uint8_t> AssetFile::readAll() {
    if (size_ > maxBytes) throw LoadError(name_, refusals_.tooLarge);
    // In blocks: taken a byte at a time, reading the show's files was a sizeable part of its start.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(size_));
    std::array<char, 1 << 16> block;
    while (in_.read(block.data(), block.size()) || in_.gcount() > 0) {
        bytes.insert(bytes.end(), block.data(), block.data() + in_.gcount());
        // A file that grows while it is read is held to the same limit.
        if (bytes.size() > maxBytes) throw LoadError(name_, refusals_.tooLarge);
    }
    if (in_.bad()) throw LoadError(name_, refusals_.cannotOpen);
    return bytes;
}
