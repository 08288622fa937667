#include "platform/Module.h"
#include "raster/LoadError.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The module path the show takes: load, seek as --from does, render a little, read positions.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        Module module("fuzzed.xm", {data, size});
        std::vector<float> buffer(2 * 2048);
        for (int i = 0; i < 4 && module.render(buffer.data(), 2048) == 2048; ++i) (void)module.position();
        if (module.orderCount() > 1) module.seekOrder(1);
        module.render(buffer.data(), 2048);
        (void)module.position();
    } catch (const LoadError&) {
    }
    return 0;
}
