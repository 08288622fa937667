// The differential tests bind the SIMD loops to the plain ones only where the SIMD loops are
// built: in the browser's build they must be, and chosen.
#include "raster/ImageKernels.h"

#include <gtest/gtest.h>

TEST(WasmKernels, TheSimdLoopsAreBuiltAndChosen) {
    EXPECT_NE(ImageKernels::get(ImageKernels::Path::sse2), nullptr);
    EXPECT_EQ(ImageKernels::active().path, ImageKernels::Path::sse2);
}
