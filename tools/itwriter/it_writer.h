// A small writer of Impulse Tracker (.it) modules in sample mode: header,
// orders, samples and packed patterns. Used by the tests and the content generator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Order list entries with a meaning of their own.
constexpr int kItOrderSkip = 254;  // "+++": playback skips this entry
constexpr int kItOrderEnd = 255;   // "---": end of the song

// Note values of a cell besides 0..119 (C-0 .. B-9; C-5 is 60).
constexpr int kItNoNote = -1;
constexpr int kItNoteCut = 254;
constexpr int kItNoteOff = 255;

// Effect letters as the format numbers them (A = 1 … Z = 26).
constexpr int kItEffectSetSpeed = 1;   // Axx
constexpr int kItEffectJump = 2;       // Bxx: jump to order xx
constexpr int kItEffectBreak = 3;      // Cxx: next order, row xx
constexpr int kItEffectSetTempo = 20;  // Txx

// One cell of a pattern. Empty fields are left out of the packed data.
struct ItCell {
    int note = kItNoNote;  // 0..119, kItNoteCut, kItNoteOff or kItNoNote
    int sample = 0;        // 1..99, 0 = none
    int volume = -1;       // raw volume column byte 0..212 (0..64 = volume), -1 = none
    int effect = 0;        // 1..26 (A..Z), 0 = none
    int param = 0;         // 0..255, written only with an effect
};

// A pattern of rows × channels cells, row by row.
struct ItPattern {
    int rows = 64;
    int channels = 4;
    std::vector<ItCell> cells;

    ItPattern() = default;
    ItPattern(int rowCount, int channelCount);
    ItCell& at(int row, int channel) { return cells[row * channels + channel]; }
    const ItCell& at(int row, int channel) const { return cells[row * channels + channel]; }
};

// A mono sample. The PCM is held as signed 16-bit values; an 8-bit sample is
// written as the high byte of each value.
struct ItSample {
    std::string name;
    std::vector<int16_t> pcm;
    bool eightBit = false;
    int c5Speed_hz = 8363;   // playback rate of note C-5
    int defaultVolume = 64;  // 0..64
    int globalVolume = 64;   // 0..64
    int loopStart = 0;       // in sample frames; the loop is on when loopEnd > loopStart
    int loopEnd = 0;
};

struct ItModule {
    std::string songName;    // at most 25 characters are kept
    int initialSpeed = 6;    // ticks per row, 1..255
    int initialTempo = 125;  // 32..255
    int globalVolume = 128;  // 0..128
    int mixingVolume = 48;   // 0..128
    int channels = 4;        // 1..64, the channels every pattern has
    std::vector<int>
        orders;  // pattern numbers, kItOrderSkip, kItOrderEnd; an end marker is appended when missing
    std::vector<ItSample> samples;    // at most 99
    std::vector<ItPattern> patterns;  // at most 200
};

// The module as the bytes of an .it file. Throws std::invalid_argument naming
// the first field that is out of range.
std::vector<uint8_t> writeItModule(const ItModule& module);
