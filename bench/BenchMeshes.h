#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Objects the benchmarks draw, made in memory so no run depends on the generated data.
namespace bench {

// A cube of side 0.36 with one surface per axis, as LWOB bytes: the loader builds the mesh.
inline std::vector<std::uint8_t> cubeFile() {
    std::vector<std::uint8_t> body;
    auto u16 = [&body](std::uint32_t v) {
        body.push_back(static_cast<std::uint8_t>(v >> 8));
        body.push_back(static_cast<std::uint8_t>(v));
    };
    auto u32 = [&u16](std::uint32_t v) {
        u16(v >> 16);
        u16(v & 0xFFFF);
    };
    auto id = [&body](const char* s) { body.insert(body.end(), s, s + 4); };

    id("PNTS");
    u32(8 * 12);
    for (int k = 0; k < 8; ++k)
        for (int axis = 0; axis < 3; ++axis) {
            const float coordinate = (k >> axis) & 1 ? 0.18f : -0.18f;
            std::uint32_t bits;
            std::memcpy(&bits, &coordinate, sizeof bits);
            u32(bits);
        }
    id("SRFS");
    u32(6);
    for (const char* name : {"X", "Y", "Z"}) body.insert(body.end(), name, name + 2);  // with the zero
    // Corner k has x, y, z from bits 0, 1, 2; each face a quad split in two.
    const std::array<std::array<int, 5>, 6> faces{{{0, 4, 6, 2, 1}, {1, 3, 7, 5, 1}, {0, 1, 5, 4, 2},
                                                   {2, 6, 7, 3, 2}, {0, 2, 3, 1, 3}, {4, 5, 7, 6, 3}}};
    id("POLS");
    u32(12 * 10);
    for (const auto& f : faces) {
        for (const auto& tri : {std::array<int, 3>{f[0], f[1], f[2]}, std::array<int, 3>{f[0], f[2], f[3]}}) {
            u16(3);
            for (int p : tri) u16(static_cast<std::uint32_t>(p));
            u16(static_cast<std::uint32_t>(f[4]));
        }
    }
    const std::array<std::array<std::uint8_t, 3>, 3> colours{{{0, 220, 255}, {255, 40, 190}, {255, 160, 20}}};
    for (int s = 0; s < 3; ++s) {
        id("SURF");
        u32(12);
        body.push_back(static_cast<std::uint8_t>("XYZ"[s]));
        body.push_back(0);
        id("COLR");
        u16(4);
        body.insert(body.end(), colours[static_cast<std::size_t>(s)].begin(), colours[static_cast<std::size_t>(s)].end());
        body.push_back(0);
    }

    std::vector<std::uint8_t> file{'F', 'O', 'R', 'M'};
    const auto size = static_cast<std::uint32_t>(body.size() + 4);
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<std::uint8_t>(size >> shift));
    file.insert(file.end(), {'L', 'W', 'O', 'B'});
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

} // namespace bench
