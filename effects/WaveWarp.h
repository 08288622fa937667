#pragma once

#include "effects/GridWarp.h"

// A texture swimming under eight travelling sine waves, tinted by sine ramps of where each node
// landed. Neighbouring nodes can lie tens of texels apart, which is the look.
class WaveWarp : public GridWarp {
public:
    WaveWarp(int cols, int rows, const Image& texture, float speed);
    void draw(float t) override;

private:
    float speed_;
};
