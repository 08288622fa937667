#pragma once

#include <string>
#include <vector>

// Every file this process opens for reading, while a record is on: the build of a data file
// reads more than its named source (the pictures and text an SVG embeds, the songs a song
// includes, the fonts the SVG renderer picks, the renderer's own settings), and only what it
// really read tells when the file must be built again. Opens are seen below every library, at
// the C library's door, so none is missed however it reads. Files that do not exist when opened
// are recorded too: one that appears later may change what the build would make.
namespace ReadRecord {

// Starts a record, dropping what an earlier one held.
void start();
// The paths opened for reading since start(), absolute, each once, in the order first opened;
// the record stays on.
std::vector<std::string> paths();
// Adds paths read by another process (a child drawing a picture) to this one's record.
void add(const std::vector<std::string>& paths);
// Ends the record.
void stop();

} // namespace ReadRecord
