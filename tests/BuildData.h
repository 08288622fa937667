#pragma once

#include "app/ShowLoad.h"
#include "raster/DataFolder.h"
#include "show/ShowPlan.h"

// The data the build generated, read in place by every test that loads the show's files.
inline const DataFolder& buildData() {
    static const DataFolder data(TINDREL_BUILD_DATA_DIR);
    return data;
}

// The show that data holds, as the program loads it: a copy of its own for each caller, who
// may change how it is viewed or where it plays.
inline ShowPlan buildShow() {
    static const ShowPlan show = ShowLoad::load(buildData());
    return show;
}
