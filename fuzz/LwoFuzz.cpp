#include "engine3d/Mesh.h"
#include "engine3d/MeshGridView.h"
#include "engine3d/MeshView.h"
#include "engine3d/WobbleView.h"
#include "raster/LoadError.h"

#include <cstddef>
#include <cstdint>

// Loads the object, then draws it through the three views, so what the loader accepts must
// also be safe to transform, project, rasterise and outline. The grid comes last: it refuses
// an object too costly to draw 104 times, which the other two still draw.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        Mesh mesh = Mesh::decode("fuzz.lwo", {data, size});
        MeshView view(64, 48, mesh);
        view.setRotation(0.3f, -0.7f, 1.1f);
        view.draw(0.0f);
        WobbleView wobble(48, 64, mesh);
        wobble.draw(1.5f);
        wobble.outline();
        MeshGridView grid(52, 32, mesh);
        grid.setRotation(1.0f, 0.2f, -0.5f);
        grid.draw(0.7f);
    } catch (const LoadError&) {
    }
    return 0;
}
