#include "platform/WavWriter.h"

#include "raster/OutputFile.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {
unsigned char* put32(unsigned char* out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) *out++ = static_cast<unsigned char>(v >> shift);
    return out;
}
unsigned char* put16(unsigned char* out, std::uint16_t v) {
    *out++ = static_cast<unsigned char>(v);
    *out++ = static_cast<unsigned char>(v >> 8);
    return out;
}
unsigned char* put(unsigned char* out, const char (&tag)[5]) { return std::copy(tag, tag + 4, out); }
} // namespace

void WavWriter::write(const std::filesystem::path& path, const std::vector<std::int16_t>& stereo, int sampleRate) {
    OutputFile file(path, "the file");
    const auto dataBytes = static_cast<std::uint32_t>(stereo.size() * 2);
    std::array<unsigned char, 44> header;
    unsigned char* h = put(header.data(), "RIFF");
    h = put32(h, 36 + dataBytes);
    h = put(h, "WAVE");
    h = put(h, "fmt ");
    h = put32(h, 16);
    h = put16(h, 1);  // PCM
    h = put16(h, 2);
    h = put32(h, static_cast<std::uint32_t>(sampleRate));
    h = put32(h, static_cast<std::uint32_t>(sampleRate) * 4);
    h = put16(h, 4);
    h = put16(h, 16);
    h = put(h, "data");
    put32(h, dataBytes);
    file.write(header.data(), header.size());

    // Little-endian whatever the processor, a block at a time.
    std::array<unsigned char, 1 << 16> block;
    for (std::size_t i = 0; i < stereo.size();) {
        const std::size_t count = std::min(stereo.size() - i, block.size() / 2);
        unsigned char* out = block.data();
        for (std::size_t end = i + count; i < end; ++i) out = put16(out, static_cast<std::uint16_t>(stereo[i]));
        file.write(block.data(), count * 2);
    }
    file.commit();
}
