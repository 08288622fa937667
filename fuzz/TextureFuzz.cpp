#include "raster/Image.h"
#include "raster/LoadError.h"

#include <cstddef>
#include <cstdint>

// Decoding a texture runs its program, so this covers every generator operation too.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        auto image = Image::decode("fuzz.tex", {data, size});
        (void)image;
    } catch (const LoadError&) {
    }
    return 0;
}
