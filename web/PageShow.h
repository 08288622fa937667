#pragma once

#include "platform/MusicShape.h"
#include "raster/DataFolder.h"
#include "show/ShowFile.h"
#include "show/ShowPlan.h"

#include <memory>
#include <string>

// The show the page plays, as the page's calls build it: its show file, read once the page has
// fetched it into /data, then the plan, once the page's copy of the music has told its shape.
namespace PageShow {

// Where the page puts the files it fetched.
const DataFolder& data();
// The show file read by readFile(); the program's own until then.
const ShowFile& file();
// Reads /data/show.toml, or takes the program's own show where the folder has none. Throws
// LoadError.
void readFile();
// The plan, once made; null before.
ShowPlan* plan();
// Makes the plan from the show file and the music's shape, written by the music's module as
// "RATE END" then a line an order: its rows, then the sample each row is reached at (-1 for a row
// never reached). Throws LoadError for a show the music cannot play, std::invalid_argument for
// a shape that is not one.
void makePlan(const std::string& shapeText);
MusicShape parseShape(const std::string& text);

// Text as a JSON string, quotes included.
std::string json(const std::string& text);

} // namespace PageShow
