#pragma once

#include "app/ShowLoad.h"
#include "raster/DataFolder.h"
#include "show/ShowPlan.h"

namespace bench {

// The data the build generated, which the benchmarks read in place.
inline const DataFolder& buildData() {
    static const DataFolder data(TINDREL_BUILD_DATA_DIR);
    return data;
}

// The show it holds, loaded once.
inline const ShowPlan& buildShow() {
    static const ShowPlan show = ShowLoad::load(buildData());
    return show;
}

} // namespace bench
