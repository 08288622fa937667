#pragma once

#include "tools/LwobWriter.h"

#include <cstdint>
#include <string>
#include <vector>

// Turns an object's readable source ("X.lwo.txt") into the LWOB bytes the show loads, in place
// of the object the generator makes in code under the same name.
//
// One statement a line; "#" starts a comment:
//     surface NAME RED GREEN BLUE      a colour, 0 to 255 each; named once, used by name
//     point X Y Z                      a corner, in units: x right, y down, z away from the eye
//     triangle A B C SURFACE           three points by number (from 0, in the order given)
// The winding rule: a triangle is lit when it faces the eye with its points going anticlockwise
// as the eye sees them; turned away, the same points go clockwise and it is dark.
namespace ObjectAssembler {

// Throws std::runtime_error "name:line: reason" for anything it cannot assemble, including what
// the show's loader would refuse (too many points, triangles or surfaces).
std::vector<std::uint8_t> assemble(const std::string& source, const std::string& name);

} // namespace ObjectAssembler

namespace ObjectAssembler {

// The readable source of an object, which assemble() turns back into the very same bytes as
// LwobWriter::write(object): every coordinate written to as many digits as it holds. about is
// said in a comment at the top.
std::string source(const LwobWriter::Object& object, const std::string& about);

} // namespace ObjectAssembler
