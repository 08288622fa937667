#pragma once

#include "raster/DataFolder.h"

// The data the build generated, read in place by every test that loads the show's files.
inline const DataFolder& buildData() {
    static const DataFolder data(TINDREL_BUILD_DATA_DIR);
    return data;
}
