#include "tools/ObjectAssembler.h"

#include "tools/LwobWriter.h"
#include "raster/Suggest.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace {

[[noreturn]] void fail(const std::string& where, const std::string& what) { throw std::runtime_error(where + what); }

long long whole(const std::string& where, const std::string& text, long long low, long long high, const std::string& what) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        fail(where, what + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                        ", not \"" + text + "\"");
    return value;
}

float coordinate(const std::string& where, const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || std::abs(value) > 1000.0)
        fail(where, "a coordinate is a number from -1000 to 1000, not \"" + text + "\"");
    return static_cast<float>(value);
}

} // namespace

namespace ObjectAssembler {

std::vector<std::uint8_t> assemble(const std::string& source, const std::string& name) {
    static const std::vector<std::string_view> statements = {"surface", "point", "triangle"};
    LwobWriter::Object object;
    std::istringstream lines(source);
    std::string line;
    int number = 0;
    for (; std::getline(lines, line); ) {
        const std::string where = name + ":" + std::to_string(++number) + ": ";
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream in(line);
        std::vector<std::string> w;
        for (std::string word; in >> word;) w.push_back(word);
        if (w.empty()) continue;
        if (w[0] == "surface") {
            if (w.size() != 5) fail(where, "expected: surface NAME RED GREEN BLUE");
            for (const LwobWriter::Surface& s : object.surfaces)
                if (s.name == w[1]) fail(where, "surface " + w[1] + " is named twice");
            if (w[1].size() > 49) fail(where, "a surface's name has at most 49 characters");
            object.surfaces.push_back({w[1], static_cast<std::uint8_t>(whole(where, w[2], 0, 255, "red")),
                                       static_cast<std::uint8_t>(whole(where, w[3], 0, 255, "green")),
                                       static_cast<std::uint8_t>(whole(where, w[4], 0, 255, "blue"))});
        } else if (w[0] == "point") {
            if (w.size() != 4) fail(where, "expected: point X Y Z");
            object.points.push_back({coordinate(where, w[1]), coordinate(where, w[2]), coordinate(where, w[3])});
        } else if (w[0] == "triangle") {
            if (w.size() != 5) fail(where, "expected: triangle A B C SURFACE");
            LwobWriter::Face face;
            const long long last = static_cast<long long>(object.points.size()) - 1;
            if (last < 0) fail(where, "a triangle's points come before it");
            for (int i = 0; i < 3; ++i)
                face.points[static_cast<std::size_t>(i)] =
                    static_cast<int>(whole(where, w[static_cast<std::size_t>(i) + 1], 0, last, "a point's number"));
            std::vector<std::string_view> names;
            for (const LwobWriter::Surface& s : object.surfaces) names.push_back(s.name);
            face.surface = -1;
            for (std::size_t i = 0; i < names.size(); ++i)
                if (names[i] == w[4]) face.surface = static_cast<int>(i);
            if (face.surface < 0) fail(where, "no surface named " + w[4] + " before this line" + didYouMean(w[4], names));
            object.faces.push_back(face);
        } else {
            fail(where, "unknown statement \"" + w[0] + "\"" + didYouMean(w[0], statements));
        }
    }
    if (object.faces.empty()) fail(name + ": ", "the object has no triangle");
    try {
        return LwobWriter::write(object);
    } catch (const std::invalid_argument& e) {
        fail(name + ":" + std::to_string(number) + ": ", e.what());
    }
}

} // namespace ObjectAssembler

namespace ObjectAssembler {

std::string source(const LwobWriter::Object& object, const std::string& about) {
    std::string text = "# " + about +
                       "\n"
                       "# surface NAME RED GREEN BLUE | point X Y Z | triangle A B C SURFACE, points numbered from 0.\n"
                       "# x right, y down, z away from the eye; a triangle facing the eye lists its points\n"
                       "# anticlockwise as the eye sees them, and only then is it lit.\n\n";
    char line[160];
    for (const LwobWriter::Surface& s : object.surfaces) {
        std::snprintf(line, sizeof line, "surface %s %d %d %d\n", s.name.c_str(), s.red, s.green, s.blue);
        text += line;
    }
    text += '\n';
    for (const auto& p : object.points) {
        // Nine significant digits bring a float back exactly.
        std::snprintf(line, sizeof line, "point %.9g %.9g %.9g\n", static_cast<double>(p[0]), static_cast<double>(p[1]),
                      static_cast<double>(p[2]));
        text += line;
    }
    text += '\n';
    for (const LwobWriter::Face& f : object.faces) {
        std::snprintf(line, sizeof line, "triangle %d %d %d %s\n", f.points[0], f.points[1], f.points[2],
                      object.surfaces[static_cast<std::size_t>(f.surface)].name.c_str());
        text += line;
    }
    return text;
}

} // namespace ObjectAssembler
