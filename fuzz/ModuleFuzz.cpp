#include "platform/Module.h"
#include "raster/LoadError.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The module path the show takes: load, seek as --from does, render a little, read positions.
// The player is libopenmpt built with the fuzzer's coverage, so its loaders for every format it
// knows are fuzzed too. A new player an input, as the library loads a module only on making one;
// the buffer is kept, and so are the player's large blocks (KeptBlocks.cpp). Five short renders,
// 2,560 frames, bound the ticks an input plays (two dozen at the fastest classic tempo, where the
// old target's 12,288 frames made over a hundred); the first tick of a row does most of the
// player's work (notes, effects, the pattern's commands).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t frames = 512;
    static std::vector<float> buffer(2 * frames);
    try {
        Module module("fuzzed.xm", {data, size});
        for (int i = 0; i < 4 && module.render(buffer.data(), frames) == frames; ++i) (void)module.position();
        if (module.orderCount() > 1) module.seekOrder(1);
        module.render(buffer.data(), frames);
        (void)module.position();
    } catch (const LoadError&) {
    }
    return 0;
}
