#include "raster/LoadError.h"
#include "raster/TextureGenerator.h"

#include <cstddef>
#include <cstdint>

// Decoding a texture runs its program, so this covers every generator operation too. The work
// budget, 65536 texel visits, is what reaching every operation's branches takes: each turns on a
// parameter or a side (a side of 4096, on a texture one texel thin, is also too far across for
// the distance tables), never on a large image or a long program, so more would only spend the
// fuzzer's time on the same branches in larger images. (The plasma's path for over 2^20
// wave-columns is beyond any program: 255 waves across 4096 columns fall short of it.)
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr long long budget = 1LL << 16;
    try {
        auto image = TextureGenerator::decode("fuzz.tex", {data, size}, budget);
        (void)image;
    } catch (const LoadError&) {
    }
    return 0;
}
