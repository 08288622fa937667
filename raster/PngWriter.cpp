#include "raster/PngWriter.h"

#include <png.h>

#include <stdexcept>
#include <vector>

void PngWriter::write(const std::filesystem::path& path, const Image& image, Channels channels) {
    const bool alpha = channels == Channels::rgba;
    const int bytesPerPixel = alpha ? 4 : 3;
    std::vector<png_byte> bytes(image.pixelCount() * bytesPerPixel);
    png_byte* out = bytes.data();
    const Color* in = image.pixels();
    for (std::size_t i = 0; i < image.pixelCount(); ++i) {
        *out++ = in[i].r;
        *out++ = in[i].g;
        *out++ = in[i].b;
        if (alpha) *out++ = in[i].a;
    }

    // The simplified interface reports failure by its result, with no longjmp to guard against.
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    const std::string name = path.string();
    const int ok = png_image_write_to_file(&png, name.c_str(), 0, bytes.data(), 0, nullptr);
    const std::string reason = png.message;
    png_image_free(&png);
    if (!ok) throw std::runtime_error(name + ": cannot write the picture (" + reason + ")");
}
