#include "show/Timetable.h"

// Each defined in the scene's own file, under show/scenes/.
std::unique_ptr<Scene> buildOpening(const Stage&, Scene::Orders);
std::unique_ptr<Scene> buildBlobLight(const Stage&, Scene::Orders);
std::unique_ptr<Scene> buildScroller(const Stage&, Scene::Orders);
std::unique_ptr<Scene> buildStarAndArrows(const Stage&, Scene::Orders);
std::unique_ptr<Scene> buildCubeWave(const Stage&, Scene::Orders);
std::unique_ptr<Scene> buildGlowingBand(const Stage&, Scene::Orders);
std::unique_ptr<Scene> buildTunnelsAndCones(const Stage&, Scene::Orders);
std::unique_ptr<Scene> buildWaveWarp(const Stage&, Scene::Orders);
std::unique_ptr<Scene> buildFarewell(const Stage&, Scene::Orders);

std::span<const TimetableRow> Timetable::rows() {
    static const std::vector<TimetableRow> table = {
        {"the opening", {0, 3}, buildOpening, {3, 16}, {"Part1/logolight.pcx", "Part1/background.pcx"}},
        {"blob light", {4, 7}, buildBlobLight, {5, 40}, {"Part2/star.pcx", "Part2/texture1.tex"}},
        {"the scroller", {8, 10}, buildScroller, {9, 30},
         {"Part3/background.pcx", "Part3/scroll.pcx", "Part3/dots.pcx", "Part3/dots2.pcx"}},
        {"star and arrows", {11, 14}, buildStarAndArrows, {12, 40},
         {"Part4/background.pcx", "Part4/star.lwo", "Part4/arrow.lwo"}},
        {"the cube wave", {15, 18}, buildCubeWave, {16, 40},
         {"Part5/background.pcx", "Part5/gubbe.pcx", "Part5/cube.lwo"}},
        {"the glowing band", {19, 22}, buildGlowingBand, {21, 20},
         {"Part6/background.pcx", "Part6/texture.tex", "Part6/logo.pcx"}},
        {"tunnels and cones", {23, 31}, buildTunnelsAndCones, {28, 40},
         {"Part7/background.pcx", "Part7/cube.lwo", "Part7/cones.lwo", "Part7/disco.pcx", "Part7/texture.tex"}},
        {"the wave warp", {32, 35}, buildWaveWarp, {33, 40}, {"Part8/background.pcx", "Part8/texture.tex"}},
        {"farewell", {36, 36}, buildFarewell, {36, 20}, {"Part9/background.pcx"}},
    };
    return table;
}

const TimetableRow& Timetable::playingAt(int order) {
    const auto all = rows();
    const TimetableRow* playing = &all.front();
    for (const TimetableRow& row : all)
        if (row.orders.first <= order) playing = &row;
    return *playing;
}

const TimetableRow* Timetable::titled(const std::string& title) {
    for (const TimetableRow& row : rows())
        if (title == row.title) return &row;
    return nullptr;
}
