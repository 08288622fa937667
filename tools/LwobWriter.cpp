#include "tools/LwobWriter.h"

#include "engine3d/Mesh.h"
#include "raster/BitCast.h"

#include <stdexcept>

namespace {

class Bytes {
public:
    void id(const char* s) { out.insert(out.end(), s, s + 4); }
    void u16(std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v));
    }
    void u32(std::uint32_t v) {
        u16(v >> 16);
        u16(v & 0xFFFF);
    }
    void f32(float v) { u32(bitCast<std::uint32_t>(v)); }
    void u8(std::uint8_t v) { out.push_back(v); }
    void name(const std::string& s) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
        if ((s.size() + 1) % 2 != 0) out.push_back(0);
    }
    // Opens a chunk whose size is filled in by close().
    std::size_t open(const char* chunkId) {
        id(chunkId);
        u32(0);
        return out.size();
    }
    void close(std::size_t start) {
        const auto size = static_cast<std::uint32_t>(out.size() - start);
        for (int k = 0; k < 4; ++k) out[start - 4 + k] = static_cast<std::uint8_t>(size >> (24 - 8 * k));
    }

    std::vector<std::uint8_t> out;
};

void check(bool ok, const char* what) {
    if (!ok) throw std::invalid_argument(std::string("LWOB writer: ") + what);
}

} // namespace

std::vector<std::uint8_t> LwobWriter::write(const Object& object) {
    check(object.points.size() <= static_cast<std::size_t>(Mesh::maxPoints), "more points than the show loads");
    check(object.faces.size() <= static_cast<std::size_t>(Mesh::maxTriangles), "more triangles than the show loads");
    check(object.surfaces.size() <= 50, "more than 50 surfaces");
    for (const Surface& s : object.surfaces)
        check(s.name.size() <= 49 && s.name.find('\0') == std::string::npos, "surface name unusable");
    for (const Face& f : object.faces) {
        for (int p : f.points) check(p >= 0 && static_cast<std::size_t>(p) < object.points.size(), "point index");
        check(f.surface >= 0 && static_cast<std::size_t>(f.surface) < object.surfaces.size(), "surface index");
    }

    Bytes b;
    const std::size_t form = b.open("FORM");
    b.id("LWOB");

    const std::size_t pnts = b.open("PNTS");
    for (const auto& p : object.points)
        for (float v : p) b.f32(v);
    b.close(pnts);

    const std::size_t srfs = b.open("SRFS");
    for (const Surface& s : object.surfaces) b.name(s.name);
    b.close(srfs);

    const std::size_t pols = b.open("POLS");
    for (const Face& f : object.faces) {
        b.u16(3);
        for (int p : f.points) b.u16(static_cast<std::uint32_t>(p));
        b.u16(static_cast<std::uint32_t>(f.surface + 1));
    }
    b.close(pols);

    for (const Surface& s : object.surfaces) {
        const std::size_t surf = b.open("SURF");
        b.name(s.name);
        b.id("COLR");
        b.u16(4);
        b.u8(s.red);
        b.u8(s.green);
        b.u8(s.blue);
        b.u8(0);
        b.close(surf);
    }

    b.close(form);
    return std::move(b.out);
}
