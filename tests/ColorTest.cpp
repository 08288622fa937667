#include "raster/Color.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Color, StoresBlueGreenRedAlphaInMemoryOrder) {
    const Color c(1, 2, 3, 4);
    unsigned char bytes[4];
    std::memcpy(bytes, &c, 4);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes[3], 4);
    // Only the low 8 bits of each argument are kept.
    EXPECT_EQ(Color(256 + 7, -1, 512, 300), Color(7, 255, 0, 44));
}

TEST(Color, ArithmeticIgnoresAlphaAndSetsIt) {
    struct Case {
        const char* what;
        Color got;
        Color want;
    };
    const Case cases[] = {
        {"add saturates", Color(200, 100, 0, 7).addSaturate(Color(100, 100, 100, 0)), Color(255, 200, 100, 255)},
        {"modulate of white is 254", Color(255, 255, 255, 0).modulate(Color(255, 255, 255, 0)), Color(254, 254, 254, 255)},
        {"average drops the half", Color(1, 2, 3, 0).average(Color(2, 2, 2, 0)), Color(1, 2, 2, 255)},
        {"scale by 128", Color(255, 128, 1, 0).scale(128), Color(127, 64, 0, 255)},
        {"scale 255 darkens", Color(255, 255, 255, 9).scale(255), Color(254, 254, 254, 255)},
        {"scale 256 acts as 0", Color(255, 255, 255, 0).scale(256), Color(0, 0, 0, 255)},
        {"scale takes the low byte of a negative level", Color(200, 100, 50, 0).scale(-128), Color(100, 50, 25, 255)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}
