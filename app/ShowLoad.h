#pragma once

#include "app/CommandLine.h"
#include "raster/DataFolder.h"
#include "show/ShowPlan.h"

#include <stdexcept>

// The show a data folder holds, as the program's commands play it.
namespace ShowLoad {

// A position the command line names that the show does not have: a usage error, but one only
// the loaded show can find.
class OutOfRange : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The folder's show: its show file (or the program's own), the music's shape, and every file its
// scenes read there. Throws LoadError.
ShowPlan load(const DataFolder& data);
// The same with the show file already read.
ShowPlan load(const DataFolder& data, const ShowFile& file);

// --from, --to and --loop in the show: an order as it is, a time as the order and row playing
// then, a title as where that scene starts for --from and where it ends for --to; a scene looped
// from its title alone is that scene. Throws OutOfRange for a place the show does not have, and
// CommandLine::UsageError when --to comes before --from.
PlayRange range(const CommandLine& cl, const ShowPlan& show);

} // namespace ShowLoad
