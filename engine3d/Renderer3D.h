#pragma once

#include "engine3d/Mesh.h"
#include "raster/Image.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

// The depth-buffered triangle rasteriser the object views derive from. Scenes blit its image()
// like any other. Pixels no triangle covers are Color(0, 0, 0, 0); drawn
// pixels carry their triangle's shade (alpha 255), outline pixels are white with alpha 255.
//
// A frame: the view queues triangles of its meshes, then flush() clears colour and depth and
// scan-converts the queue in order (the first queued wins at equal depth), then optionally
// outline(). Queued triangles are borrowed and must stay unchanged until the flush. Nothing is
// allocated per frame once the queue has reached the largest count the view queues.
class Renderer3D {
public:
    static constexpr int queueStep = 512;
    static constexpr float emptyDepth = std::numeric_limits<float>::max();
    // In stored depth units: the views that scale by 80 before projecting see it as 5 units of
    // camera depth, the grid as 400, which only the empty background reaches.
    static constexpr float outlineThreshold = 400.0f;
    // Screen coordinates beyond this would overflow 16.16 edge arithmetic; such triangles, and
    // non-finite ones, are skipped whole.
    static constexpr float coordinateLimit = 32767.0f;
    // The most a view transforms and queues in one frame, all its copies of an object counted:
    // a triangle may cover the whole view, so these bound a frame's work. One object within
    // Mesh's limits always fits; the grid's 104 copies get a share each.
    static constexpr int maxPointsPerFrame = 65536;
    static constexpr int maxTrianglesPerFrame = 16384;
    static_assert(Mesh::maxPoints <= maxPointsPerFrame && Mesh::maxTriangles <= maxTrianglesPerFrame);

    Renderer3D(int width, int height);
    virtual ~Renderer3D() = default;
    Renderer3D(const Renderer3D&) = delete;
    Renderer3D& operator=(const Renderer3D&) = delete;

    // Renders one frame of the view into its image; t is the show's seconds.
    virtual void draw(float t) = 0;

    void queue(const Triangle& triangle);
    void flush();
    void clear();
    // Reads the triangle's three projected view points (screen x, screen y, depth) and its shade.
    void drawTriangle(const Triangle& triangle);
    // Columns from the smaller to the larger x, the larger one excluded, with depth stepped
    // linearly between the ends; clipped to the image. Writes only where z is strictly nearer.
    void drawSpan(int x0, int x1, float z0, float z1, int y, Color color);
    // Whitens pixels where depth jumps by more than outlineThreshold between neighbours.
    void outline();

    Image& image() { return image_; }
    const Image& image() const { return image_; }
    // Zero until the first clear fills it.
    std::span<const float> depth() const { return {depth_.get(), image_.pixelCount()}; }
    float depthAt(int x, int y) const { return depth_[static_cast<std::size_t>(y) * image_.width() + x]; }
    int queuedCount() const { return queued_; }
    int queueCapacity() const { return static_cast<int>(queue_.size()); }
    const Triangle& queuedAt(int i) const { return *queue_[static_cast<std::size_t>(i)]; }

protected:
    // Stage 2 of a view's frame: every triangle's normal, then its shade, the surface colour
    // scaled by the view's level for the normal's z (Color::scale keeps its low 8 bits).
    template <class LevelOf>
    static void shade(Mesh& mesh, LevelOf levelOf) {
        for (Triangle& t : mesh.triangles()) {
            t.computeNormal();
            t.shade = t.surface->color.scale(levelOf(t.normal.z));
        }
    }

    // Refuses, as a LoadError against the mesh's name, an object the view would draw copies
    // times a frame when that exceeds the budget above.
    static void checkWork(const Mesh& mesh, int copies);

    // Stages 3 and 4: every view point multiplied by depthScale (which leaves the screen
    // position alone but stretches the stored depth) and projected, then every triangle queued.
    void projectAndQueue(Mesh& mesh, float depthScale);

    // Truncation toward zero for shading levels. A degenerate triangle's non-finite normal
    // gives level 0, so it is drawn black rather than converted with undefined behaviour.
    static int truncLevel(float v) { return std::isfinite(v) ? static_cast<int>(v) : 0; }

private:
    Image image_;
    std::vector<const Triangle*> queue_;  // its size is the capacity
    int queued_ = 0;
    // Zeroed by calloc and left untouched: a view built for a later scene costs no memory until
    // its first frame, whose clear fills it whole; later clears refill only the drawn box.
    SystemArray<float> depth_;
    bool depthFilled_ = false;
    std::vector<std::uint32_t> jumps_;  // outline's scratch: four padded rows of jump flags
    // The rows and columns spans have reached since the depth was last cleared, inclusive;
    // empty while top > bottom. Clearing and outlining need not look beyond it.
    struct Box {
        int top = std::numeric_limits<int>::max();
        int bottom = std::numeric_limits<int>::min();
        int left = std::numeric_limits<int>::max();
        int right = std::numeric_limits<int>::min();
    };
    Box drawn_;
};
