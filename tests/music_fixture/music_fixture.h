// Small generated tracker modules with a known tempo, for the tests of the
// sound layer, the music player and the sync table.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct TestModuleShape {
    int speed = 2;    // ticks per row
    int tempo = 250;  // a tick lasts 2.5 / tempo seconds
    int orderCount = 4;
    int rowsPerPattern = 16;
};

// One looping square-wave note held through the whole song; every order plays
// the same pattern.
std::vector<uint8_t> makeTestModule(const TestModuleShape& shape);

// Seconds one row lasts at the shape's speed and tempo.
double rowDuration_seconds(const TestModuleShape& shape);

// Rows from the start of the song for a packed position (order in the low
// 16 bits, row in the high 16 bits) of a module whose patterns all have `rows` rows.
int rowsPlayed(uint32_t position, int rows);

using TestClock = std::chrono::steady_clock;

// Wall-clock seconds since `start`.
double secondsSince(TestClock::time_point start);

void sleepMs(int ms);

// A mono 16-bit WAV file of a square wave.
std::vector<uint8_t> makeSquareWav(int rate_hz, double duration_seconds, double tone_hz);

// Writes bytes to a file in the system temp folder and returns its path.
std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes);
