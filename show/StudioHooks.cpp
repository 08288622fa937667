#include "show/StudioHooks.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

bool loadsAny(const TimetableRow& row, const std::vector<std::string>& files) {
    return std::any_of(row.files.begin(), row.files.end(),
                       [&files](const std::string& f) { return std::find(files.begin(), files.end(), f) != files.end(); });
}

} // namespace

bool StudioHooks::awaits(const TimetableRow& row) const { return loadsAny(row, awaiting_); }

std::unique_ptr<Scene> StudioHooks::reload(Show& show, const std::vector<std::string>& dataFiles) {
    std::erase_if(awaiting_, [&dataFiles](const std::string& f) {
        return std::find(dataFiles.begin(), dataFiles.end(), f) != dataFiles.end();
    });
    std::vector<std::pair<std::size_t, std::unique_ptr<Scene>>> built;
    for (std::size_t i = 0; i < show.size(); ++i) {
        const TimetableRow& row = show.row(i);
        // A scene waits on until the last of its files is there.
        if (loadsAny(row, dataFiles) && !awaits(row)) built.emplace_back(i, row.make(show.stage()));
    }
    std::unique_ptr<Scene> running;
    for (auto& [i, scene] : built) {
        if (i == show.current()) running = std::move(scene);
        else show.replace(i, std::move(scene));
    }
    return running;
}
