#include "TestImages.h"
#include "engine3d/MeshGridView.h"
#include "engine3d/MeshView.h"
#include "engine3d/WobbleView.h"
#include "raster/DataFolder.h"
#include "raster/LoadError.h"
#include "tools/LwobWriter.h"
#include "tools/ShowObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>

namespace {

const Color orange(240, 120, 60, 0);

// One triangle in the plane z = 0 centred on the origin, apex (0, −2 · size, 0) up on screen,
// listed so that it faces the eye.
Mesh triangleMesh(float size = 0.25f) {
    LwobWriter::Object o;
    o.points = {{0, -2 * size, 0}, {-size, size, 0}, {size, size, 0}};
    o.surfaces = {{"Orange", orange.r, orange.g, orange.b}};
    o.faces = {{{0, 1, 2}, 0}};
    return Mesh::decode("triangle.lwo", LwobWriter::write(o));
}

Mesh emptyMesh() { return Mesh::decode("empty.lwo", LwobWriter::write({{{0, 0, 0}}, {{"S", 1, 1, 1}}, {}})); }

int count(const Image& img, Color c) {
    const auto px = TestImages::pixelsOf(img);
    return static_cast<int>(std::count(px.begin(), px.end(), c));
}

const Color white(255, 255, 255, 255);

} // namespace

TEST(ObjectViews, ShadeLevelsFollowTheNormalsZ) {
    struct Case {
        float nz;
        int mesh, grid, wobble;
    };
    const Case cases[] = {
        {1.0f, 255, 255, 254},
        {0.5f, 127, 127, 190},
        {0.0f, 0, 0, 127},
        {-0.004f, -1, 1, 126},  // −1 keeps its low 8 bits: 255, as bright as facing the eye
        {-1.0f, -255, 255, 0},  // −255 becomes 1
        {std::numeric_limits<float>::quiet_NaN(), 0, 0, 0},  // a degenerate triangle is black
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MeshView::shadeLevel(c.nz), c.mesh) << c.nz;
        EXPECT_EQ(MeshGridView::shadeLevel(c.nz), c.grid) << c.nz;
        EXPECT_EQ(WobbleView::shadeLevel(c.nz), c.wobble) << c.nz;
    }
}

TEST(ObjectViews, MeshViewPlacesScalesAndShades) {
    MeshView view(600, 300, triangleMesh());
    view.draw(0.0f);
    // Zero angles and position: (x, y, z) lands at (300 + 256x/(z+3), 150 + 256y/(z+3)) with
    // stored depth 80 · (z + 3).
    const auto points = view.mesh().points();
    for (std::size_t i = 0; i < 3; ++i) {
        const Vector3 p = points[i];
        const Vector3 v = view.mesh().viewPoints()[i];
        EXPECT_NEAR(v.x, 300 + 256 * p.x / 3, 1e-3);
        EXPECT_NEAR(v.y, 150 + 256 * p.y / 3, 1e-3);
        EXPECT_FLOAT_EQ(v.z, 240.0f);
    }
    EXPECT_EQ(view.image().at(300, 150), orange.scale(255));
    EXPECT_EQ(view.image().at(300, 150).a, 255);
    EXPECT_FLOAT_EQ(view.depthAt(300, 150), 240.0f);
    EXPECT_EQ(view.image().at(5, 5), Color(0, 0, 0, 0));
    EXPECT_GT(count(view.image(), white), 0);

    const auto before = TestImages::pixelsOf(view.image());
    view.draw(1234.5f);
    EXPECT_EQ(TestImages::pixelsOf(view.image()), before) << "time has no effect";

    // The position's x and z are negated, y is not: positive x moves left on screen, positive
    // y down, negative z away from the eye.
    for (const Vector3& position : {Vector3(0.7f, 0, 0), Vector3(0, 0.5f, 0), Vector3(0, 0, -1)}) {
        MeshView moved(600, 300, triangleMesh());
        moved.setPosition(position.x, position.y, position.z);
        moved.draw(0.0f);
        const Vector3 camera(-position.x, -0.5f + position.y, 3 - position.z);  // of the apex (0, −0.5, 0)
        const Vector3 apex = moved.mesh().viewPoints()[0];
        EXPECT_NEAR(apex.x, 300 + 256 * camera.x / camera.z, 1e-3);
        EXPECT_NEAR(apex.y, 150 + 256 * camera.y / camera.z, 1e-3);
        EXPECT_FLOAT_EQ(apex.z, 80 * camera.z);
    }
}

TEST(ObjectViews, GridCellsRideTheWaveAndTurnByColumnAndRow) {
    const float t = 0.3f;
    // Base angles that cancel cell (3, 5)'s own offsets, so that cell stands unturned.
    const int i0 = 3, j0 = 5;
    MeshGridView grid(600, 300, triangleMesh(0.005f));
    grid.setRotation(0.12f * i0, 0.06f * j0, 0.04f * i0);
    grid.draw(t);
    for (int j = 0; j < MeshGridView::rows; ++j) {
        for (int i = 0; i < MeshGridView::columns; ++i) {
            SCOPED_TRACE(testing::Message() << "cell " << i << "," << j);
            const auto v = grid.cell(j * 13 + i).viewPoints();
            // The triangle's centre is the origin, so the mean of its points follows the cell's
            // position: (−P.x, P.y, 3 − P.z) in camera space, with no depth scale. The triangle is
            // small enough for the mean of its projections to stand for its projected centre.
            const double px = 0.6 * (6 - i), py = 0.6 * (4 - j);
            const double pz = 0.6 * (std::sin(0.5 * (i + j) - 4.0 * t) + std::sin(5.0 * t));
            const double depth = 3 - pz;
            EXPECT_NEAR((v[0].z + v[1].z + v[2].z) / 3, depth, 1e-4);
            EXPECT_NEAR((v[0].x + v[1].x + v[2].x) / 3, 300 - 256 * px / depth, 0.01);
            EXPECT_NEAR((v[0].y + v[1].y + v[2].y) / 3, 150 + 256 * py / depth, 0.01);
            if (i == i0 && j == j0) {
                for (int k = 0; k < 3; ++k) EXPECT_NEAR(v[k].z, depth, 1e-5);
                EXPECT_NEAR(v[0].x, 300 - 256 * px / depth, 1e-3);
                EXPECT_NEAR(v[0].y, 150 + 256 * (py - 0.01) / depth, 1e-3);
            }
        }
    }
    EXPECT_GT(count(grid.image(), white), 0);
}

TEST(ObjectViews, WobbleMovesPointsByNineStepsAndDoesNotOutline) {
    // Golden value from the nine steps worked separately, rounding to float after each.
    const Vector3 p = WobbleView::wobble({0.3f, -0.2f, 0.5f}, 1.7f, 0.8f);
    EXPECT_NEAR(p.x, 0.67116201, 1e-6);
    EXPECT_NEAR(p.y, -0.36865249, 1e-6);
    EXPECT_NEAR(p.z, 0.30397645, 1e-6);

    WobbleView still(600, 300, triangleMesh());
    still.setAmplitude(0.0f);
    still.draw(0.0f);
    const auto first = TestImages::pixelsOf(still.image());
    still.draw(5.5f);
    EXPECT_EQ(TestImages::pixelsOf(still.image()), first) << "amplitude 0: time has no effect";
    MeshView plain(600, 300, triangleMesh());
    plain.draw(0.0f);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(still.mesh().viewPoints()[i], plain.mesh().viewPoints()[i]);
    EXPECT_EQ(still.image().at(300, 150), orange.scale(254));
    EXPECT_EQ(count(still.image(), white), 0);
    still.outline();
    EXPECT_GT(count(still.image(), white), 0);

    WobbleView moving(600, 300, triangleMesh());
    moving.draw(0.0f);
    const auto atZero = TestImages::pixelsOf(moving.image());
    moving.draw(5.5f);
    EXPECT_NE(TestImages::pixelsOf(moving.image()), atZero);
}

// The grid draws its object 104 times a frame: its share of a view's budget is refused at
// construction, against the object's file.
TEST(ObjectViews, GridRefusesAnObjectTooCostlyToDraw104Times) {
    const int most = Renderer3D::maxTrianglesPerFrame / MeshGridView::cellCount;
    auto withTriangles = [](int n) {
        LwobWriter::Object object;
        object.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        object.surfaces = {{"S", 1, 2, 3}};
        object.faces.assign(static_cast<std::size_t>(n), {{0, 1, 2}, 0});
        return Mesh::decode("Part5/cube.lwo", LwobWriter::write(object));
    };
    MeshGridView fits(60, 30, withTriangles(most));
    try {
        MeshGridView grid(60, 30, withTriangles(most + 1));
        ADD_FAILURE() << "no refusal";
    } catch (const LoadError& e) {
        EXPECT_STREQ(e.what(), "Part5/cube.lwo: too many triangles for 104 copies (at most 157 each)");
    }
}

TEST(ObjectViews, MeshesWithoutTrianglesDrawNothing) {
    MeshView view(40, 30, emptyMesh());
    MeshGridView grid(40, 30, emptyMesh());
    WobbleView wobble(40, 30, emptyMesh());
    for (Renderer3D* r : std::initializer_list<Renderer3D*>{&view, &grid, &wobble}) {
        r->draw(1.0f);
        r->outline();
        EXPECT_EQ(count(r->image(), Color(0, 0, 0, 0)), 40 * 30);
        for (float d : r->depth()) ASSERT_EQ(d, Renderer3D::emptyDepth);
    }
}

TEST(ShowObjects, LoadThroughTheirViewsAndFillThem) {
    const auto objects = showObjects();
    std::vector<std::string> names;
    for (const auto& [name, bytes] : objects) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Part4/star.lwo", "Part4/arrow.lwo", "Part5/cube.lwo", "Part7/cube.lwo",
                                               "Part7/cones.lwo"}));
    EXPECT_EQ(showObjects(), objects) << "same bytes every time";

    const auto dir = TestImages::scratch("show-objects");
    for (const auto& [name, bytes] : objects) {
        std::filesystem::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        const Mesh mesh = Mesh::decode(name, bytes);
        // Well inside what an object and a view may cost, the grid's 104 copies counted.
        const int copies = name == "Part5/cube.lwo" ? MeshGridView::cellCount : 1;
        EXPECT_LE(mesh.pointCount() * 8, Mesh::maxPoints) << name;
        EXPECT_LE(mesh.triangleCount() * 8, Mesh::maxTriangles) << name;
        EXPECT_LE(mesh.pointCount() * copies * 8, Renderer3D::maxPointsPerFrame) << name;
        EXPECT_LE(mesh.triangleCount() * copies * 8, Renderer3D::maxTrianglesPerFrame) << name;
        EXPECT_GE(mesh.surfaceCount(), 3) << name;
        for (const Surface& s : mesh.surfaces()) EXPECT_NE(s.color, Color()) << name << " " << s.name;
    }
    const DataFolder data(dir);
    // As the scenes set them up.
    MeshView star(500, 300, data, "Part4/star.lwo");
    star.setPosition(0.7f, 0, 0);
    MeshView arrow(170, 200, data, "Part4/arrow.lwo");
    arrow.setPosition(-0.2f, 0, 0);
    MeshGridView grid(600, 300, data, "Part5/cube.lwo");
    WobbleView cube(378, 300, data, "Part7/cube.lwo");
    WobbleView cones(378, 300, data, "Part7/cones.lwo");
    cones.setAmplitude(0.6f);

    struct View {
        const char* name;
        Renderer3D& view;
        double minCover, maxCover;
    };
    // The grid's cubes touch, a wall with no empty gaps: white outlines running round gaps as the
    // cubes wobble would flicker over the whole frame.
    const View views[] = {{"star", star, 0.04, 0.3}, {"arrow", arrow, 0.05, 0.3}, {"grid", grid, 0.9, 1.01},
                          {"cube", cube, 0.04, 0.4}, {"cones", cones, 0.03, 0.3}};
    for (float s : {0.0f, 1.1f, 2.9f, 7.3f}) {
        star.setRotation(s, -0.3f * s, 0.7f * s);
        arrow.setRotation(float(1.4 * std::sin(3 * s)), float(0.3 * std::sin(1.4 * s)), float(-0.2 * std::sin(1.3 * s)));
        grid.setRotation(float(3 * std::sin(0.6 * s)), float(0.3 * std::sin(9 * s)), float(2 * std::sin(1.3 * s)));
        cones.setRotation(0.7f * s, -0.8f * s, 0.93f * s);
        for (const View& v : views) {
            SCOPED_TRACE(testing::Message() << v.name << " at " << s);
            v.view.draw(s);
            const double cover = 1.0 - double(count(v.view.image(), Color())) / double(v.view.image().pixelCount());
            EXPECT_GT(cover, v.minCover);
            EXPECT_LT(cover, v.maxCover);
            if (&v.view == &grid) continue;  // the grid is meant to run off every side
            for (int x = 0; x < v.view.image().width(); ++x)
                ASSERT_TRUE(v.view.image().at(x, 0) == Color() && v.view.image().at(x, v.view.image().height() - 1) == Color()) << "touches top or bottom";
            for (int y = 0; y < v.view.image().height(); ++y)
                ASSERT_TRUE(v.view.image().at(0, y) == Color() && v.view.image().at(v.view.image().width() - 1, y) == Color()) << "touches a side";
        }
    }
    // 104 cubes of 12 triangles: the queue grew once to 1536 and stays there.
    EXPECT_EQ(grid.queueCapacity(), 1536);
}
