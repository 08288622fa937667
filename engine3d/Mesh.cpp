#include "engine3d/Mesh.h"

#include "raster/DataFolder.h"
#include "raster/BitCast.h"
#include "raster/LoadError.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace {

constexpr const char* notLwob = "not an lightwave object file";
constexpr const char* corrupt = "corrupt lightwave object file";
constexpr const char* outOfOrder = "polygons before points or surface names";

constexpr std::uint32_t id(const char (&s)[5]) {
    return (std::uint32_t(std::uint8_t(s[0])) << 24) | (std::uint32_t(std::uint8_t(s[1])) << 16) |
           (std::uint32_t(std::uint8_t(s[2])) << 8) | std::uint32_t(std::uint8_t(s[3]));
}

// Big-endian reads within [pos, end): every read is checked against the end it was given, so a
// size or count from the file can never carry the loader past its chunk or the file.
class Reader {
public:
    Reader(const std::string& name, std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end)
        : name_(name), bytes_(bytes), pos_(begin), end_(end) {}

    std::size_t pos() const { return pos_; }
    std::size_t end() const { return end_; }
    std::size_t left() const { return end_ - pos_; }
    bool atEnd() const { return pos_ >= end_; }

    void need(std::size_t n) const {
        if (left() < n) fail(corrupt);
    }
    std::uint8_t u8() {
        need(1);
        return bytes_[pos_++];
    }
    std::uint16_t u16() {
        need(2);
        const auto v = static_cast<std::uint16_t>((bytes_[pos_] << 8) | bytes_[pos_ + 1]);
        pos_ += 2;
        return v;
    }
    std::uint32_t u32() {
        need(4);
        const std::uint32_t v = (std::uint32_t(bytes_[pos_]) << 24) | (std::uint32_t(bytes_[pos_ + 1]) << 16) |
                                (std::uint32_t(bytes_[pos_ + 2]) << 8) | std::uint32_t(bytes_[pos_ + 3]);
        pos_ += 4;
        return v;
    }
    float f32() { return bitCast<float>(u32()); }
    void skip(std::size_t n) {
        need(n);
        pos_ += n;
    }
    // A sub-reader over the next n bytes, which this reader steps over.
    Reader take(std::size_t n) {
        need(n);
        Reader sub(name_, bytes_, pos_, pos_ + n);
        pos_ += n;
        return sub;
    }

    // A zero-terminated name followed by a filler byte when the name and its zero make an odd
    // count. The filler may be missing at the very end of the chunk: nothing follows it there.
    std::string name() {
        const auto* first = bytes_.data() + pos_;
        const auto* last = bytes_.data() + end_;
        const auto* zero = std::find(first, last, std::uint8_t{0});
        if (zero == last) fail(corrupt);
        const auto length = static_cast<std::size_t>(zero - first);
        if (length > static_cast<std::size_t>(Mesh::maxNameLength)) fail("surface name too long");
        std::string s(reinterpret_cast<const char*>(first), length);
        pos_ = std::min(pos_ + length + 1 + ((length + 1) % 2), end_);
        return s;
    }

    [[noreturn]] void fail(const std::string& message) const { throw LoadError(name_, message); }

private:
    const std::string& name_;
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_;
    std::size_t end_;
};

} // namespace

Mesh::Mesh(const Mesh& other)
    : name_(other.name_), points_(other.points_), viewPoints_(other.viewPoints_), surfaces_(other.surfaces_),
      triangles_(other.triangles_) {
    // The copied triangles still lead into other's arrays; move each pointer to the same index here.
    for (Triangle& t : triangles_) {
        for (std::size_t k = 0; k < 3; ++k) {
            t.vertex[k] = points_.data() + (t.vertex[k] - other.points_.data());
            t.viewVertex[k] = viewPoints_.data() + (t.viewVertex[k] - other.viewPoints_.data());
        }
        t.surface = surfaces_.data() + (t.surface - other.surfaces_.data());
    }
}

Mesh& Mesh::operator=(const Mesh& other) {
    if (this != &other) *this = Mesh(other);
    return *this;
}

void Mesh::load(const DataFolder& data, const std::string& fileName) {
    // The object loader speaks in lower case, unlike the image loader, and has no read error
    // of its own.
    *this = decode(fileName, data.read(fileName, {"could not open file", "could not open file"}));
}

Mesh Mesh::decode(const std::string& name, std::span<const std::uint8_t> bytes) {
    Reader file(name, bytes, 0, bytes.size());
    // A file too short for its two identifiers reads as a foreign file, not as a damaged one.
    if (bytes.size() < 12) file.fail(notLwob);
    if (file.u32() != id("FORM")) file.fail(notLwob);
    const std::size_t formEnd = std::size_t{file.u32()} + 8;
    if (file.u32() != id("LWOB")) file.fail(notLwob);
    if (formEnd > bytes.size() || formEnd < 12) file.fail(corrupt);
    // Anything after the FORM is not part of the object and is never read.
    Reader form(name, bytes, 12, formEnd);

    Mesh mesh;
    mesh.name_ = name;
    bool havePoints = false;
    bool haveNames = false;
    bool havePolygons = false;
    while (!form.atEnd()) {
        const std::uint32_t chunkId = form.u32();
        const std::uint32_t size = form.u32();
        Reader chunk = form.take(size);

        if (chunkId == id("PNTS")) {
            if (havePolygons) chunk.fail(outOfOrder);
            const std::size_t count = size / 12;  // a remainder of under 12 bytes is skipped
            if (count > static_cast<std::size_t>(maxPoints))
                chunk.fail("more than " + std::to_string(maxPoints) + " points");
            mesh.points_.resize(count);
            mesh.viewPoints_.assign(count, Vector3());
            for (Vector3& p : mesh.points_) p = {chunk.f32(), chunk.f32(), chunk.f32()};
            havePoints = true;
        } else if (chunkId == id("SRFS")) {
            if (havePolygons) chunk.fail(outOfOrder);
            std::vector<Surface> surfaces;
            while (!chunk.atEnd()) {
                if (surfaces.size() == static_cast<std::size_t>(maxSurfaces)) chunk.fail("too many surfaces");
                surfaces.push_back({chunk.name(), Color()});
            }
            mesh.surfaces_ = std::move(surfaces);
            haveNames = true;
        } else if (chunkId == id("POLS")) {
            // Triangles point into the point and surface arrays, so those must exist first and
            // then stay put.
            if (!havePoints || !haveNames) chunk.fail(outOfOrder);
            mesh.triangles_.clear();
            while (!chunk.atEnd()) {
                const std::uint16_t n = chunk.u16();
                if (n != 3) {
                    // Other polygons are dropped unread; the word after one is the next count.
                    chunk.skip(std::size_t{n} * 2 + 2);
                    continue;
                }
                if (mesh.triangles_.size() == static_cast<std::size_t>(maxTriangles))
                    chunk.fail("more than " + std::to_string(maxTriangles) + " triangles");
                Triangle t;
                for (std::size_t k = 0; k < 3; ++k) {
                    const std::uint16_t i = chunk.u16();
                    if (i >= mesh.points_.size()) chunk.fail("point index out of range");
                    t.vertex[k] = &mesh.points_[i];
                    t.viewVertex[k] = &mesh.viewPoints_[i];
                }
                // A detail-polygon marker (negative as a signed word) falls out of range too.
                const std::uint16_t s = chunk.u16();
                if (s == 0 || s > mesh.surfaces_.size()) chunk.fail("surface number out of range");
                t.surface = &mesh.surfaces_[s - 1];
                mesh.triangles_.push_back(t);
            }
            havePolygons = true;
        } else if (chunkId == id("SURF")) {
            const std::string surfaceName = chunk.name();
            auto match = std::find_if(mesh.surfaces_.begin(), mesh.surfaces_.end(),
                                      [&](const Surface& s) { return s.name == surfaceName; });
            while (!chunk.atEnd()) {
                const std::uint32_t subId = chunk.u32();
                const auto length = static_cast<std::int16_t>(chunk.u16());
                if (length < 0) chunk.fail(corrupt);
                Reader sub = chunk.take(static_cast<std::size_t>(length));
                if (subId != id("COLR")) continue;
                // Red, green, blue; the fourth byte is never used, so it need not be there.
                const std::uint8_t r = sub.u8();
                const std::uint8_t g = sub.u8();
                const std::uint8_t b = sub.u8();
                // A description of a surface that no polygon can name colours nothing.
                if (match != mesh.surfaces_.end()) match->color = Color(r, g, b, 0);
            }
        }
    }
    return mesh;
}
