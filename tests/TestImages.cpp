#include "TestImages.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <stdexcept>

namespace TestImages {

std::unique_ptr<Image> make(int width, int height, const std::vector<Color>& pixels) {
    auto img = std::make_unique<Image>(width, height);
    for (std::size_t i = 0; i < pixels.size() && i < img->pixelCount(); ++i) img->pixels()[i] = pixels[i];
    return img;
}

std::vector<Color> pixelsOf(const Image& image) {
    return std::vector<Color>(image.pixels(), image.pixels() + image.pixelCount());
}

std::uint32_t checksum(const Image& image) {
    return static_cast<std::uint32_t>(crc32_z(crc32_z(0, Z_NULL, 0), reinterpret_cast<const Bytef*>(image.pixels()),
                                              image.pixelCount() * sizeof(Color)));
}

std::string hex(std::uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

Color Png::at(int x, int y) const {
    const std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    return Color(p[0], p[1], p[2], p[3]);
}

Png readPng(const std::filesystem::path& path) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.string().c_str()))
        throw std::runtime_error("cannot read " + path.string());
    Png out;
    out.hasAlpha = (img.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    img.format = PNG_FORMAT_RGBA;
    out.width = static_cast<int>(img.width);
    out.height = static_cast<int>(img.height);
    out.rgba.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, out.rgba.data(), 0, nullptr))
        throw std::runtime_error("cannot decode " + path.string());
    return out;
}

std::filesystem::path scratch(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / ("tindrel-test-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

} // namespace TestImages
