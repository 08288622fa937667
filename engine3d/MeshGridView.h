#pragma once

#include "engine3d/Mesh.h"
#include "engine3d/PosedView.h"

#include <cmath>
#include <string>
#include <vector>

// 13 × 8 copies of one object on a grid 0.6 units apart, riding a diagonal travelling wave
// while the whole grid bobs, each cell turned a little further than its neighbour; faces are lit
// by how squarely they face the eye or away from it, and the grid is outlined in white.
//
// Each cell owns a complete copy of the object, so all 104 can be queued for one flush.
class MeshGridView : public PosedView {
public:
    static constexpr int columns = 13;
    static constexpr int rows = 8;
    static constexpr int cellCount = columns * rows;

    // Loads the object now and gives every cell its own copy; throws LoadError as Mesh::load
    // does, or as Renderer3D::checkWork for an object too costly to draw 104 times. Prints
    // "slut!SLUT" if the copies cannot be allocated, and lets the failure end the program.
    MeshGridView(int width, int height, const DataFolder& data, const std::string& fileName);
    // Where that message goes: standard output, unless a picture is being written there.
    static void messagesToStandardError(bool yes) { messagesToStderr_ = yes; }
    MeshGridView(int width, int height, const Mesh& mesh);

    // setRotation gives the base angles; cell (i, j) turns by (a − 0.12 i, b − 0.06 j, c − 0.04 i).
    // t drives the wave and the bobbing.
    void draw(float t) override;

    // trunc(|255 · n.z|): facing the eye and facing away both light fully.
    static int shadeLevel(float normalZ) { return truncLevel(std::fabs(255.0f * normalZ)); }

    // Cell k = row · 13 + column.
    const Mesh& cell(int k) const { return cells_[static_cast<std::size_t>(k)]; }

private:
    void makeCells(const Mesh& mesh);

    std::vector<Mesh> cells_;
    static inline bool messagesToStderr_ = false;
};
