#include "app/ShowLoad.h"

#include "platform/MusicShape.h"

#include <string>
#include <utility>

namespace ShowLoad {

namespace {

std::string songOrders(const MusicShape& music) {
    return "the song's orders are 0 to " + std::to_string(music.orderCount() - 1);
}

// --from or --to in the show: an order as it is; a time, the order and row playing then; a
// title, where that scene starts for --from and where it ends for --to.
void resolvePlace(const ShowPlan& show, const char* what, const CommandLine::Place& place, bool end, int& order,
                  int& row) {
    const MusicShape& music = show.shape;
    if (place.time) {
        music.rowAt(*place.time, order, row);
    } else if (place.order) {
        order = *place.order;
    } else if (const TimetableRow* scene = show.timetable().titled(place.text)) {
        order = end ? scene->orders.last : scene->orders.first;
    } else {
        throw OutOfRange(CommandLine::noSuchPlace(
            what, place.text, "it takes an order, a time such as 2:30 or 150.5, or a scene: " + show.timetable().titles()));
    }
    if (order >= music.orderCount())
        throw OutOfRange(CommandLine::noSuchPlace(what, place.text, songOrders(music) + " and it is " +
                                                                         clockTime(music.endSeconds()) + " long"));
    if (!music.reaches(order))
        throw OutOfRange(CommandLine::noSuchPlace(what, place.text, "the song never plays order " + std::to_string(order)));
}

} // namespace

ShowPlan load(const DataFolder& data) { return load(data, ShowFile::load(data)); }

ShowPlan load(const DataFolder& data, const ShowFile& file) {
    ShowPlan show(data, file, MusicShape::load(data, file.music));
    show.checkFiles();
    return show;
}

PlayRange range(const CommandLine& cl, const ShowPlan& show) {
    PlayRange range;
    range.loop = cl.loop;
    if (cl.from.given()) resolvePlace(show, "--from", cl.from, false, range.from, range.fromRow);
    if (cl.to.given()) resolvePlace(show, "--to", cl.to, true, range.to, range.toRow);
    // A scene looped is that scene, as a chapter is in a media player.
    if (cl.loop && cl.from.isTitle() && !cl.to.given()) resolvePlace(show, "--from", cl.from, true, range.to, range.toRow);
    try {
        range.check();
    } catch (const std::invalid_argument& e) {
        throw CommandLine::UsageError(e.what());
    }
    return range;
}


} // namespace ShowLoad
