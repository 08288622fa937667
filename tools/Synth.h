#pragma once

#include "tools/XmWriter.h"

// The show's instruments, synthesised into 16-bit samples at one rate. Drums sound as recorded
// when played on C-4; pitched instruments are tuned so every note sounds at its equal-tempered
// pitch, A-4 = 440 Hz. Looped sounds hold a whole number of cycles of every partial in the loop,
// so the loop point never clicks. Everything is computed from constants: the same bytes each run.
namespace synth {

inline constexpr int sampleRate = 44100;

// Sets relative note and finetune so that a sample holding a tone of recordedHz (at sampleRate)
// plays each note at its own pitch.
void tune(XmSample& sample, double recordedHz);

// Equal-tempered frequency of an XM note (1 = C-0, 58 = A-4).
double noteHz(int note);

XmInstrument kick();
XmInstrument snare();
XmInstrument closedHat();
XmInstrument openHat();
XmInstrument crash();
XmInstrument bass();  // looped; sustains until key-off, then releases quickly
XmInstrument pad();   // looped; slow attack and release from its volume envelope
XmInstrument lead();  // looped; gentle delayed vibrato
XmInstrument pluck(); // one shot

} // namespace synth
