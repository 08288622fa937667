#pragma once

#include "engine3d/PosedView.h"
#include "engine3d/Vector3.h"

// One object whose transformed points are pushed around by nine chained sine terms that move
// with time, flat-shaded from black (facing away) to full (facing the eye). Not outlined: a
// scene that wants the white edges calls outline() after draw().
class WobbleView : public OneObjectView {
public:
    // The object stays at the origin.
    using OneObjectView::OneObjectView;

    // 0 leaves the object undeformed (time then has no effect); 1 is the full wobble.
    void setAmplitude(float amplitude) { amplitude_ = amplitude; }
    void draw(float t) override;

    // trunc((n.z + 1) · 127): 0 facing away, 254 facing the eye.
    static int shadeLevel(float normalZ) { return truncLevel((normalZ + 1.0f) * 127.0f); }
    // The deformation of one transformed point at time t with amplitude a.
    static Vector3 wobble(Vector3 p, float t, float amplitude);

private:
    float amplitude_ = 1.0f;
};
