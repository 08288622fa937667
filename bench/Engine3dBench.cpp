// One frame of the scene-5 cube grid: 104 cubes transformed, shaded, projected and queued,
// then one flush (clear and rasterise) and the outline pass, into a 600 × 300 view. Read it as
// a ratio to BM_Memcpy of the same run.

#include "engine3d/MeshGridView.h"

#include <benchmark/benchmark.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// A cube of side 0.36 with one surface per axis, as LWOB bytes: the loader builds the mesh.
std::vector<std::uint8_t> cubeFile() {
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
        for (int axis = 0; axis < 3; ++axis) u32(std::bit_cast<std::uint32_t>((k >> axis) & 1 ? 0.18f : -0.18f));
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

void BM_MeshGridView(benchmark::State& state) {
    MeshGridView grid(600, 300, Mesh::decode("cube.lwo", cubeFile()));
    float s = 0.0f;
    for (auto _ : state) {
        // The scene's own motion, one 60 Hz frame apart, so every frame shows a different grid.
        grid.setRotation(float(3 * std::sin(0.6 * s)), float(0.3 * std::sin(9 * s)), float(2 * std::sin(1.3 * s)));
        grid.draw(s);
        s += 1.0f / 60.0f;
        benchmark::DoNotOptimize(grid.pixels());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * MeshGridView::cellCount);
}

} // namespace

BENCHMARK(BM_MeshGridView);
