#include "SharedTestData.h"
#include "TestImages.h"
#include "engine3d/Mesh.h"
#include "engine3d/MeshView.h"
#include "raster/BitCast.h"
#include "raster/DataFolder.h"
#include "raster/LoadError.h"
#include "tools/LwobWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes u16(int v) { return {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)}; }
Bytes u32(std::uint32_t v) { return u16(static_cast<int>(v >> 16)) + u16(static_cast<int>(v & 0xFFFF)); }
Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes words(std::initializer_list<int> ws) {
    Bytes b;
    for (int w : ws) b = b + u16(w);
    return b;
}
// A name as the format stores it: its zero byte, then a filler when that makes an odd count.
Bytes name(const std::string& s) { return text(s) + Bytes(s.size() % 2 == 0 ? 2 : 1, 0); }
Bytes chunk(const char* id, const Bytes& data) { return text(id) + u32(static_cast<std::uint32_t>(data.size())) + data; }
Bytes sub(const char* id, const Bytes& data) { return text(id) + u16(static_cast<int>(data.size())) + data; }
Bytes lwob(const Bytes& chunks) { return text("FORM") + u32(static_cast<std::uint32_t>(chunks.size() + 4)) + text("LWOB") + chunks; }
// n points (k, k + 0.5, −k), each coordinate recognisable.
Bytes points(int n) {
    Bytes b;
    for (int k = 0; k < n; ++k)
        for (float v : {float(k), float(k) + 0.5f, -float(k)}) b = b + u32(bitCast<std::uint32_t>(v));
    return b;
}

const Bytes threePoints = chunk("PNTS", points(3));
const Bytes oneName = chunk("SRFS", name("Red"));
const Bytes oneTriangle = chunk("POLS", words({3, 0, 1, 2, 1}));

std::string loadError(const Bytes& bytes) {
    try {
        Mesh::decode("obj.lwo", bytes);
    } catch (const LoadError& e) {
        return e.what();
    }
    return "no error";
}

int indexOf(const Mesh& mesh, const Vector3* p) { return static_cast<int>(p - mesh.points().data()); }

} // namespace

TEST(LwoLoader, ReadsPointsNamesTrianglesAndColours) {
    const Bytes file = lwob(chunk("PNTS", points(3) + Bytes{9, 9, 9, 9})  // 40 bytes: the last 4 skipped
                            + chunk("JUNK", Bytes(6, 0xEE))                // unknown: skipped by its size
                            // "Blue" + zero is 5 bytes and takes a filler; "Red" + zero takes none.
                            + chunk("SRFS", name("Blue") + name("Red") + name("Grey"))
                            + chunk("POLS", words({4, 0, 1, 2, 0, 1,  // a quadrilateral: dropped
                                                   3, 2, 1, 0, 2,     // a triangle on "Red"
                                                   3, 0, 0, 1, 1}))
                            + chunk("SURF", name("Red") + sub("FLAG", u16(0)) + sub("COLR", {200, 100, 50, 0}))
                            + chunk("SURF", name("Blue") + sub("DIFF", u16(1))));  // no COLR
    const Mesh mesh = Mesh::decode("obj.lwo", file);

    ASSERT_EQ(mesh.pointCount(), 3);
    EXPECT_EQ(mesh.points()[2], Vector3(2.0f, 2.5f, -2.0f));
    EXPECT_EQ(mesh.viewPoints().size(), 3u);

    ASSERT_EQ(mesh.surfaceCount(), 3);
    EXPECT_EQ(mesh.surfaces()[0].name, "Blue");
    EXPECT_EQ(mesh.surfaces()[1].name, "Red");
    EXPECT_EQ(mesh.surfaces()[2].name, "Grey");
    EXPECT_EQ(mesh.surfaces()[0].color, Color(0, 0, 0, 0));
    EXPECT_EQ(mesh.surfaces()[1].color, Color(200, 100, 50, 0));
    EXPECT_EQ(mesh.surfaces()[2].color, Color(0, 0, 0, 0));

    ASSERT_EQ(mesh.triangleCount(), 2);
    const Triangle& t = mesh.triangles()[0];
    EXPECT_EQ(indexOf(mesh, t.vertex[0]), 2);
    EXPECT_EQ(indexOf(mesh, t.vertex[1]), 1);
    EXPECT_EQ(indexOf(mesh, t.vertex[2]), 0);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(t.viewVertex[k] - mesh.viewPoints().data(), t.vertex[k] - mesh.points().data());
    EXPECT_EQ(t.surface, &mesh.surfaces()[1]);
    EXPECT_EQ(mesh.triangles()[1].surface, &mesh.surfaces()[0]);  // surface number 1 is the first name
}

TEST(LwoLoader, KeepsWholePointsOfThePointChunk) {
    for (const auto& [bytes, count] : std::vector<std::pair<int, int>>{{0, 0}, {11, 0}, {12, 1}, {36, 3}, {40, 3}}) {
        Bytes data = points(4);
        data.resize(static_cast<std::size_t>(bytes));
        EXPECT_EQ(Mesh::decode("obj.lwo", lwob(chunk("PNTS", data))).pointCount(), count) << bytes;
    }
}

TEST(LwoLoader, LoadsHarmlessOddities) {
    struct Case {
        const char* what;
        Bytes file;
        std::function<void(const Mesh&)> check;
    };
    Bytes manyNames;
    for (int k = 0; k < 50; ++k) manyNames = manyNames + name("s" + std::to_string(k));
    const Case cases[] = {
        {"a form with no chunks is an object with nothing to draw", lwob({}),
         [](const Mesh& m) { EXPECT_EQ(m.pointCount() + m.surfaceCount() + m.triangleCount(), 0); }},
        {"a SURF with only its name", lwob(oneName + chunk("SURF", name("Red"))),
         [](const Mesh& m) { EXPECT_EQ(m.surfaces()[0].color, Color()); }},
        {"a SURF for a name no polygon can use", lwob(oneName + chunk("SURF", name("Blue") + sub("COLR", {1, 2, 3, 0}))),
         [](const Mesh& m) { EXPECT_EQ(m.surfaces()[0].color, Color()); }},
        {"a COLR without its unused fourth byte", lwob(oneName + chunk("SURF", name("Red") + sub("COLR", {1, 2, 3}))),
         [](const Mesh& m) { EXPECT_EQ(m.surfaces()[0].color, Color(1, 2, 3, 0)); }},
        {"bytes after the FORM", lwob(threePoints) + Bytes{1, 2, 3},
         [](const Mesh& m) { EXPECT_EQ(m.pointCount(), 3); }},
        {"a last name whose filler byte the chunk leaves out", lwob(chunk("SRFS", name("Red") + text("Blue") + Bytes{0})),
         [](const Mesh& m) { EXPECT_EQ(m.surfaces()[1].name, "Blue"); }},
        {"50 names", lwob(chunk("SRFS", manyNames)), [](const Mesh& m) { EXPECT_EQ(m.surfaceCount(), 50); }},
        {"a name of 49 characters", lwob(chunk("SRFS", name(std::string(49, 'n')))),
         [](const Mesh& m) { EXPECT_EQ(m.surfaces()[0].name.size(), 49u); }},
        {"a repeated polygon chunk replaces the triangles",
         lwob(threePoints + oneName + oneTriangle + chunk("POLS", words({3, 1, 1, 1, 1, 3, 2, 2, 2, 1}))),
         [](const Mesh& m) {
             ASSERT_EQ(m.triangleCount(), 2);
             EXPECT_EQ(indexOf(m, m.triangles()[0].vertex[0]), 1);
         }},
        {"indices of dropped polygons are never used", lwob(threePoints + oneName + chunk("POLS", words({4, 9, 9, 9, 9, 0}))),
         [](const Mesh& m) { EXPECT_EQ(m.triangleCount(), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.check(Mesh::decode("obj.lwo", c.file));
    }
}

TEST(LwoLoader, NamesForeignAndMissingFiles) {
    const std::string foreign = "obj.lwo: not an lightwave object file";
    EXPECT_EQ(loadError({}), foreign);
    EXPECT_EQ(loadError(text("FORM") + u32(4)), foreign);
    EXPECT_EQ(loadError(text("RIFF") + u32(4) + text("LWOB")), foreign);
    EXPECT_EQ(loadError(text("FORM") + u32(4) + text("LWO2")), foreign);

    const auto missing = (TestImages::scratch("lwo-missing") / "missing.lwo").string();
    try {
        MeshView view(10, 10, DataFolder(), missing.c_str());
        FAIL() << "loaded a missing file";
    } catch (const LoadError& e) {
        EXPECT_EQ(std::string(e.what()), missing + ": could not open file");
    }
}

TEST(LwoLoader, RefusesFilesThatWouldBreakTheMesh) {
    const std::string corrupt = "corrupt lightwave object file";
    const std::string order = "polygons before points or surface names";
    const Bytes good = lwob(threePoints + oneName + oneTriangle);
    Bytes cut = good;
    cut.resize(cut.size() - 2);
    Bytes fiftyOne;
    for (int k = 0; k < 51; ++k) fiftyOne = fiftyOne + name("s" + std::to_string(k));
    auto withPolygons = [](std::initializer_list<int> ws) { return lwob(threePoints + oneName + chunk("POLS", words(ws))); };
    auto withSurface = [](const Bytes& body) { return lwob(oneName + chunk("SURF", body)); };

    const std::vector<std::tuple<const char*, Bytes, std::string>> cases = {
        {"point index past the points", withPolygons({3, 0, 1, 3, 1}), "point index out of range"},
        {"surface number 0", withPolygons({3, 0, 1, 2, 0}), "surface number out of range"},
        {"surface number past the names", withPolygons({3, 0, 1, 2, 2}), "surface number out of range"},
        {"a detail-polygon marker on a triangle", withPolygons({3, 0, 1, 2, 0xFFFF}), "surface number out of range"},
        {"polygons before the points", lwob(oneName + oneTriangle + threePoints), order},
        {"polygons before the names", lwob(threePoints + oneTriangle + oneName), order},
        {"points again after the polygons", lwob(threePoints + oneName + oneTriangle + threePoints), order},
        {"names again after the polygons", lwob(threePoints + oneName + oneTriangle + oneName), order},
        {"51 names", lwob(chunk("SRFS", fiftyOne)), "too many surfaces"},
        {"a name of 50 characters", lwob(chunk("SRFS", name(std::string(50, 'n')))), "surface name too long"},
        {"a SURF name of 50 characters", withSurface(name(std::string(50, 'n'))), "surface name too long"},
        {"a name without its zero byte", lwob(chunk("SRFS", text("Red"))), corrupt},
        {"the file ends before its FORM size", cut, corrupt},
        {"a FORM too small for its own type", text("FORM") + u32(2) + text("LWOB"), corrupt},
        {"a chunk larger than the FORM", lwob(text("PNTS") + u32(48) + points(3)), corrupt},
        {"a chunk header cut by the FORM's end", lwob(threePoints + text("POLS")), corrupt},
        {"a triangle cut by its chunk's end", withPolygons({3, 0, 1}), corrupt},
        {"a quadrilateral cut by its chunk's end", withPolygons({4, 0, 1, 2}), corrupt},
        {"a sub-chunk longer than its SURF", withSurface(name("Red") + text("COLR") + u16(10) + Bytes{1, 2, 3, 0}), corrupt},
        {"a sub-chunk header cut by the SURF's end", withSurface(name("Red") + text("COL")), corrupt},
        {"a negative sub-chunk length", withSurface(name("Red") + text("COLR") + u16(0xFFFC) + Bytes{1, 2, 3, 0}), corrupt},
        {"a COLR of two bytes", withSurface(name("Red") + sub("COLR", {1, 2})), corrupt},
    };
    for (const auto& [what, bytes, message] : cases) EXPECT_EQ(loadError(bytes), "obj.lwo: " + message) << what;
}

// Every view transforms all points and draws all triangles each frame, so a small file must not
// be able to ask for millions; a mesh at the limit loads.
TEST(LwoLoader, BoundsPointsAndTriangles) {
    auto triangles = [](int n) {
        Bytes polygons;
        for (int k = 0; k < n; ++k) polygons = polygons + words({3, 0, 1, 2, 1});
        return lwob(threePoints + oneName + chunk("POLS", polygons));
    };
    EXPECT_EQ(Mesh::decode("obj.lwo", lwob(chunk("PNTS", points(Mesh::maxPoints)))).pointCount(), Mesh::maxPoints);
    EXPECT_EQ(Mesh::decode("obj.lwo", triangles(Mesh::maxTriangles)).triangleCount(), Mesh::maxTriangles);
    EXPECT_EQ(loadError(lwob(chunk("PNTS", points(Mesh::maxPoints + 1)))), "obj.lwo: more than 16384 points");
    EXPECT_EQ(loadError(triangles(Mesh::maxTriangles + 1)), "obj.lwo: more than 8192 triangles");
}

TEST(LwoLoader, LoadsTheSharedLightWaveObjects) {
    TINDREL_NEEDS_SHARED_TESTDATA();
    // From lwob-summary.txt beside the files. Only three-vertex polygons become triangles.
    struct Case {
        const char* file;
        int points;
        const char* surface;
        Color color;
        int triangles;
    };
    const Case cases[] = {
        {"assimp-ConcavePolygon.lwo", 64, "test_Smoothing", Color(36, 47, 105, 0), 0},
        {"assimp-formatDetection.lwo", 24, "Default", Color(200, 200, 200, 0), 0},
        {"assimp-bluewithcylindrictexz.lwo", 8, "Test", Color(0, 128, 192, 0), 0},
        {"assimp-sphere_with_mat_gloss_10pc.lwo", 266, "Default", Color(255, 128, 192, 0), 48},
        {"assimp-QuickDraw--Laserbeam.lwo", 2424, "Laser : Blue", Color(140, 201, 221, 0), 0},
        {"java3d-greenball.lwo", 266, "green", Color(0, 200, 50, 0), 528},
        {"java3d-redcone.lwo", 26, "red", Color(200, 0, 0, 0), 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = (SharedTestData::folder() / "lwo" / c.file).string();
        Mesh mesh;
        mesh.load(DataFolder(), path.c_str());
        EXPECT_EQ(mesh.pointCount(), c.points);
        ASSERT_EQ(mesh.surfaceCount(), 1);
        EXPECT_EQ(mesh.surfaces()[0].name, c.surface);
        EXPECT_EQ(mesh.surfaces()[0].color, c.color);
        EXPECT_EQ(mesh.triangleCount(), c.triangles);
        // Files from elsewhere stay well inside the limits too.
        EXPECT_LE(mesh.pointCount() * 4, Mesh::maxPoints);
        EXPECT_LE(mesh.triangleCount() * 4, Mesh::maxTriangles);

        MeshView view(64, 48, DataFolder(), path.c_str());
        view.draw(0.0f);
        if (c.triangles == 0) {
            for (Color px : TestImages::pixelsOf(view.image())) ASSERT_EQ(px, Color(0, 0, 0, 0));
        }
    }
}

TEST(LwoLoader, CopiesReferToTheirOwnArrays) {
    const Mesh original = Mesh::decode("obj.lwo", lwob(threePoints + oneName + oneTriangle));
    Mesh copy = original;
    const Triangle& t = copy.triangles()[0];
    EXPECT_EQ(t.vertex[1], &copy.points()[1]);
    EXPECT_EQ(t.viewVertex[2], &copy.viewPoints()[2]);
    EXPECT_EQ(t.surface, &copy.surfaces()[0]);
    const Mesh moved = std::move(copy);
    EXPECT_EQ(moved.triangles()[0].vertex[1], &moved.points()[1]);
}

TEST(LwobWriter, WritesWhatTheLoaderReadsBack) {
    LwobWriter::Object object;
    object.points = {{0.0f, 1.0f, 2.0f}, {-1.5f, 0.25f, 3e-7f}, {100.0f, -0.0f, 7.0f}, {1.0f, 1.0f, 1.0f}};
    object.surfaces = {{"Odd", 1, 2, 3}, {"Even", 250, 0, 128}, {std::string(49, 'x'), 9, 8, 7}};
    object.faces = {{{0, 1, 2}, 0}, {{3, 2, 1}, 2}, {{0, 0, 3}, 1}};
    const Bytes bytes = LwobWriter::write(object);

    // Chunks as other readers expect them: even sizes, ending exactly at the FORM's end.
    ASSERT_EQ(bytes.size(), (std::size_t{bytes[4]} << 24 | bytes[5] << 16 | bytes[6] << 8 | bytes[7]) + 8);
    for (std::size_t at = 12; at < bytes.size();) {
        const std::size_t size = std::size_t{bytes[at + 4]} << 24 | bytes[at + 5] << 16 | bytes[at + 6] << 8 | bytes[at + 7];
        EXPECT_EQ(size % 2, 0u) << std::string(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at) + 4);
        at += 8 + size;
    }

    const Mesh mesh = Mesh::decode("round.lwo", bytes);
    ASSERT_EQ(mesh.pointCount(), 4);
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& p = object.points[i];
        EXPECT_EQ(mesh.points()[i], Vector3(p[0], p[1], p[2])) << i;
    }
    ASSERT_EQ(mesh.surfaceCount(), 3);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& s = object.surfaces[i];
        EXPECT_EQ(mesh.surfaces()[i].name, s.name);
        EXPECT_EQ(mesh.surfaces()[i].color, Color(s.red, s.green, s.blue, 0));
    }
    ASSERT_EQ(mesh.triangleCount(), 3);
    for (std::size_t i = 0; i < 3; ++i) {
        const Triangle& t = mesh.triangles()[i];
        for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(indexOf(mesh, t.vertex[k]), object.faces[i].points[k]);
        EXPECT_EQ(t.surface - mesh.surfaces().data(), object.faces[i].surface);
    }
}

TEST(LwobWriter, RefusesWhatTheLoaderWould) {
    const LwobWriter::Object base{{{0, 0, 0}}, {{"S", 0, 0, 0}}, {{{0, 0, 0}, 0}}};
    std::vector<LwobWriter::Object> bad(4, base);
    bad[0].faces[0].points[2] = 1;
    bad[1].faces[0].surface = 1;
    bad[2].surfaces[0].name = std::string(50, 'n');
    bad[3].surfaces.resize(51, base.surfaces[0]);
    for (const auto& object : bad) EXPECT_THROW(LwobWriter::write(object), std::invalid_argument);
}
