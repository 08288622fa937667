#include "engine3d/Mesh.h"
#include "engine3d/MeshGridView.h"
#include "engine3d/MeshView.h"
#include "engine3d/WobbleView.h"
#include "raster/LoadError.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

// An object drawn through every view in any pose. The first 28 bytes are seven floats (three
// angles, a position, the time, the wobble's amplitude), taken bit for bit, so huge, infinite
// and NaN values come up as readily as the show's own; the rest is the object file. The views
// are small so a frame's cost is that of its triangles, which the loader and the grid bound.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t poseBytes = 7 * sizeof(float);
    if (size < poseBytes) return 0;
    std::array<float, 7> pose;
    std::memcpy(pose.data(), data, poseBytes);
    const auto [a, b, c, at, t, amplitude, spare] = pose;
    try {
        Mesh mesh = Mesh::decode("fuzz.lwo", {data + poseBytes, size - poseBytes});
        MeshView view(96, 48, mesh);
        view.setRotation(a, b, c);
        view.setPosition(at, spare, at + 2.0f);
        view.draw(t);
        WobbleView wobble(48, 96, mesh);
        wobble.setRotation(c, a, b);
        wobble.setAmplitude(amplitude);
        wobble.draw(t);
        wobble.outline();
        MeshGridView grid(120, 60, mesh);
        grid.setRotation(a, b, c);
        grid.draw(t);
    } catch (const LoadError&) {
    }
    return 0;
}
