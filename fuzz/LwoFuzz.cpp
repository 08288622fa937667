#include "engine3d/Mesh.h"
#include "engine3d/MeshView.h"
#include "engine3d/WobbleView.h"
#include "raster/LoadError.h"

#include <cstddef>
#include <cstdint>

// Loads the object, then draws it through two views, so what the loader accepts must also be
// safe to transform, project, rasterise and outline.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        Mesh mesh = Mesh::decode("fuzz.lwo", {data, size});
        MeshView view(64, 48, mesh);
        view.setRotation(0.3f, -0.7f, 1.1f);
        view.draw(0.0f);
        WobbleView wobble(48, 64, std::move(mesh));
        wobble.draw(1.5f);
        wobble.outline();
    } catch (const LoadError&) {
    }
    return 0;
}
