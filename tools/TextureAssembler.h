#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Turns a texture program's readable source into the ".tex" bytes the show loads.
//
// One statement a line; "#" starts a comment. The first statement gives the size:
//     texture 256 256
// then one generator operation a line, named as the generator names it, each parameter given
// by name in any order and every one present:
//     plasma red=40 green=60 blue=200 maxFreqX=3 maxFreqY=3 minAmp=40 maxAmp=90 waves=4 seed=11
//     blur passes=2
// Values are checked against their field's range (0..255, -128..127, 0..65535 or 32-bit); the
// range each parameter means something in, and its unit, is what operations() lists.
class TextureAssembler {
public:
    // The size a texture must have because of what reads it, e.g. 256 × 256 for "the wave warp".
    struct Need {
        int width;
        int height;
        std::string reader;
    };

    // Throws std::runtime_error "name:line: reason" for anything it cannot assemble, and for a
    // size other than the one needed (at the line that gives the size).
    static std::vector<std::uint8_t> assemble(const std::string& source, const std::string& name,
                                              const std::optional<Need>& need = std::nullopt);

    // Every operation with its parameters, their ranges and what it does, from the table the
    // assembler and the generator share.
    static std::string operations();
};
