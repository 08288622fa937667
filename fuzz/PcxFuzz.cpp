#include "raster/Image.h"
#include "raster/LoadError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        auto image = Image::decode("fuzz.pcx", {data, size});
        // Touch every pixel, so a size that disagrees with the storage shows.
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < image->pixelCount(); ++i) sum += image->pixels()[i].r;
        (void)sum;
    } catch (const LoadError&) {
    }
    return 0;
}
