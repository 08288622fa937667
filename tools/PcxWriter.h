#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Writes 256-colour PCX: version 5, 8 bits, one plane, run-length encoded, rows padded to an
// even byte count as other readers expect, the palette after marker 12 at the end.
class PcxWriter {
public:
    static std::vector<std::uint8_t> write(int width, int height, const std::vector<std::uint8_t>& indices,
                                           const std::array<std::uint8_t, 768>& palette);
};
