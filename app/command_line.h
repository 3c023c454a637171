// Reading the command line: window or full screen, music volume, taller
// display, and our own long options (--help, --version, --start, the scaled
// presentation, capture). Used by main.
#pragma once

#include <string>

// Called for each volume option at once, with the clamped volume.
using VolumeHook = void (*)(int volume);

struct CommandLine {
    int displayHeight = 256;  // 385 with the option "6"
    bool windowed = false;    // the last of "w" / "d" decides; full screen by default
    int volume = 100;         // the last volume option, clamped to 0..100
    int startOrder = 0;       // --start=ORDER: the music starts at this order
    // The scaled presentation, chosen by any of the three; it takes the place
    // of window and full screen.
    int scale = 0;         // --scale=N (1..8): a window of N x the frame; 0: not given
    bool desktop = false;  // --desktop: over the whole desktop, no mode switch
    bool smooth = false;   // --smooth: bilinear, as large as the picture's shape allows

    // Capture instead of the live presentation: --capture=FILE.mp4, FILE.mkv or
    // DIR/ (empty: live), --fps=N (1..240), --frames=N (0: until the end),
    // --capture-scale=N (1..4; 0: the default of the output kind).
    std::string capturePath;
    int captureFps = 60;
    int captureFrames = 0;
    int captureScale = 0;
    bool captureOptionGiven = false;  // one of --fps, --frames, --capture-scale

    bool exitNow = false;  // a long option asked to end at once (after --help, --version)
    int exitCode = 0;
};

// True when the command line asks for a capture instead of the live presentation.
inline bool capturing(const CommandLine& commandLine) { return !commandLine.capturePath.empty(); }

// Looks at argv[1] .. argv[argc-1] in turn, printing each option's message.
// volumeHook may be null.
CommandLine readCommandLine(int argc, char** argv, VolumeHook volumeHook);

// An option of our own, given as "--name" or "--name=value". apply gets the
// value, or null when there is no "="; it returns false for a value it cannot
// take, which is reported like any bad option.
struct LongOption {
    const char* name;
    bool takesValue;
    bool (*apply)(CommandLine& commandLine, const char* value);
};
