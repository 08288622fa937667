// The timetable against the scenes it builds: their orders, their files, and the frames they draw.

#include "ShowFrames.h"
#include "platform/FixedMusic.h"
#include "raster/LoadError.h"
#include "show/Timetable.h"

#include <filesystem>
#include <string>
#include <vector>

using TimetableScenes = ShowFrames;

TEST_F(TimetableScenes, NoSceneWaitsForItsOrders) {
    // Entered past its orders, every scene returns at once; so does every scene that has a start,
    // entered before it. The opening and the blob light have none: each plays from the top.
    struct Count : Display {
        int frames = 0;
        void present(const Image&) override { ++frames; }
    } display;
    Screen screen(600, 300, display);
    FixedMusic music;
    ManualTimer timer;
    DemoClock clock(music, timer);
    ManualKeys keys;
    const auto rows = Timetable::rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Scene::Orders orders = rows[i].orders;
        const auto scene = rows[i].build({screen, clock, keys}, orders);
        std::vector<int> outside = {orders.last + 1, 65535};
        if (i >= 2) outside.insert(outside.end(), {orders.first - 1, 0});
        for (int order : outside) {
            music.set(order, 0);
            scene->run();
            EXPECT_EQ(display.frames, 0) << rows[i].title << " drew at order " << order;
        }
    }
}

TEST_F(TimetableScenes, EachSceneLoadsExactlyTheFilesItsRowNames) {
    // Built from a folder of its listed files alone, each scene finds all it needs; with any one
    // of them missing, it fails on that one, so the list names nothing the scene does not read.
    struct Null : Display {
        void present(const Image&) override {}
    } display;
    Screen screen(600, 300, display);
    FixedMusic music;
    ManualTimer timer;
    DemoClock clock(music, timer);
    ManualKeys keys;
    for (const TimetableRow& row : Timetable::rows()) {
        const auto dir = TestImages::scratch("listed");
        for (const std::string& file : row.files) {
            std::filesystem::create_directories((dir / file).parent_path());
            std::filesystem::copy_file(std::filesystem::path(TINDREL_BUILD_DATA_DIR) / file, dir / file);
        }
        AssetFile::setRoot(dir);
        EXPECT_NO_THROW(row.build({screen, clock, keys}, row.orders)) << row.title;
        for (const std::string& file : row.files) {
            std::filesystem::rename(dir / file, dir / (file + ".away"));
            try {
                row.build({screen, clock, keys}, row.orders);
                ADD_FAILURE() << row.title << " built without " << file;
            } catch (const LoadError& e) {
                EXPECT_EQ(std::string(e.what()).rfind(file + ":", 0), 0u) << row.title << ": " << e.what();
            }
            std::filesystem::rename(dir / (file + ".away"), dir / file);
        }
    }
}
