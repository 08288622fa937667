#pragma once

#include "raster/DataFolder.h"

namespace bench {

// The data the build generated, which the benchmarks read in place.
inline const DataFolder& buildData() {
    static const DataFolder data(TINDREL_BUILD_DATA_DIR);
    return data;
}

} // namespace bench
