#include "show/ShowPlan.h"

#include "platform/Music.h"
#include "raster/LoadError.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

bool PlayRange::past(std::uint32_t position) const {
    if (position == Music::endPosition) return true;
    if (to < 0) return false;
    const int order = Music::orderOf(position);
    return order > to || (order == to && toRow >= 0 && Music::rowOf(position) > toRow);
}

void PlayRange::check() const {
    if (to >= 0 && (to < from || (to == from && toRow >= 0 && toRow < fromRow)))
        throw std::invalid_argument("--to must not come before --from");
}

namespace {

[[noreturn]] void refuse(const TimetableRow& row, const std::string& what) {
    throw LoadError(std::string(ShowFile::fileName) + ":" + std::to_string(row.line), "scene \"" + row.title + "\": " + what);
}

} // namespace

ShowPlan::ShowPlan(DataFolder dataFolder, ShowFile showFile, MusicShape musicShape)
    : data(std::move(dataFolder)), file(std::move(showFile)), shape(std::move(musicShape)) {
    std::vector<TimetableRow> rows;
    const int orders = shape.orderCount();
    for (TimetableRow row : file.timetable.rows()) {
        // The program's own show over a song of the maker's that differs in shape plays what of
        // it the song has, as it did before shows had files.
        if (file.isShipped) {
            if (row.orders.first >= orders) break;
            row.orders.last = std::min(row.orders.last, orders - 1);
            row.moment.order = std::min(row.moment.order, row.orders.last);
            row.moment.row = std::min(row.moment.row, std::max(0, shape.rowsIn(row.moment.order) - 1));
        }
        if (row.orders.last >= orders)
            refuse(row, "its orders " + std::to_string(row.orders.first) + " to " + std::to_string(row.orders.last) +
                            " lie outside the song, whose orders are 0 to " + std::to_string(orders - 1));
        // A moment the file leaves out is the middle of the scene's middle order.
        if (row.moment.row < 0) row.moment.row = shape.rowsIn(row.moment.order) / 2;
        if (row.moment.row >= shape.rowsIn(row.moment.order))
            refuse(row, "its moment's row " + std::to_string(row.moment.row) + " is past the end of order " +
                            std::to_string(row.moment.order) + ", whose rows are 0 to " +
                            std::to_string(shape.rowsIn(row.moment.order) - 1));
        rows.push_back(std::move(row));
    }
    file.timetable = Timetable(std::move(rows));
}

void ShowPlan::checkFiles() const {
    if (file.isShipped) return;
    for (const TimetableRow& row : timetable().rows())
        for (const std::string& name : row.files) {
            std::error_code ec;
            if (!std::filesystem::exists(data.path(name), ec))
                refuse(row, "a " + row.kind + " scene reads " + name + ", which the data folder does not have");
        }
}

std::string clockTime(double seconds, bool fine) {
    seconds = std::max(0.0, seconds);
    char text[32];
    if (fine) {
        const double hundredths = std::floor(seconds * 100.0 + 1e-6);
        const int minutes = static_cast<int>(hundredths / 6000.0);
        std::snprintf(text, sizeof text, "%d:%05.2f", minutes, (hundredths - minutes * 6000.0) / 100.0);
    } else {
        const int whole = static_cast<int>(seconds);
        std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
    }
    return text;
}
