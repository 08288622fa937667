// The timetable against the scenes it builds: their orders, their files, and the frames they draw.

#include "ShowFrames.h"
#include "platform/FixedMusic.h"
#include "raster/LoadError.h"
#include "show/Show.h"
#include "show/Timetable.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using TimetableScenes = ShowFrames;

namespace {

// A screen nobody sees, counting the frames the scenes present, on music set by hand.
struct Offstage : Display {
    int frames = 0;
    void present(const Image&) override { ++frames; }
    Screen screen{600, 300, *this};
    FixedMusic music;
    ManualTimer timer;
    DemoClock clock{music, timer};
    ManualKeys keys;
    DataFolder data = buildData();
    Viewing viewing;
    Stage stage() { return {screen, clock, keys, data, viewing}; }
};

} // namespace

TEST_F(TimetableScenes, NoSceneWaitsForItsOrders) {
    // Entered past its orders, every scene returns at once; so does every scene that has a start,
    // entered before it. The opening and the blob light have none: each plays from the top.
    Offstage offstage;
    const ShowPlan show = buildShow();
    const auto rows = show.timetable().rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Scene::Orders orders = rows[i].orders;
        std::vector<int> outside = {orders.last + 1, 65535};
        if (i >= 2) outside.insert(outside.end(), {orders.first - 1, 0});
        for (int order : outside) {
            Show scene(offstage.stage(), rows[i]);
            offstage.music.set(order, 0);
            EXPECT_EQ(scene.step(), Show::Step::over) << rows[i].title << " drew at order " << order;
            EXPECT_EQ(offstage.frames, 0) << rows[i].title << " drew at order " << order;
        }
    }
}

TEST_F(TimetableScenes, EachSceneLoadsExactlyTheFilesItsRowNames) {
    // Built from a folder of its listed files alone, each scene finds all it needs; with any one
    // of them missing, it fails on that one, so the list names nothing the scene does not read.
    Offstage offstage;
    const ShowPlan show = buildShow();
    for (const TimetableRow& row : show.timetable().rows()) {
        const auto dir = TestImages::scratch("listed");
        for (const std::string& file : row.files) {
            std::filesystem::create_directories((dir / file).parent_path());
            std::filesystem::copy_file(std::filesystem::path(TINDREL_BUILD_DATA_DIR) / file, dir / file);
        }
        offstage.data = DataFolder(dir);
        EXPECT_NO_THROW(row.make(offstage.stage())) << row.title;
        for (const std::string& file : row.files) {
            std::filesystem::rename(dir / file, dir / (file + ".away"));
            try {
                row.make(offstage.stage());
                ADD_FAILURE() << row.title << " built without " << file;
            } catch (const LoadError& e) {
                EXPECT_EQ(std::string(e.what()).rfind(file + ":", 0), 0u) << row.title << ": " << e.what();
            }
            std::filesystem::rename(dir / (file + ".away"), dir / file);
        }
    }
}

TEST_F(TimetableScenes, FramesMatchTheirChecksums) {
    // What the plain loops draw at positions covering every phase of every scene, its flashes
    // and its fades, at the seconds an uninterrupted play reaches them. A row that fails names
    // its frame's checksum: a change to a scene's picture, constant or timing shows here first.
    struct Row {
        int order, row;
        double seconds;
        std::uint32_t checksum;
        const char* guards;
    };
    const Row table[] = {
        {0, 40, 4.8, 0x35d26219u, "the opening: the logo half-way out of black"},
        {1, 32, 11.52, 0x23e78a76u, "the opening: the logo near the end of its fade-in"},
        {2, 10, 16.56, 0x1a10ac7eu, "the opening: rays under the flash that opens order 2"},
        {2, 40, 20.16, 0xd4663cd3u, "the opening: rays unflashed from row 32 of order 2"},
        {3, 16, 24.96, 0x977ae8e1u, "the opening: rays in the last order"},
        {4, 8, 31.68, 0x406bff2fu, "blob light: the flash that opens an even order"},
        {5, 40, 43.2, 0x4aab6c5fu, "blob light: no flash in an odd order"},
        {6, 40, 50.88, 0x3edb2235u, "blob light: no flash from row 32 of an even order"},
        {7, 36, 58.08, 0x92654a63u, "blob light: the strobe of the last half order"},
        {8, 2, 61.68, 0xe73f017du, "the scroller: half-way in from black"},
        {9, 30, 72.72, 0x98c22921u, "the scroller: both rolls at full strength"},
        {10, 10, 78.0, 0x872212d2u, "the scroller: sinking toward black"},
        {10, 40, 81.6, 0x2e432234u, "the scroller: the fade's wrapped weights past row 16"},
        {11, 8, 85.44, 0x40d3f948u, "star and arrows: the flash of the first order"},
        {12, 40, 96.96, 0xae87fdf7u, "star and arrows: star and arrows unflashed"},
        {13, 4, 100.32, 0x2b5a06cfu, "star and arrows: the flash of the third order"},
        {15, 8, 116.16, 0x39035e75u, "the cube wave: the flash of the first order"},
        {16, 40, 127.68, 0x0e249f44u, "the cube wave: grid and keyed figure unflashed"},
        {18, 50, 144.24, 0xe1abc84au, "the cube wave: no flash in the last order"},
        {19, 8, 146.88, 0x30b3bfe2u, "the glowing band: the opening flash, the blobs still weak"},
        {20, 32, 157.44, 0xd2fb999au, "the glowing band: strength and light growing"},
        {21, 20, 163.68, 0xb45ec5ecu, "the glowing band: unflashed, near full strength"},
        {22, 40, 173.76, 0xe17606d9u, "the glowing band: the closing fade toward white"},
        {23, 8, 177.6, 0xb8661a04u, "tunnels and cones: the cube under the first flash"},
        {24, 40, 189.12, 0xc40f7796u, "tunnels and cones: the cube unflashed"},
        {27, 4, 207.84, 0xfdd9dc98u, "tunnels and cones: the cones under their flash"},
        {28, 40, 219.84, 0xe2b49cfdu, "tunnels and cones: the outlined cones unflashed"},
        {31, 20, 240.48, 0x59260394u, "tunnels and cones: no flash in the last order"},
        {32, 8, 246.72, 0x08adaa77u, "the wave warp: the flash of the first order"},
        {33, 40, 258.24, 0xe69bae74u, "the wave warp: unflashed"},
        {35, 60, 276.0, 0x53c1fc67u, "the wave warp: no flash in the last order"},
        {36, 8, 277.44, 0x874e78c3u, "farewell: sinking under the flash"},
        {36, 20, 278.88, 0x28ee9083u, "farewell: sinking toward black"},
        {36, 60, 283.68, 0x12ddb8e2u, "farewell: nearly black"},
    };
    const TestImages::PlainKernels plain;
    for (const Row& r : table) {
        const auto f = frame(r.order, r.row, r.seconds);
        EXPECT_EQ(TestImages::checksum(*f), r.checksum)
            << r.guards << " (order " << r.order << " row " << r.row << "): got " << TestImages::hex(TestImages::checksum(*f));
    }
}
