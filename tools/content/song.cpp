#include "tools/content/song.h"

#include "tools/content/instruments.h"
#include "tools/content/music_timing.h"

namespace song {
namespace {

constexpr int kRows = musictime::kRowsPerPattern;
constexpr int kBarRows = 4 * musictime::kRowsPerBeat;  // four beats
constexpr int kDrumNote = 60;                          // drums and effects play as recorded at C-5
constexpr int kEffectPanning = 24;                     // Xxx

// The beat rows of orders 5 to 7 on which the words flash.
constexpr int kAccentRowsA[] = {0,  8,  24, 28,  32,  34,  36,  44,  52,  56,  58,  60,  62, 64,
                                80, 92, 96, 100, 102, 104, 106, 108, 112, 114, 116, 118, 120};

void put(ItPattern& p, int row, int channel, int note, int sample, int volume) {
    ItCell& cell = p.at(row, channel);
    cell.note = note;
    cell.sample = sample;
    cell.volume = volume;
}

void cut(ItPattern& p, int row, int channel) {
    if (p.at(row, channel).note == kItNoNote) p.at(row, channel).note = kItNoteCut;
}

const Chord& chordAt(const OrderPlan& plan, int row) { return *plan.chords[row / kBarRows]; }

void setPanning(ItPattern& p) {
    const int panning[kChannelCount] = {128, 120, 110, 168, 128, 64, 128, 192, 144, 96, 112, 150, 128};
    for (int ch = 0; ch < kChannelCount; ++ch) {
        p.at(0, ch).effect = kEffectPanning;
        p.at(0, ch).param = panning[ch];
    }
}

void writeDrums(ItPattern& p, const OrderPlan& plan) {
    const int lastRow = plan.fill ? kRows - kBarRows : kRows;
    for (int bar = 0; bar < kRows; bar += kBarRows) {
        switch (plan.drums) {
            case Drums::kNone:
                break;
            case Drums::kHalfTime:
                put(p, bar, kChKick, kDrumNote, sampleno::kKick, 64);
                put(p, bar + 20, kChKick, kDrumNote, sampleno::kKick, 52);
                if (bar + 16 < lastRow) put(p, bar + 16, kChSnare, kDrumNote, sampleno::kSnare, 56);
                break;
            case Drums::kFourToTheFloor:
            case Drums::kDriving:
                for (int beat = 0; beat < kBarRows; beat += 8)
                    put(p, bar + beat, kChKick, kDrumNote, sampleno::kKick, 64);
                for (int beat : {8, 24}) {
                    if (bar + beat >= lastRow) continue;
                    put(p, bar + beat, kChClap, kDrumNote, sampleno::kClap, 56);
                    if (plan.drums == Drums::kDriving)
                        put(p, bar + beat, kChSnare, kDrumNote, sampleno::kSnare, 40);
                }
                if (plan.drums == Drums::kDriving && bar + 30 < lastRow) {
                    put(p, bar + 30, kChSnare, kDrumNote, sampleno::kSnare, 20);  // ghost note
                }
                break;
        }
    }
    if (plan.fill) {
        // Quarters, then eighths, then sixteenths, then every row, growing louder.
        for (int row = kRows - kBarRows; row < kRows; ++row) {
            const int offset = row - (kRows - kBarRows);
            const int step = offset < 8 ? 4 : offset < 16 ? 2 : 1;
            if (offset % step != 0) continue;
            put(p, row, kChSnare, kDrumNote, sampleno::kSnare, 24 + offset * 40 / kBarRows);
        }
    }
}

void writeHats(ItPattern& p, const OrderPlan& plan) {
    for (int row = 0; row < kRows; row += 2) {
        const int inBeat = row % 8;
        if (plan.hats == Hats::kEighths && inBeat == 4) {
            put(p, row, kChHats, kDrumNote, sampleno::kHatClosed, 44);
        } else if (plan.hats == Hats::kSixteenths) {
            // The off-beat eighth opens; the next closed hat chokes it.
            if (inBeat == 4) {
                put(p, row, kChHats, kDrumNote, sampleno::kHatOpen, 34);
            } else {
                put(p, row, kChHats, kDrumNote, sampleno::kHatClosed, inBeat == 0 ? 30 : 22);
            }
        }
    }
}

void writeBass(ItPattern& p, const OrderPlan& plan) {
    for (int row = 0; row < kRows; row += 2) {
        const int root = chordAt(plan, row).bass;
        const int inBar = row % kBarRows;
        switch (plan.bass) {
            case Bass::kNone:
                break;
            case Bass::kLong:
                if (inBar == 0 || inBar == 20) put(p, row, kChBass, root, sampleno::kBass, 56);
                break;
            case Bass::kOffbeat:
                if (inBar % 8 == 4) put(p, row, kChBass, root, sampleno::kBass, 56);
                break;
            case Bass::kRolling:
                // Sixteenths around the kick, the last of each beat an octave up.
                if (inBar % 8 != 0)
                    put(p, row, kChBass, inBar % 8 == 6 ? root + 12 : root, sampleno::kBass, 50);
                break;
        }
    }
}

void writePad(ItPattern& p, const OrderPlan& plan) {
    const int channels[3] = {kChPad1, kChPad2, kChPad3};
    if (plan.padVolume == 0) {
        for (int ch : channels) cut(p, 0, ch);
        return;
    }
    for (int bar = 0; bar < 4; ++bar) {
        // A chord held over from the previous bar keeps sounding.
        if (bar > 0 && plan.chords[bar] == plan.chords[bar - 1]) continue;
        for (int v = 0; v < 3; ++v) {
            put(p, bar * kBarRows, channels[v], plan.chords[bar]->voicing[v], sampleno::kPad, plan.padVolume);
        }
    }
}

void writeLead(ItPattern& p, const OrderPlan& plan) {
    if (plan.lead == nullptr) {
        cut(p, 0, kChLead);
        return;
    }
    const Melody& melody = *plan.lead;
    for (size_t i = 0; i < melody.size(); ++i) {
        const MelodyNote& n = melody[i];
        put(p, n.row, kChLead, n.note, sampleno::kLead, plan.leadVolume);
        const int end = n.row + n.lengthRows;
        const bool nextStartsThere = i + 1 < melody.size() && melody[i + 1].row == end;
        if (!nextStartsThere) cut(p, end < kRows ? end : kRows - 1, kChLead);
    }
}

void writeArp(ItPattern& p, const OrderPlan& plan) {
    if (plan.arpVolume == 0) return;
    // An eight-step figure over the chord, an octave above the pad.
    const int steps[8][2] = {{0, 12}, {1, 12}, {2, 12}, {0, 24}, {2, 12}, {1, 12}, {0, 24}, {2, 24}};
    for (int row = 0; row < kRows; row += 2) {
        const Chord& chord = chordAt(plan, row);
        const int* step = steps[(row / 2) % 8];
        const int volume = row % 8 == 0 ? plan.arpVolume + 8 : plan.arpVolume;
        put(p, row, kChArp, chord.voicing[step[0]] + step[1], sampleno::kPluck, volume > 64 ? 64 : volume);
    }
}

void writeAccents(ItPattern& p, const OrderPlan& plan) {
    if (plan.accents == Accents::kNone) return;
    for (int row : kAccentRowsA) {
        if (plan.accents == Accents::kRowsB && row == 96) continue;
        const int big = row % 32 == 0 ? 64 : 52;
        put(p, row, kChStab, chordAt(plan, row).bass + 12, sampleno::kStab, big);
    }
}

void writeEffects(ItPattern& p, const OrderPlan& plan) {
    if (plan.crash) put(p, 0, kChCrash, kDrumNote, sampleno::kCrash, 56);
    if (plan.riser) put(p, kRows / 2, kChFx, kDrumNote, sampleno::kRiser, 64);
    for (int row : plan.impactRows) {
        put(p, row, kChFx, kDrumNote, sampleno::kImpact, 64);
        put(p, row, kChCrash, kDrumNote, sampleno::kCrash, 40);
    }
}

}  // namespace

ItPattern renderOrder(const OrderPlan& plan) {
    ItPattern p(kRows, kChannelCount);
    setPanning(p);
    writeDrums(p, plan);
    writeHats(p, plan);
    writeBass(p, plan);
    writePad(p, plan);
    writeLead(p, plan);
    writeArp(p, plan);
    writeAccents(p, plan);
    writeEffects(p, plan);
    return p;
}

}  // namespace song
