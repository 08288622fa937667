// The music as the page's audio worklet plays it, rendered on the desktop: blocks of 128 frames,
// the position read before each, the block the music ends in padded with silence. Writes the samples (32-bit floats, interleaved stereo) to a
// file and prints each change of position as "FRAME ORDER ROW", the end as "FRAME end". The
// music's test holds the browser's build of the same code to these, byte for byte.
#include "platform/Module.h"
#include "raster/DataFolder.h"
#include "raster/LoadError.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: tindrel-music-trace MODULE SAMPLES\n", stderr);
        return 2;
    }
    try {
        const std::vector<std::uint8_t> bytes = DataFolder().read(argv[1]);
        Module module(argv[1], bytes);
        std::ofstream samples(argv[2], std::ios::binary);
        constexpr std::size_t block = 128;
        std::array<float, 2 * block> buffer{};
        std::uint64_t frame = 0;
        std::optional<std::uint32_t> last;
        for (;;) {
            const std::uint32_t position = module.position();
            if (position != last) {
                if (position == Module::endPosition) std::printf("%llu end\n", static_cast<unsigned long long>(frame));
                else
                    std::printf("%llu %u %u\n", static_cast<unsigned long long>(frame), position & 0xFFFFu, position >> 16);
                last = position;
            }
            if (module.ended()) break;
            // The last block is filled with silence, and takes its whole time, as it does in the worklet.
            module.render(buffer.data(), block);
            samples.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(sizeof buffer));
            frame += block;
        }
        if (!samples) {
            std::fprintf(stderr, "tindrel-music-trace: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const LoadError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
