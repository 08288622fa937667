#include "raster/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace {

// libpng reports errors by longjmp; this function holds nothing that needs a destructor, so
// the jump back is safe. Returns false on any failure.
bool writeRows(std::FILE* file, int width, int height, bool alpha, int level, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, level);
    // At the fast level, filtering costs more time than it saves space on these pictures.
    if (level <= PngWriter::fast) png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

void PngWriter::write(const std::filesystem::path& path, const Image& image, Channels channels, int compressionLevel) {
    const bool alpha = channels == Channels::rgba;
    const std::size_t bytesPerPixel = alpha ? 4 : 3;
    std::vector<png_byte> bytes(image.pixelCount() * bytesPerPixel);
    png_byte* out = bytes.data();
    const Color* in = image.pixels();
    for (std::size_t i = 0; i < image.pixelCount(); ++i) {
        *out++ = in[i].r;
        *out++ = in[i].g;
        *out++ = in[i].b;
        if (alpha) *out++ = in[i].a;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = bytes.data() + y * image.width() * bytesPerPixel;

    const std::filesystem::path partial = path.string() + ".partial";
    std::FILE* file = std::fopen(partial.string().c_str(), "wb");
    if (!file) throw std::runtime_error(path.string() + ": cannot write the picture (" + std::strerror(errno) + ")");
    const bool written = writeRows(file, image.width(), image.height(), alpha, compressionLevel, rows.data());
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (!written || !closed) {
        std::filesystem::remove(partial, ec);
        throw std::runtime_error(path.string() + ": cannot write the picture");
    }
    std::filesystem::rename(partial, path, ec);
    if (ec) {
        std::filesystem::remove(partial, ec);
        throw std::runtime_error(path.string() + ": cannot write the picture (" + ec.message() + ")");
    }
}
