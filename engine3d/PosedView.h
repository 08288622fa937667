#pragma once

#include "engine3d/Matrix4.h"
#include "engine3d/Mesh.h"
#include "engine3d/Renderer3D.h"
#include "engine3d/Vector3.h"

#include <string>
#include <utility>

class DataFolder;

// Where a view puts its object: three rotation angles and a position.
struct Pose {
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;
    Vector3 position;

    Matrix4 matrix() const { return Matrix4(a, b, c, position); }
};

// A renderer whose object turns by the angles the scene sets.
class PosedView : public Renderer3D {
public:
    void setRotation(float a, float b, float c) {
        pose_.a = a;
        pose_.b = b;
        pose_.c = c;
    }

protected:
    PosedView(int width, int height) : Renderer3D(width, height) {}

    Pose pose_;
};

// A posed view of one object, loaded from the data folder or given.
class OneObjectView : public PosedView {
public:
    // Loads the object now; throws LoadError as Mesh::load does.
    OneObjectView(int width, int height, const DataFolder& data, const std::string& fileName) : PosedView(width, height) {
        mesh_.load(data, fileName);
    }
    OneObjectView(int width, int height, Mesh mesh) : PosedView(width, height), mesh_(std::move(mesh)) {}

    const Mesh& mesh() const { return mesh_; }

protected:
    Mesh mesh_;
};
