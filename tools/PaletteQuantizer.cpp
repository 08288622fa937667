#include "tools/PaletteQuantizer.h"

#include <libimagequant.h>

#include <memory>
#include <stdexcept>

namespace {
struct AttrDeleter {
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
};
struct ImageDeleter {
    void operator()(liq_image* p) const { liq_image_destroy(p); }
};
struct ResultDeleter {
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};
} // namespace

PaletteQuantizer::Result PaletteQuantizer::quantize(const std::vector<std::uint8_t>& rgba, int width, int height,
                                                    const Options& options) {
    std::unique_ptr<liq_attr, AttrDeleter> attr(liq_attr_create());
    if (!attr) throw std::runtime_error("quantiser: cannot start");
    liq_set_max_colors(attr.get(), 256);
    // Slowest speed: best palette; the generator runs once per build.
    liq_set_speed(attr.get(), 1);
    std::unique_ptr<liq_image, ImageDeleter> image(liq_image_create_rgba(attr.get(), rgba.data(), width, height, 0));
    if (!image) throw std::runtime_error("quantiser: bad picture");
    for (std::uint32_t c : options.fixed) {
        liq_color fixed{static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 8),
                        static_cast<unsigned char>(c), 255};
        liq_image_add_fixed_color(image.get(), fixed);
    }
    liq_result* raw = nullptr;
    if (liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK) throw std::runtime_error("quantiser: failed");
    std::unique_ptr<liq_result, ResultDeleter> result(raw);
    liq_set_dithering_level(result.get(), options.dithering);

    Result out;
    out.indices.resize(static_cast<std::size_t>(width) * height);
    if (liq_write_remapped_image(result.get(), image.get(), out.indices.data(), out.indices.size()) != LIQ_OK)
        throw std::runtime_error("quantiser: remapping failed");
    const liq_palette* pal = liq_get_palette(result.get());
    for (unsigned i = 0; i < pal->count; ++i) {
        out.palette[3 * i] = pal->entries[i].r;
        out.palette[3 * i + 1] = pal->entries[i].g;
        out.palette[3 * i + 2] = pal->entries[i].b;
    }
    return out;
}
