#include "BuildData.h"
#include "TestImages.h"
#include "platform/DemoClock.h"
#include "platform/Display.h"
#include "platform/FixedMusic.h"
#include "platform/Keys.h"
#include "platform/Screen.h"
#include "platform/Timer.h"
#include "raster/DataFolder.h"
#include "raster/Image.h"
#include "show/Show.h"
#include "show/Timetable.h"
#include "tools/PcxWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// One show's platform: the music held at a position, and a screen that keeps the first frame
// presented, then holds Escape so the show ends there.
struct Rig : Display {
    explicit Rig(int order, int row) { music.set(order, row); }
    void present(const Image& frame) override {
        if (!kept) {
            kept = std::make_unique<Image>(frame.width(), frame.height());
            kept->blit(0, 0, frame);
        }
        keys.hold();
    }
    std::unique_ptr<Image> kept;
    ManualKeys keys;
    FixedMusic music;
    ManualTimer timer;
    Screen screen{600, 300, *this};
    DemoClock clock{music, timer, DemoClock::Start::fixedAtZero};
};

const Image& drawOnce(Show& show, Rig& rig) {
    show.step();
    if (!rig.kept) throw std::runtime_error("the show drew no frame");
    return *rig.kept;
}

} // namespace

TEST(DataFolders, TwoShowsInOneProcessReadTheirOwnFolders) {
    // A second data folder: the farewell's files, its picture replaced by one of a single colour.
    const ShowPlan show = buildShow();
    const TimetableRow& farewell = show.timetable().playingAt(36);
    const auto dir = TestImages::scratch("otherdata");
    for (const std::string& file : farewell.files) {
        std::filesystem::create_directories((dir / file).parent_path());
        std::filesystem::copy_file(buildData().path(file), dir / file);
    }
    std::array<std::uint8_t, 768> palette{};
    palette[0] = 200, palette[1] = 100, palette[2] = 50;
    const auto pcx = PcxWriter::write(600, 300, std::vector<std::uint8_t>(600 * 300, 0), palette);
    std::ofstream(dir / "Part9/background.pcx", std::ios::binary)
        .write(reinterpret_cast<const char*>(pcx.data()), static_cast<std::streamsize>(pcx.size()));
    const DataFolder other(dir);

    // Both are built before either draws; at row 32 the farewell shows its picture at half strength.
    Rig builtRig(36, 32), otherRig(36, 32);
    Show built({builtRig.screen, builtRig.clock, builtRig.keys, buildData(), show.viewing}, farewell);
    Show changed({otherRig.screen, otherRig.clock, otherRig.keys, other, show.viewing}, farewell);
    const Image& builtFrame = drawOnce(built, builtRig);
    const Image& changedFrame = drawOnce(changed, otherRig);

    const auto picture = Image::load(buildData(), "Part9/background.pcx");
    ASSERT_EQ(builtFrame.pixelCount(), picture->pixelCount());
    for (std::size_t i = 0; i < picture->pixelCount(); ++i) {
        const Color c = picture->pixels()[i];
        ASSERT_EQ(builtFrame.pixels()[i], Color(c.r / 2, c.g / 2, c.b / 2, 0)) << "the build's show, pixel " << i;
    }
    for (std::size_t i = 0; i < changedFrame.pixelCount(); ++i)
        ASSERT_EQ(changedFrame.pixels()[i], Color(100, 50, 25, 0)) << "the other folder's show, pixel " << i;
}
