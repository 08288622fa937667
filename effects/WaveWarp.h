#pragma once

#include "effects/GridWarp.h"

#include <cstdint>
#include <vector>

// A texture swimming under eight travelling sine waves, tinted by sine ramps of where each node
// landed. Neighbouring nodes can lie tens of texels apart, which is the look.
class WaveWarp : public GridWarp {
public:
    WaveWarp(int cols, int rows, const Image& texture, float speed);
    void draw(float t) override;

private:
    // (sin(0.01 n) + 1) × 127.5 truncated, from the table where n lies within it.
    int rampOf(std::int64_t n) const;

    struct ColumnTerms {
        double u3, u4, v1, v2;
    };

    float speed_;
    std::vector<ColumnTerms> columnTerms_;
    std::vector<double> diagonalTerms_;
    int rampLimit_ = 0;
    std::vector<int> ramps_;
};
