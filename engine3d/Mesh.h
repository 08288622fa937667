#pragma once

#include "engine3d/Vector3.h"
#include "raster/Color.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class DataFolder;

// One surface of an object file: the name ties the file's polygons and colour description
// together while loading; the colour is all the renderer uses (alpha 0, all zero when the file
// gives none).
struct Surface {
    std::string name;
    Color color;
};

// A three-vertex polygon of a Mesh. Its pointers lead into the owning mesh's own arrays, which
// are never reallocated after loading, so a triangle is valid as long as its mesh.
struct Triangle {
    std::array<const Vector3*, 3> vertex{};  // into Mesh::points, in file order
    std::array<Vector3*, 3> viewVertex{};    // the same indices into Mesh::viewPoints
    const Surface* surface = nullptr;
    Vector3 normal;  // this frame's unit face normal
    Color shade;     // this frame's lit colour, set by the views, read by the renderer

    // (R − P) × (Q − P) of the view points before projection, normalised: the inward normal
    // of a triangle whose file order makes (Q − P) × (R − P) point out of the object, so a face
    // turned toward the eye gets z > 0, which the views light fully. Collinear points give a
    // non-finite normal.
    void computeNormal() {
        const Vector3& p = *viewVertex[0];
        const Vector3& q = *viewVertex[1];
        const Vector3& r = *viewVertex[2];
        const Vector3 a = r - p;
        const Vector3 b = q - p;
        normal = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
        normal.normalize();
    }
};

// A LightWave object (the old "LWOB" form) as the show draws it: point positions, the
// triangles, and each surface's base colour. Everything else in the file is skipped, polygons
// with other than three vertices included.
//
// Copies are complete and independent: a copy's triangles refer to the copy's own arrays.
class Mesh {
public:
    Mesh() = default;
    Mesh(const Mesh& other);
    Mesh& operator=(const Mesh& other);
    // Moving keeps every array where it is, so triangles stay valid.
    Mesh(Mesh&&) noexcept = default;
    Mesh& operator=(Mesh&&) noexcept = default;

    // Replaces this mesh with the object in the named file of the data folder. Throws
    // LoadError with the name as passed and a lower-case message: "could not open file" (also
    // for a file over AssetFile::maxBytes), "not an lightwave object file", or one of decode's
    // refusals.
    void load(const DataFolder& data, const std::string& fileName);

    // The same on bytes in memory; name only labels errors. Besides the header message it
    // refuses, rather than trusting, what would make the object unsafe to draw:
    //   "corrupt lightwave object file"  a chunk, sub-chunk, polygon or name runs past its
    //                                    chunk or the file, the file ends before its FORM
    //                                    size, a sub-chunk length is negative, a COLR holds
    //                                    fewer than three bytes
    //   "point index out of range"       a triangle names a point the object lacks
    //   "surface number out of range"    a triangle's surface is 0, a detail-polygon marker,
    //                                    or past the named surfaces
    //   "polygons before points or surface names"
    //                                    a POLS chunk before PNTS or SRFS, or either after it
    //   "too many surfaces"              more than 50 names
    //   "surface name too long"          a name of more than 49 characters
    //   "more than 16384 points"         points past maxPoints, or triangles past maxTriangles:
    //   "more than 8192 triangles"       every view transforms and draws them all each frame
    static Mesh decode(const std::string& name, std::span<const std::uint8_t> bytes);

    static constexpr int maxSurfaces = 50;
    static constexpr int maxNameLength = 49;
    // Many times what any object the show or other programs' sample files hold (584 triangles
    // and 2424 points at most), and few enough that a frame of them stays short.
    static constexpr int maxPoints = 16384;
    static constexpr int maxTriangles = 8192;

    // The name the object was decoded under, for refusals made after loading; empty for a mesh
    // made in memory.
    const std::string& name() const { return name_; }

    int pointCount() const { return static_cast<int>(points_.size()); }
    int surfaceCount() const { return static_cast<int>(surfaces_.size()); }
    int triangleCount() const { return static_cast<int>(triangles_.size()); }

    std::span<const Vector3> points() const { return points_; }
    // The views' working storage: every entry is written each frame before it is read.
    std::span<Vector3> viewPoints() { return viewPoints_; }
    std::span<const Vector3> viewPoints() const { return viewPoints_; }
    std::span<const Surface> surfaces() const { return surfaces_; }
    std::span<Triangle> triangles() { return triangles_; }
    std::span<const Triangle> triangles() const { return triangles_; }

private:
    std::string name_;
    std::vector<Vector3> points_;
    std::vector<Vector3> viewPoints_;
    std::vector<Surface> surfaces_;
    std::vector<Triangle> triangles_;
};
