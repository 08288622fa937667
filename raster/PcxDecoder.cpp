#include "raster/PcxDecoder.h"

#include "raster/LoadError.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t headerSize = 128;
constexpr std::size_t paletteSize = 768;

int le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

// Reads the pixel stream; past the end of the file every byte reads as 255.
class ByteStream {
public:
    ByteStream(std::span<const std::uint8_t> bytes, std::size_t at) : bytes_(bytes), at_(at) {}
    std::uint8_t next() { return at_ < bytes_.size() ? bytes_[at_++] : 255; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_;
};

} // namespace

std::unique_ptr<Image> PcxDecoder::decode(const std::string& name, std::span<const std::uint8_t> bytes) {
    auto fail = [&name]() { return LoadError(name, "Error reading from file"); };

    if (bytes.size() < headerSize) throw fail();
    if (bytes[1] != 5 || bytes[3] != 8) throw fail();
    if (bytes.size() < paletteSize + 1 || bytes[bytes.size() - paletteSize - 1] != 12) throw fail();

    std::array<Color, 256> palette;
    const std::uint8_t* entry = bytes.data() + bytes.size() - paletteSize;
    for (Color& c : palette) {
        c = Color(entry[0], entry[1], entry[2], 0);
        entry += 3;
    }

    const int width = le16(bytes, 8) - le16(bytes, 4) + 1;
    const int height = le16(bytes, 10) - le16(bytes, 6) + 1;
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide ||
        static_cast<long long>(width) * height > maxPixels)
        throw fail();

    // Writers pad each row to an even byte count, so odd widths carry one filler byte a row.
    // Taking the filler as pixels would shear the picture; a smaller field is not trusted.
    const int bytesPerLine = bytes[66] | (bytes[67] << 8);
    const int stride = bytesPerLine > width ? bytesPerLine : width;

    // The runs go on until the last row is full, so every pixel is written.
    auto image = std::make_unique<Image>(width, height, Image::ForOverwrite{});
    ByteStream in(bytes, headerSize);
    Color* row = image->pixels();
    int x = 0;
    int y = 0;
    // A run goes on across row ends (filler included) and stops as soon as the image is full.
    while (y < height) {
        int run = 1;
        std::uint8_t value = in.next();
        if ((value & 0xC0) == 0xC0) {
            run = value & 0x3F;
            value = in.next();
        }
        // The run in stretches up to the row's end, the filler's share of each left unwritten.
        const Color colour = palette[value];
        while (run > 0 && y < height) {
            const int stretch = std::min(run, stride - x);
            if (x < width) std::fill(row + x, row + std::min(x + stretch, width), colour);
            run -= stretch;
            x += stretch;
            if (x == stride) {
                x = 0;
                ++y;
                row += width;
            }
        }
    }
    return image;
}
