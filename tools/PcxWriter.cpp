#include "tools/PcxWriter.h"

#include <algorithm>
#include <stdexcept>

namespace {
void put16(std::vector<std::uint8_t>& out, std::size_t at, int v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
} // namespace

std::vector<std::uint8_t> PcxWriter::write(int width, int height, const std::vector<std::uint8_t>& indices,
                                           const std::array<std::uint8_t, 768>& palette) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        indices.size() != static_cast<std::size_t>(width) * height)
        throw std::invalid_argument("PCX: size and pixels disagree");
    const int bytesPerLine = width + (width & 1);

    std::vector<std::uint8_t> out(128, 0);
    out[0] = 10;  // manufacturer
    out[1] = 5;   // version
    out[2] = 1;   // run-length encoding
    out[3] = 8;   // bits per pixel
    put16(out, 8, width - 1);
    put16(out, 10, height - 1);
    put16(out, 12, 72);
    put16(out, 14, 72);
    out[65] = 1;  // planes
    put16(out, 66, bytesPerLine);
    put16(out, 68, 1);  // colour palette

    std::vector<std::uint8_t> line(static_cast<std::size_t>(bytesPerLine), 0);
    for (int y = 0; y < height; ++y) {
        std::copy_n(indices.begin() + static_cast<std::ptrdiff_t>(y) * width, width, line.begin());
        // Runs stop at each row's end, as readers that decode row by row require.
        for (int x = 0; x < bytesPerLine;) {
            const std::uint8_t value = line[x];
            int run = 1;
            while (x + run < bytesPerLine && run < 63 && line[x + run] == value) ++run;
            if (run > 1 || (value & 0xC0) == 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
            out.push_back(value);
            x += run;
        }
    }
    out.push_back(12);
    out.insert(out.end(), palette.begin(), palette.end());
    return out;
}
