#pragma once

#include "tools/XmWriter.h"

// The show's music, "Super.xm": A minor, 37 orders of 64 rows at speed 6 and 125 BPM, so every
// order lasts 7.68 s and the show can read its clock off the order and row. No order, speed or
// tempo changes anywhere: the song plays straight through once and ends after order 36.
//
// Where the picture can lean on the music (row 0 unless noted):
//   orders 0-1    quiet intro: pad, then a soft arpeggio
//   order 2       the band comes in on a cymbal crash
//   orders 4-7    four-on-the-floor groove; crashes on 4 and 6, and on rows 32, 40, 48, 56 of 7
//   orders 8-10   breakdown without drums, fading down through order 10
//   orders 11-18  full; crashes on 11, 13, 15, 17
//   orders 19-22  build; crash on 19
//   orders 23-31  full; crashes on 23, 25, 27, 29
//   orders 32-35  full; crashes on 32 and 34
//   order 36      a last crash, then everything dies away to silence
XmModule composeFirstSong();
