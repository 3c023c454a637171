// The synthesized instruments of the generated music: drums, bass, plucks,
// leads, pads and effects, made sample by sample. Used by music.cpp.
#pragma once

#include <vector>

#include "tools/itwriter/it_writer.h"

// Sample numbers as the patterns name them (1-based, in makeInstruments order).
namespace sampleno {
enum : int {
    kKick = 1,
    kSnare,
    kClap,
    kHatClosed,
    kHatOpen,
    kCrash,
    kBass,    // plucked bass, pitched: note 36 (C-3) plays it as recorded
    kPluck,   // bright plucked saw for arpeggios
    kLead,    // looped detuned saws
    kPad,     // looped soft chorus of saws
    kStab,    // power-chord stab for the accents
    kImpact,  // low boom and noise for the portrait hits
    kRiser,   // rising noise sweep over half a pattern
    kCount = kRiser
};
}  // namespace sampleno

// All samples, in sample-number order. The same PCM on every run.
std::vector<ItSample> makeInstruments();
