// "tazutune.it": the music of the presentation, 48 orders of 128 rows at
// speed 3, tempo 130. Its sections follow the scenes: a quiet opening with hits
// on the portrait changes, stabs on the word beats, grooves for the 3D parts,
// a driving tunnel, a half-time breakdown, and a closing that fades and loops.
#include <utility>

#include "tools/content/content.h"
#include "tools/content/instruments.h"
#include "tools/content/music_timing.h"
#include "tools/content/song.h"

namespace {

using song::Accents;
using song::Bass;
using song::Chord;
using song::Drums;
using song::Hats;
using song::Melody;
using song::OrderPlan;

// A minor and its neighbours.
const Chord kAm{45, {57, 60, 64}};
const Chord kF{41, {57, 60, 65}};
const Chord kC{48, {55, 60, 64}};
const Chord kG{43, {55, 59, 62}};
const Chord kDm{50, {57, 62, 65}};
const Chord kE{40, {56, 59, 64}};

struct Progression {
    const Chord* bars[4];
    const Melody* melodies[2];  // alternated from order to order
};

// The main theme over Am F C G, its answer, the second theme over F G Am Am
// and the slow breakdown line over Dm Am E Am. Rows: 8 per beat, 32 per bar.
const Melody kThemeA1 = {{0, 76, 12},  {12, 74, 4}, {16, 72, 8},  {24, 71, 4},  {28, 72, 4},
                         {32, 69, 16}, {48, 72, 8}, {56, 77, 8},  {64, 76, 12}, {76, 74, 4},
                         {80, 76, 8},  {88, 79, 8}, {96, 74, 16}, {112, 71, 8}, {120, 74, 8}};
const Melody kThemeA2 = {{0, 72, 8},  {8, 71, 4},   {12, 72, 4},  {16, 76, 16}, {32, 77, 12},
                         {44, 76, 4}, {48, 72, 16}, {64, 79, 12}, {76, 77, 4},  {80, 76, 8},
                         {88, 72, 8}, {96, 74, 12}, {108, 71, 4}, {112, 67, 16}};
const Melody kThemeB = {{0, 72, 8},  {8, 77, 8},   {16, 76, 8},  {24, 72, 8},  {32, 74, 12},
                        {44, 71, 4}, {48, 74, 8},  {56, 79, 8},  {64, 76, 24}, {88, 74, 4},
                        {92, 72, 4}, {96, 69, 24}, {120, 71, 4}, {124, 72, 4}};
const Melody kBreakdown = {{0, 74, 24},  {24, 77, 8},  {32, 76, 32}, {64, 71, 16},
                           {80, 76, 16}, {96, 72, 16}, {112, 69, 16}};
const Melody kLastNote = {{0, 69, 96}};

const Progression kMain{{&kAm, &kF, &kC, &kG}, {&kThemeA1, &kThemeA2}};
const Progression kSecond{{&kF, &kG, &kAm, &kAm}, {&kThemeB, &kThemeB}};
const Progression kLow{{&kDm, &kAm, &kE, &kAm}, {&kBreakdown, &kBreakdown}};
const Progression kHome{{&kAm, &kAm, &kAm, &kAm}, {&kLastNote, &kLastNote}};

OrderPlan base(const Progression& progression, int order) {
    OrderPlan plan;
    for (int bar = 0; bar < 4; ++bar) plan.chords[bar] = progression.bars[bar];
    plan.lead = progression.melodies[order % 2];
    return plan;
}

// A full groove: four to the floor, sixteenth hats, bass and pad.
OrderPlan groove(const Progression& progression, int order, Bass bass, Drums drums = Drums::kFourToTheFloor) {
    OrderPlan plan = base(progression, order);
    plan.drums = drums;
    plan.hats = Hats::kSixteenths;
    plan.bass = bass;
    plan.padVolume = 22;
    return plan;
}

OrderPlan planOrder(int order) {
    OrderPlan plan;
    switch (order) {
        // Opening: pad and hits on the portrait changes, building up.
        case 0:
            plan = base(kMain, order);
            plan.lead = nullptr;
            plan.padVolume = 24;
            plan.impactRows = {70};
            return plan;
        case 1:
            plan = base(kMain, order);
            plan.lead = nullptr;
            plan.padVolume = 28;
            plan.arpVolume = 12;
            plan.impactRows = {10, 30, 70, 90};
            return plan;
        case 2:
            plan = base(kMain, order);
            plan.lead = nullptr;
            plan.padVolume = 28;
            plan.arpVolume = 16;
            plan.hats = Hats::kEighths;
            plan.impactRows = {10, 30, 90};
            return plan;
        case 3:
            plan = groove(kMain, order, Bass::kLong, Drums::kHalfTime);
            plan.lead = nullptr;
            plan.hats = Hats::kEighths;
            plan.padVolume = 28;
            plan.arpVolume = 20;
            plan.crash = true;
            return plan;
        case 4:
            plan = groove(kMain, order, Bass::kOffbeat);
            plan.lead = nullptr;
            plan.padVolume = 26;
            plan.arpVolume = 22;
            plan.crash = plan.riser = plan.fill = true;
            return plan;
        // The words: stabs on every beat row they flash on.
        case 5:
        case 6:
        case 7:
            plan = groove(kMain, order, Bass::kOffbeat);
            plan.lead = nullptr;
            plan.accents = order == 5 ? Accents::kRowsA : Accents::kRowsB;
            plan.crash = order == 5;
            return plan;
        case 8:
            plan = groove(kMain, order, Bass::kRolling, Drums::kDriving);
            plan.arpVolume = 16;
            plan.fill = true;
            return plan;
        // The crystal: the theme, with cymbals on the pulses at 10 and 12.
        case 9:
        case 10:
        case 11:
        case 12:
        case 13:
            plan = groove(kMain, order, order == 9 ? Bass::kOffbeat : Bass::kRolling);
            plan.arpVolume = order == 9 ? 0 : 18;
            plan.crash = order != 11 && order != 13;
            plan.riser = plan.fill = order == 13;
            return plan;
        // The colonnade: the second theme, half time first.
        case 14:
        case 15:
        case 16:
        case 17:
            plan = groove(kSecond, order, order < 16 ? Bass::kLong : Bass::kOffbeat,
                          order < 16 ? Drums::kHalfTime : Drums::kFourToTheFloor);
            plan.hats = order == 14 ? Hats::kEighths : Hats::kSixteenths;
            plan.padVolume = 28;
            plan.arpVolume = 20;
            plan.crash = order == 14 || order == 16;
            return plan;
        case 18:
        case 19:
            plan = groove(kMain, order, Bass::kRolling, Drums::kDriving);
            plan.arpVolume = 20;
            plan.riser = plan.fill = order == 19;
            return plan;
        // The tunnel and the glow: driving, both themes.
        case 20:
        case 21:
        case 22:
        case 23:
        case 24:
        case 25:
            plan =
                groove(order == 22 || order == 23 ? kSecond : kMain, order, Bass::kRolling, Drums::kDriving);
            plan.padVolume = 20;
            plan.leadVolume = 48;
            plan.arpVolume = 22;
            plan.crash = order == 20 || order == 21;
            plan.riser = plan.fill = order == 25;
            return plan;
        // The ball at half speed: a breakdown that slowly gathers again.
        case 26:
        case 27:
        case 28:
        case 29:
        case 30:
        case 31:
            plan = base(kLow, order);
            plan.padVolume = 30;
            plan.leadVolume = 40;
            plan.bass = order < 30 ? Bass::kLong : Bass::kOffbeat;
            plan.drums = order < 28 ? Drums::kNone : Drums::kHalfTime;
            plan.hats = order < 29 ? Hats::kNone : order < 31 ? Hats::kEighths : Hats::kSixteenths;
            plan.arpVolume = order == 26 ? 0 : 12 + (order - 27) * 2;
            plan.crash = order == 26;
            plan.riser = plan.fill = order == 31;
            return plan;
        // The trails and the logo.
        case 32:
        case 33:
        case 34:
        case 35:
        case 36:
        case 37:
            plan =
                groove(order == 34 || order == 37 ? kSecond : kMain, order, Bass::kRolling, Drums::kDriving);
            plan.arpVolume = 20;
            plan.crash = order == 32 || order == 35;
            plan.riser = plan.fill = order == 37;
            return plan;
        // The bouncing ball, a cymbal on each of its pictures.
        case 38:
        case 39:
        case 40:
            plan = groove(order == 38 ? kSecond : kMain, order, order == 38 ? Bass::kOffbeat : Bass::kRolling,
                          order == 38 ? Drums::kFourToTheFloor : Drums::kDriving);
            plan.arpVolume = 22;
            plan.crash = true;
            plan.fill = order == 40;
            return plan;
        // Closing: the grooves fall away one by one.
        case 41:
        case 42:
            plan = groove(kMain, order, Bass::kOffbeat);
            plan.padVolume = 28;
            plan.arpVolume = 20;
            plan.crash = true;
            return plan;
        case 43:
            plan = groove(kSecond, order, Bass::kLong, Drums::kHalfTime);
            plan.hats = Hats::kEighths;
            plan.padVolume = 28;
            plan.arpVolume = 18;
            plan.crash = true;
            return plan;
        case 44:
        case 45:
            plan = base(kLow, order);
            plan.padVolume = 30;
            plan.leadVolume = order == 44 ? 40 : 34;
            plan.bass = Bass::kLong;
            plan.hats = order == 44 ? Hats::kEighths : Hats::kNone;
            plan.arpVolume = order == 44 ? 16 : 12;
            plan.crash = true;
            return plan;
        // The end: one last chord and note, fading; then the song starts over.
        default:
            plan = base(kHome, order);
            plan.padVolume = order == 46 ? 30 : 0;
            plan.lead = order == 46 ? &kLastNote : nullptr;
            plan.leadVolume = 36;
            if (order == 46) plan.impactRows = {0};
            return plan;
    }
}

// Volume-only cells that let the held pad die away over the last two orders.
void fadePad(ItPattern& pattern, int fromVolume, int toVolume) {
    for (int row = 8; row < musictime::kRowsPerPattern; row += 8) {
        const int volume = fromVolume + (toVolume - fromVolume) * row / musictime::kRowsPerPattern;
        for (int ch : {song::kChPad1, song::kChPad2, song::kChPad3}) pattern.at(row, ch).volume = volume;
    }
}

}  // namespace

std::vector<uint8_t> makeMusic() {
    ItModule module;
    module.songName = "tazutune";
    module.initialSpeed = musictime::kSpeed;
    module.initialTempo = musictime::kTempo;
    module.globalVolume = 128;
    module.mixingVolume = 80;
    module.channels = song::kChannelCount;
    module.samples = makeInstruments();
    for (int order = 0; order < musictime::kOrderCount; ++order) {
        module.patterns.push_back(song::renderOrder(planOrder(order)));
        module.orders.push_back(order);
    }
    ItPattern& last = module.patterns.back();
    // Keep the pad of order 46 sounding into the last order, fading out.
    for (int ch : {song::kChPad1, song::kChPad2, song::kChPad3}) last.at(0, ch).note = kItNoNote;
    fadePad(module.patterns[musictime::kEndOrder], 30, 14);
    fadePad(last, 14, 0);
    // The last row jumps back to the first order: the song loops.
    ItCell& jump = last.at(musictime::kRowsPerPattern - 1, song::kChFx);
    jump.effect = kItEffectJump;
    jump.param = 0;
    return writeItModule(module);
}
