#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Writes LightWave objects in the old "LWOB" form: FORM/LWOB holding PNTS, SRFS, POLS (three-
// vertex polygons only) and one SURF with a COLR per surface, in that order. Names are
// zero-terminated and padded to an even length, so every chunk size is even and a reader that
// takes sizes as they stand walks exactly to the FORM's end.
class LwobWriter {
public:
    struct Surface {
        std::string name;  // at most 49 characters, no zero byte
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;
    };
    struct Face {
        std::array<int, 3> points{};  // 0-based point indices, in the order the renderer sees them
        int surface = 0;              // 0-based; written 1-based as the format wants
    };
    struct Object {
        std::vector<std::array<float, 3>> points;
        std::vector<Surface> surfaces;
        std::vector<Face> faces;
    };

    // Throws std::invalid_argument for anything the show's loader would refuse: more points or
    // triangles than Mesh allows, more than 50 surfaces, a name too long, an index or surface
    // out of range.
    static std::vector<std::uint8_t> write(const Object& object);
};
