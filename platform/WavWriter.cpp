#include "platform/WavWriter.h"

#include <fstream>
#include <stdexcept>
#include <string>

namespace {
void put32(std::ofstream& out, std::uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    out.write(b, 4);
}
void put16(std::ofstream& out, std::uint16_t v) {
    const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    out.write(b, 2);
}
} // namespace

void WavWriter::write(const std::filesystem::path& path, const std::vector<std::int16_t>& stereo, int sampleRate) {
    std::ofstream out(path, std::ios::binary);
    if (!out) throw std::runtime_error(path.string() + ": cannot write the file");
    const auto dataBytes = static_cast<std::uint32_t>(stereo.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 2);
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate) * 4);
    put16(out, 4);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (std::int16_t s : stereo) put16(out, static_cast<std::uint16_t>(s));
    if (!out.flush()) throw std::runtime_error(path.string() + ": cannot write the file");
}
