#pragma once

#include "engine3d/PosedView.h"

// One object at a position with three rotation angles, flat-shaded and outlined in white.
// Faces turned toward the eye are lit fully; the level is not clamped, so a face turned just
// past edge-on wraps to bright (a negative level keeps its low 8 bits).
class MeshView : public OneObjectView {
public:
    using OneObjectView::OneObjectView;

    // Positive x moves the object left on screen, positive y down, positive z away.
    void setPosition(float x, float y, float z) { pose_.position = {x, y, z}; }
    // t has no effect: the view moves only through its setters.
    void draw(float t) override;

    // trunc(255 · n.z), before Color::scale keeps its low 8 bits.
    static int shadeLevel(float normalZ) { return truncLevel(255.0f * normalZ); }
};
