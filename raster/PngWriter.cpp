#include "raster/PngWriter.h"

#include "raster/OutputFile.h"

#include <png.h>

#include <new>
#include <stdexcept>
#include <vector>

namespace {

extern "C" void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto& out = *static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    bool grown = true;
    try {
        out.insert(out.end(), data, data + length);
    } catch (const std::bad_alloc&) {
        grown = false;
    }
    // An exception must not cross libpng; its own way out is the longjmp.
    if (!grown) png_error(png, "out of memory");
}

extern "C" void flushNothing(png_structp) {}

// libpng reports errors by longjmp; this function holds nothing that needs a destructor, so
// the jump back is safe. Returns false on any failure.
bool writeRows(std::vector<unsigned char>& file, int width, int height, bool alpha, int level, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &file, appendBytes, flushNothing);
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

bool encode(std::vector<unsigned char>& file, const Image& image, PngWriter::Channels channels, int compressionLevel) {
    const bool alpha = channels == PngWriter::Channels::rgba;
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

    return writeRows(file, image.width(), image.height(), alpha, compressionLevel, rows.data());
}

} // namespace

void PngWriter::write(const std::filesystem::path& path, const Image& image, Channels channels, int compressionLevel) {
    // Encoded whole before anything is opened: a failure then leaves the output untouched, and
    // a FIFO's reader never sees half a picture.
    std::vector<unsigned char> file;
    if (!encode(file, image, channels, compressionLevel))
        throw std::runtime_error(path.string() + ": cannot write the picture");
    OutputFile::writeWhole(path, file.data(), file.size(), "the picture");
}
