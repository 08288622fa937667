#pragma once

#include "effects/GridWarp.h"

// Up to 15 soft blobs on sine paths over a scrolling texture: inside a blob the texture is
// pushed about and lit by the blob's influence, outside it is dark.
class BlobWarp : public GridWarp {
public:
    static constexpr int maxBlobs = 15;

    // count above 15 becomes 15; speed multiplies the draw argument; radius is in pixels.
    BlobWarp(int cols, int rows, const Image& texture, int count, float speed, float radius);

    void setStrength(float strength) { strength_ = strength; }
    // Only the low 8 bits count, as a factor out of 256 on every node's light.
    void setBrightness(int brightness) { brightness_ = static_cast<std::uint8_t>(brightness); }
    void draw(float t) override;
    int blobCount() const { return count_; }

private:
    float speed_;
    float radius_;
    float strength_ = 1.0f;
    std::uint8_t brightness_ = 255;
    int count_;
};
