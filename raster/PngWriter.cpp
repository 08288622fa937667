#include "raster/PngWriter.h"

#include "raster/OutputFile.h"

#include <libdeflate.h>
#if __has_include(<isa-l/igzip_lib.h>)
#include <isa-l/igzip_lib.h>
#define TINDREL_ISAL 1
#else
// ISA-L is x86 and ARM assembly; elsewhere (WebAssembly) libdeflate's level 1 stands in.
#define TINDREL_ISAL 0
#endif

#include <array>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::array<std::uint8_t, 8> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr std::size_t chunkOverhead = 12;  // length, type, CRC
constexpr std::size_t headerData = 13;

enum Filter : std::uint8_t { none, sub, up, average, paeth };

void put32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

// Writes a chunk's length and type before data, which is already in place, and its CRC after.
// Returns the position past the chunk.
std::size_t closeChunk(std::uint8_t* file, std::size_t start, const char* type, std::size_t dataSize) {
    put32(file + start, static_cast<std::uint32_t>(dataSize));
    std::memcpy(file + start + 4, type, 4);
    const std::uint32_t crc = libdeflate_crc32(0, file + start + 4, 4 + dataSize);
    put32(file + start + 8 + dataSize, crc);
    return start + chunkOverhead + dataSize;
}

// A row of pixels in the file's byte order.
void unpackRow(const Color* in, int width, bool alpha, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        *out++ = in[x].r;
        *out++ = in[x].g;
        *out++ = in[x].b;
        if (alpha) *out++ = in[x].a;
    }
}

// Every row predicted from the one above, converted and filtered in one pass: on the show's
// frames this shrinks the file more than it costs, where trying each filter per row would not pay.
void filterUp(const Image& image, bool alpha, std::uint8_t* out) {
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const Color* row = image.pixels() + static_cast<std::size_t>(y) * width;
        *out++ = up;
        if (y == 0) {  // the row above the first is zeros
            unpackRow(row, width, alpha, out);
            out += static_cast<std::size_t>(width) * (alpha ? 4 : 3);
            continue;
        }
        const Color* above = row - width;
        for (int x = 0; x < width; ++x) {
            *out++ = static_cast<std::uint8_t>(row[x].r - above[x].r);
            *out++ = static_cast<std::uint8_t>(row[x].g - above[x].g);
            *out++ = static_cast<std::uint8_t>(row[x].b - above[x].b);
            if (alpha) *out++ = static_cast<std::uint8_t>(row[x].a - above[x].a);
        }
    }
}

std::uint8_t paethPredictor(int left, int above, int aboveLeft) {
    const int toLeft = std::abs(above - aboveLeft);
    const int toAbove = std::abs(left - aboveLeft);
    const int toAboveLeft = std::abs(left + above - 2 * aboveLeft);
    if (toLeft <= toAbove && toLeft <= toAboveLeft) return static_cast<std::uint8_t>(left);
    return static_cast<std::uint8_t>(toAbove <= toAboveLeft ? above : aboveLeft);
}

// Each row with the filter whose output, read as signed bytes, sums smallest in magnitude:
// libpng's choice, which suits pictures with smooth gradients as well as flat ones.
void filterAdaptive(const Image& image, bool alpha, std::uint8_t* out) {
    const std::size_t bpp = alpha ? 4 : 3;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * bpp;
    std::vector<std::uint8_t> above(rowBytes, 0);  // zeros above the first row
    std::vector<std::uint8_t> row(rowBytes);
    std::array<std::vector<std::uint8_t>, 5> candidates;
    for (auto& c : candidates) c.resize(rowBytes);
    for (int y = 0; y < image.height(); ++y) {
        unpackRow(image.pixels() + static_cast<std::size_t>(y) * image.width(), image.width(), alpha, row.data());
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int left = i >= bpp ? row[i - bpp] : 0;
            const int aboveLeft = i >= bpp ? above[i - bpp] : 0;
            candidates[none][i] = row[i];
            candidates[sub][i] = static_cast<std::uint8_t>(row[i] - left);
            candidates[up][i] = static_cast<std::uint8_t>(row[i] - above[i]);
            candidates[average][i] = static_cast<std::uint8_t>(row[i] - (left + above[i]) / 2);
            candidates[paeth][i] = static_cast<std::uint8_t>(row[i] - paethPredictor(left, above[i], aboveLeft));
        }
        std::size_t best = 0;
        std::uint64_t bestCost = UINT64_MAX;
        for (std::size_t f = 0; f < candidates.size(); ++f) {
            std::uint64_t cost = 0;
            for (const std::uint8_t v : candidates[f]) cost += v < 128 ? v : 256 - v;
            if (cost < bestCost) best = f, bestCost = cost;
        }
        *out++ = static_cast<std::uint8_t>(best);
        std::memcpy(out, candidates[best].data(), rowBytes);
        out += rowBytes;
        std::swap(above, row);
    }
}

#if TINDREL_ISAL
// Compressed scanlines in the zlib format, written at out; returns their size, 0 when they do
// not fit in capacity.
std::size_t deflateFast(const std::vector<std::uint8_t>& scanlines, std::uint8_t* out, std::size_t capacity) {
    // Kept per thread: a capture's workers compress frame after frame.
    thread_local std::vector<std::uint8_t> levelBuffer(ISAL_DEF_LVL1_DEFAULT);
    isal_zstream stream;
    isal_deflate_stateless_init(&stream);
    stream.level = 1;
    stream.level_buf = levelBuffer.data();
    stream.level_buf_size = static_cast<std::uint32_t>(levelBuffer.size());
    stream.gzip_flag = IGZIP_ZLIB;
    stream.end_of_stream = 1;
    stream.flush = NO_FLUSH;
    stream.next_in = const_cast<std::uint8_t*>(scanlines.data());
    stream.avail_in = static_cast<std::uint32_t>(scanlines.size());
    stream.next_out = out;
    stream.avail_out = static_cast<std::uint32_t>(capacity);
    if (isal_deflate_stateless(&stream) != COMP_OK) return 0;
    return stream.total_out;
}
#endif

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
using Compressor = std::unique_ptr<libdeflate_compressor, CompressorFree>;

} // namespace

std::vector<std::uint8_t> PngWriter::encode(const Image& image, Channels channels, int compressionLevel) {
    if (compressionLevel < 1 || compressionLevel > 12)
        throw std::invalid_argument("PNG compression level " + std::to_string(compressionLevel) +
                                    " is outside 1 to 12");
    const bool alpha = channels == Channels::rgba;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * (alpha ? 4 : 3);
    const std::size_t scanlineBytes = (rowBytes + 1) * static_cast<std::size_t>(image.height());
    thread_local std::vector<std::uint8_t> scanlines;
    scanlines.resize(scanlineBytes);
    if (compressionLevel == fast) filterUp(image, alpha, scanlines.data());
    else filterAdaptive(image, alpha, scanlines.data());
    Compressor compressor;
    // Incompressible data goes into stored blocks: five bytes of header for every 64 KiB.
    std::size_t capacity = scanlineBytes + scanlineBytes / 8 + 1024;
    if (!TINDREL_ISAL || compressionLevel != fast) {
        compressor.reset(libdeflate_alloc_compressor(compressionLevel));
        if (!compressor) throw std::bad_alloc();
        capacity = libdeflate_zlib_compress_bound(compressor.get(), scanlineBytes);
    }

    const std::size_t idat = signature.size() + chunkOverhead + headerData;
    std::vector<std::uint8_t> file(idat + chunkOverhead + capacity + chunkOverhead);
    std::memcpy(file.data(), signature.data(), signature.size());
    std::uint8_t* header = file.data() + signature.size() + 8;
    put32(header, static_cast<std::uint32_t>(image.width()));
    put32(header + 4, static_cast<std::uint32_t>(image.height()));
    header[8] = 8;                // bits per channel
    header[9] = alpha ? 6 : 2;    // truecolour, with or without alpha
    header[10] = header[11] = header[12] = 0;  // deflate, adaptive filtering, not interlaced
    closeChunk(file.data(), signature.size(), "IHDR", headerData);

    std::uint8_t* data = file.data() + idat + 8;
#if TINDREL_ISAL
    const std::size_t compressed =
        compressor ? libdeflate_zlib_compress(compressor.get(), scanlines.data(), scanlineBytes, data, capacity)
                   : deflateFast(scanlines, data, capacity);
#else
    const std::size_t compressed = libdeflate_zlib_compress(compressor.get(), scanlines.data(), scanlineBytes, data, capacity);
#endif
    if (compressed == 0) throw std::runtime_error("the picture's rows did not fit the compressor's bound");
    const std::size_t end = closeChunk(file.data(), idat, "IDAT", compressed);
    file.resize(closeChunk(file.data(), end, "IEND", 0));
    return file;
}

void PngWriter::write(const std::filesystem::path& path, const Image& image, Channels channels, int compressionLevel) {
    // Encoded whole before anything is opened: a failure then leaves the output untouched, and
    // a FIFO's reader never sees half a picture.
    const std::vector<std::uint8_t> bytes = encode(image, channels, compressionLevel);
    OutputFile::writeWhole(path, bytes.data(), bytes.size(), "the picture");
}
