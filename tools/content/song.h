// The arrangement of the generated music: chords, melodies and the plan of
// what plays in each order, rendered into one 128-row pattern per order.
// Used by makeMusic() (music.cpp).
#pragma once

#include <vector>

#include "tools/itwriter/it_writer.h"

namespace song {

enum Channel : int {
    kChKick,
    kChSnare,
    kChClap,
    kChHats,
    kChBass,
    kChPad1,
    kChPad2,
    kChPad3,
    kChLead,
    kChArp,
    kChStab,
    kChCrash,
    kChFx,
    kChannelCount
};

// A chord: the bass note and three pad notes (tracker notes, C-5 = 60).
struct Chord {
    int bass;
    int voicing[3];
};

struct MelodyNote {
    int row;
    int note;
    int lengthRows;
};
using Melody = std::vector<MelodyNote>;

enum class Drums { kNone, kHalfTime, kFourToTheFloor, kDriving };
enum class Hats { kNone, kEighths, kSixteenths };
enum class Bass { kNone, kLong, kOffbeat, kRolling };
enum class Accents { kNone, kRowsA, kRowsB };

// What plays in one order. Volumes are 0..64; 0 leaves the part out.
struct OrderPlan {
    const Chord* chords[4] = {};  // one per bar of 32 rows
    Drums drums = Drums::kNone;
    Hats hats = Hats::kNone;
    Bass bass = Bass::kNone;
    int padVolume = 0;
    const Melody* lead = nullptr;
    int leadVolume = 44;
    int arpVolume = 0;
    Accents accents = Accents::kNone;
    bool crash = false;           // cymbal on row 0
    bool riser = false;           // noise sweep over the second half
    bool fill = false;            // snare roll in the last bar
    std::vector<int> impactRows;  // portrait hits
};

// The pattern of one order: kChannelCount channels, 128 rows.
ItPattern renderOrder(const OrderPlan& plan);

}  // namespace song
