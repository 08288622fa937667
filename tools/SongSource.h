#pragma once

#include "tools/XmWriter.h"

#include <filesystem>
#include <stdexcept>
#include <string>

// The show's music as text a person reads and edits: instruments as synthesis recipes, patterns
// in tracker notation, an order list. The grammar, in brief (docs/song-notation.md has it whole,
// assets/music/super.song in use):
//
//   song NAME | speed N | bpm N | channels N | include FILE | order PATTERN...
//   instrument HH NAME            numbered 01, 02, ... in hex, in sequence
//     length SECONDS | loop FRAMES CYCLES [after FRAMES] | pitch NOTE-OR-HZ | bits 8|16
//     sine|saw|square|triangle|noise|metal [level X] [hz X] [drop HZ SECONDS]... [detune N]
//         [attack S] [decay S] [damping X] [top HZ] [lowpass|highpass|bandpass HZ] [q X]
//         [sweep HZ SECONDS] [seed N]
//     drive X | fade SECONDS | peak X | volume N | pan N | fadeout N
//     envelope TICK:VALUE... [sustain I] [loop A B] | vibrato sine|square|down|up SWEEP DEPTH RATE
//   end
//   pattern NAME [ROWS]
//     00 | C-4 01 v40 ... | ... .. ... 8B0 | === .. ... ...      one line a row, numbered
//   end                                                         rows left out are empty
//
// A cell is note (C-4, C#4, === key off), instrument (hex), volume column (vHH, HH up to 40) and
// effect (type 0-9 or A-Z, parameter in hex); dots leave a column empty and a blank cell is all
// empty. "#" at the start of a line or after a space begins a comment.
class SongError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws SongError as "file:line: message" for anything it cannot read or build. Files are named
// from namesFrom (the sources folder) when they lie under it, else as given.
XmModule compileSong(const std::filesystem::path& path, const std::filesystem::path& namesFrom = {});
// The same for text already in memory; path names it in messages and anchors its includes.
XmModule compileSongText(const std::string& text, const std::filesystem::path& path,
                         const std::filesystem::path& namesFrom = {});

// Every statement, instrument and layer setting and effect the compiler knows, with what it
// takes and means: the list docs/song-notation.md shows.
std::string songNotation();
