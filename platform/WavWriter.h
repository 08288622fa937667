#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// 16-bit PCM WAV, interleaved stereo.
class WavWriter {
public:
    // Written as OutputFile writes, so a full disk or a stop leaves no half file under the name.
    // Throws std::runtime_error naming the path when it cannot be written.
    static void write(const std::filesystem::path& path, const std::vector<std::int16_t>& stereo, int sampleRate);
};
