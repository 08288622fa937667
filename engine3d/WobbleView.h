#pragma once

#include "engine3d/Mesh.h"
#include "engine3d/Renderer3D.h"
#include "engine3d/Vector3.h"

// One object whose transformed points are pushed around by nine chained sine terms that move
// with time, flat-shaded from black (facing away) to full (facing the eye). Not outlined: a
// scene that wants the white edges calls outline() after draw().
class WobbleView : public Renderer3D {
public:
    // Loads the object now; throws LoadError as Mesh::load does.
    WobbleView(int width, int height, const DataFolder& data, const char* fileName);
    WobbleView(int width, int height, Mesh mesh);

    void setRotation(float a, float b, float c);
    // 0 leaves the object undeformed (time then has no effect); 1 is the full wobble.
    void setAmplitude(float amplitude) { amplitude_ = amplitude; }
    void draw(float t) override;

    // trunc((n.z + 1) · 127): 0 facing away, 254 facing the eye.
    static int shadeLevel(float normalZ) { return truncLevel((normalZ + 1.0f) * 127.0f); }
    // The deformation of one transformed point at time t with amplitude a.
    static Vector3 wobble(Vector3 p, float t, float amplitude);

    const Mesh& mesh() const { return mesh_; }

private:
    Mesh mesh_;
    float a_ = 0.0f;
    float b_ = 0.0f;
    float c_ = 0.0f;
    float amplitude_ = 1.0f;
    Vector3 position_;  // the object stays at the origin
};
