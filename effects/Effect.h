#pragma once

// A layer a scene steps once a frame. Effects with a picture of their own expose it as image();
// in-place effects work on the image they were built on.
class Effect {
public:
    virtual ~Effect() = default;
    // t is each effect's own parameter, usually the show's seconds.
    virtual void draw(float t) = 0;
};
