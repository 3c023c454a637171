// The tempo of the generated music and the lengths of the sections that
// follow from it; shared by the music and the keyframe scenes timed to it.
#pragma once

namespace musictime {
inline constexpr int kSpeed = 3;    // ticks per row
inline constexpr int kTempo = 130;  // a tick lasts 2.5 / tempo seconds
inline constexpr int kRowsPerPattern = 128;
inline constexpr int kRowsPerBeat = 8;  // 130 beats per minute, 16 beats per pattern
inline constexpr int kOrderCount = 48;
inline constexpr int kEndOrder = 46;  // the presentation ends when this order starts
inline constexpr double kSecondsPerRow = kSpeed * 2.5 / kTempo;
inline constexpr double kSecondsPerOrder = kRowsPerPattern * kSecondsPerRow;

// Seconds from the start of `firstOrder` to the start of `endOrder`.
constexpr double sectionSeconds(int firstOrder, int endOrder) {
    return (endOrder - firstOrder) * kSecondsPerOrder;
}
}  // namespace musictime
