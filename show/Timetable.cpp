#include "show/Timetable.h"

#include <cctype>
#include <utility>

// Each defined in the scene's own file, under show/scenes/.
std::unique_ptr<Scene> buildOpening(const Stage&, const Scene::Slot&);
std::unique_ptr<Scene> buildBlobLight(const Stage&, const Scene::Slot&);
std::unique_ptr<Scene> buildScroller(const Stage&, const Scene::Slot&);
std::unique_ptr<Scene> buildStarAndArrows(const Stage&, const Scene::Slot&);
std::unique_ptr<Scene> buildCubeWave(const Stage&, const Scene::Slot&);
std::unique_ptr<Scene> buildGlowingBand(const Stage&, const Scene::Slot&);
std::unique_ptr<Scene> buildTunnelsAndCones(const Stage&, const Scene::Slot&);
std::unique_ptr<Scene> buildWaveWarp(const Stage&, const Scene::Slot&);
std::unique_ptr<Scene> buildFarewell(const Stage&, const Scene::Slot&);

std::span<const SceneKind> SceneKind::all() {
    static const std::vector<SceneKind> kinds = {
        {"opening", "Part1", {"logolight.pcx", "background.pcx"}, buildOpening},
        {"blob-light", "Part2", {"star.pcx", "texture1.tex"}, buildBlobLight},
        {"scroller", "Part3", {"background.pcx", "scroll.pcx", "dots.pcx", "dots2.pcx"}, buildScroller},
        {"star-and-arrows", "Part4", {"background.pcx", "star.lwo", "arrow.lwo"}, buildStarAndArrows},
        {"cube-wave", "Part5", {"background.pcx", "gubbe.pcx", "cube.lwo"}, buildCubeWave},
        {"glowing-band", "Part6", {"background.pcx", "texture.tex", "logo.pcx"}, buildGlowingBand},
        {"tunnels-and-cones", "Part7", {"background.pcx", "cube.lwo", "cones.lwo", "disco.pcx", "texture.tex"},
         buildTunnelsAndCones},
        {"wave-warp", "Part8", {"background.pcx", "texture.tex"}, buildWaveWarp},
        {"farewell", "Part9", {"background.pcx"}, buildFarewell},
    };
    return kinds;
}

const SceneKind* SceneKind::named(std::string_view name) {
    for (const SceneKind& kind : all())
        if (name == kind.name) return &kind;
    return nullptr;
}

TimetableRow TimetableRow::of(const SceneKind& kind, std::string title, Scene::Orders orders, Moment moment,
                              std::string folder) {
    std::vector<std::string> files;
    for (const char* file : kind.files) files.push_back(folder + "/" + file);
    return {std::move(title), orders, kind.build, moment, std::move(files), kind.name, std::move(folder)};
}

std::size_t Timetable::indexPlayingAt(int order) const {
    std::size_t playing = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].orders.first <= order) playing = i;
    return playing;
}

namespace {

// A title as typed: the shell may have been asked to keep the spaces, or dashes stand for them
// (the form completion offers); either way the case and a leading "the" are not the point.
std::string titleKey(std::string_view text) {
    std::string key;
    for (const char c : text)
        key += c == '-' ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key.starts_with("the ")) key.erase(0, 4);
    return key;
}

} // namespace

const TimetableRow* Timetable::titled(std::string_view title) const {
    const std::string key = titleKey(title);
    for (const TimetableRow& row : rows_)
        if (titleKey(row.title) == key) return &row;
    return nullptr;
}

std::string Timetable::titles() const {
    std::string titles;
    for (const TimetableRow& row : rows_) titles += (titles.empty() ? "" : ", ") + row.title;
    return titles;
}
