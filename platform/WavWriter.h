#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// 16-bit PCM WAV, interleaved stereo.
class WavWriter {
public:
    // Throws std::runtime_error naming the path when the file cannot be written.
    static void write(const std::filesystem::path& path, const std::vector<std::int16_t>& stereo, int sampleRate);
};
