#pragma once

#include "tools/LwobWriter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The show's 3D objects as LWOB files, by data-file name: "Part4/star.lwo", "Part4/arrow.lwo",
// "Part5/cube.lwo", "Part7/cube.lwo", "Part7/cones.lwo". Each is sized for a view that places
// it 3 units in front of the eye, and lists its triangles so that the face normal the views
// compute lights the faces turned toward the eye. Same bytes on every run.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> showObjects();

// The same objects before they are written: their points, surfaces and triangles, for their
// readable sources.
std::vector<std::pair<std::string, LwobWriter::Object>> showObjectModels();
