#pragma once

#include "engine3d/Mesh.h"
#include "engine3d/Renderer3D.h"
#include "engine3d/Vector3.h"

// One object at a position with three rotation angles, flat-shaded and outlined in white.
// Faces turned toward the eye are lit fully; the level is not clamped, so a face turned just
// past edge-on wraps to bright (a negative level keeps its low 8 bits).
class MeshView : public Renderer3D {
public:
    // Loads the object now; throws LoadError as Mesh::load does.
    MeshView(int width, int height, const DataFolder& data, const char* fileName);
    MeshView(int width, int height, Mesh mesh);

    // Positive x moves the object left on screen, positive y down, positive z away.
    void setPosition(float x, float y, float z) { position_ = {x, y, z}; }
    void setRotation(float a, float b, float c);
    // t has no effect: the view moves only through its setters.
    void draw(float t) override;

    // trunc(255 · n.z), before Color::scale keeps its low 8 bits.
    static int shadeLevel(float normalZ) { return truncLevel(255.0f * normalZ); }

    const Mesh& mesh() const { return mesh_; }

private:
    Mesh mesh_;
    float a_ = 0.0f;
    float b_ = 0.0f;
    float c_ = 0.0f;
    Vector3 position_;
};
