#include "raster/LoadError.h"
#include "raster/TextureGenerator.h"

#include <cstddef>
#include <cstdint>

// Decoding a texture runs its program, so this covers every generator operation too. The work
// budget is a sixty-fourth of a real load's: under the sanitizers a program at the full budget
// runs for about twenty seconds, which would spend the fuzzer's time on one input (and trip its
// timeout) without reaching any code a cheaper program does not.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        auto image = TextureGenerator::decode("fuzz.tex", {data, size}, TextureGenerator::maxWork / 64);
        (void)image;
    } catch (const LoadError&) {
    }
    return 0;
}
