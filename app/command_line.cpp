// The command line: the option letter is an argument's second character;
// arguments beginning with "--" are long options.
#include "app/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "app/data_files.h"

namespace {

bool showHelp(CommandLine& commandLine, const char*) {
    std::printf(
        "usage: zedariva [options]\n"
        "  -w         run in a window\n"
        "  -d         run full screen (the default)\n"
        "  -6         taller display: 512 x 385 instead of 512 x 256\n"
        "  -vN        music volume N, 0..100\n"
        "  --start=N  start the music (and the presentation) at order N\n"
        "  --scale=N  a window N times the size (1..8), sharp pixels; it can be resized\n"
        "  --desktop  fill the desktop without a mode switch, sharp pixels, black around\n"
        "  --smooth   with --desktop or --scale: smooth scaling that fills as much as the shape allows\n"
        "  --help     show this text and end\n"
        "  --version  show the version and end\n"
        "keys: Escape or q quits, S writes the frame to zedariva.tga,\n"
        "      Space pauses and resumes, Right or Page Down goes to the next order,\n"
        "      Left or Page Up to the start of this order (within its first second: the one before),\n"
        "      Home to the start, Alt+Enter switches a scaled window to the desktop and back\n"
        "capture (no window, no sound card needed, faster than real time):\n"
        "  --capture=FILE.mp4     render to a video with its music (also .mkv), through ffmpeg\n"
        "  --capture=DIR/         render every frame to DIR/frame-00000.tga ... and DIR/music.wav\n"
        "  --capture=FILE.txt     one line per frame: its number and the FNV-1a hash of its TGA file\n"
        "  --fps=N                frames per second of the capture, 1..240 (default 60)\n"
        "  --frames=N             stop after N frames (default: at the end of the presentation)\n"
        "  --capture-scale=N      each pixel as an N x N block, 1..4 (default 2 for video, else 1)\n"
        "  Ctrl+C ends a capture early and keeps what was written\n");
    const std::string installed = installedDataFolder();
    std::printf(
        "data: data.fil and tazutune.it from the working folder%s%s\n"
        "      (a file missing from the pack: a loose file of its name there, or beside the pack);\n"
        "      the screenshot zedariva.tga goes to the working folder\n",
        installed.empty() ? "" : ", else from ", installed.c_str());
    commandLine.exitNow = true;
    commandLine.exitCode = 0;
    return true;
}

bool showVersion(CommandLine& commandLine, const char*) {
    std::printf("zedariva %s\n", ZEDARIVA_VERSION);
    commandLine.exitNow = true;
    commandLine.exitCode = 0;
    return true;
}

// A number of digits only, from low to high; false for anything else.
bool readWholeNumber(const char* value, int low, int high, int& number) {
    if (!value || !*value) return false;
    long n = 0;
    for (const char* c = value; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        n = n * 10 + (*c - '0');
        if (n > high) return false;
    }
    if (n < low) return false;
    number = static_cast<int>(n);
    return true;
}

// --start=ORDER: an order of the music (0 .. 255).
bool setStartOrder(CommandLine& commandLine, const char* value) {
    return readWholeNumber(value, 0, 255, commandLine.startOrder);
}

// A capture option that cannot be taken ends start-up: going on would play
// the presentation live instead of writing what was asked for.
bool refuseCaptureOption(CommandLine& commandLine, const char* name, const char* value, const char* why) {
    std::printf("Errornous parameter '--%s%s%s': %s\n", name, value ? "=" : "", value ? value : "", why);
    commandLine.exitNow = true;
    commandLine.exitCode = 2;
    return true;
}

bool endsWithNoCase(const std::string& text, const char* ending) {
    const size_t n = std::strlen(ending);
    return text.size() > n && strcasecmp(text.c_str() + text.size() - n, ending) == 0;
}

// --capture=FILE.mp4, FILE.mkv, FILE.txt or DIR/.
bool setCapturePath(CommandLine& commandLine, const char* value) {
    const std::string path = value ? value : "";
    const bool folder = !path.empty() && path.back() == '/';
    if (!folder && !endsWithNoCase(path, ".mp4") && !endsWithNoCase(path, ".mkv") &&
        !endsWithNoCase(path, ".txt"))
        return refuseCaptureOption(commandLine, "capture", value,
                                   "capture to FILE.mp4, FILE.mkv, FILE.txt or a folder written as DIR/");
    commandLine.capturePath = path;
    return true;
}

bool setCaptureFps(CommandLine& commandLine, const char* value) {
    commandLine.captureOptionGiven = true;
    if (readWholeNumber(value, 1, 240, commandLine.captureFps)) return true;
    return refuseCaptureOption(commandLine, "fps", value,
                               "frames per second are a whole number from 1 to 240");
}

bool setCaptureFrames(CommandLine& commandLine, const char* value) {
    commandLine.captureOptionGiven = true;
    if (readWholeNumber(value, 1, 1000000000, commandLine.captureFrames)) return true;
    return refuseCaptureOption(commandLine, "frames", value, "the frame count is a whole number from 1 up");
}

bool setCaptureScale(CommandLine& commandLine, const char* value) {
    commandLine.captureOptionGiven = true;
    if (readWholeNumber(value, 1, 4, commandLine.captureScale)) return true;
    return refuseCaptureOption(commandLine, "capture-scale", value, "the scale is 1, 2, 3 or 4");
}

// --scale=N: one digit, 1 to 8.
bool setScale(CommandLine& commandLine, const char* value) {
    if (!value || value[0] < '1' || value[0] > '8' || value[1] != '\0') return false;
    commandLine.scale = value[0] - '0';
    return true;
}

bool setDesktop(CommandLine& commandLine, const char*) {
    commandLine.desktop = true;
    return true;
}

bool setSmooth(CommandLine& commandLine, const char*) {
    commandLine.smooth = true;
    return true;
}

// Add new long options here.
constexpr LongOption kLongOptions[] = {
    {"help", false, showHelp},          {"version", false, showVersion},
    {"start", true, setStartOrder},     {"scale", true, setScale},
    {"desktop", false, setDesktop},     {"smooth", false, setSmooth},
    {"capture", true, setCapturePath},  {"fps", true, setCaptureFps},
    {"frames", true, setCaptureFrames}, {"capture-scale", true, setCaptureScale},
};

// The long option written as "--name" or "--name=value"; false when it is unknown
// or its value is missing, unexpected or refused.
bool applyLongOption(CommandLine& commandLine, const char* text) {
    const char* equals = std::strchr(text, '=');
    const size_t nameLength = equals ? static_cast<size_t>(equals - text) : std::strlen(text);
    for (const LongOption& option : kLongOptions) {
        if (std::strlen(option.name) != nameLength || std::strncmp(option.name, text, nameLength) != 0)
            continue;
        if (!option.takesValue && equals) return false;
        return option.apply(commandLine, equals ? equals + 1 : nullptr);
    }
    return false;
}

// The number at the start of text as atoi reads it (no digits give 0), but
// clamped to 0..100 without overflowing on long digit strings.
int volumeFrom(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    if (value < 0) return 0;
    if (value > 100) return 100;
    return static_cast<int>(value);
}

}  // namespace

CommandLine readCommandLine(int argc, char** argv, VolumeHook volumeHook) {
    CommandLine commandLine;
    for (int i = 1; i < argc && !commandLine.exitNow; ++i) {
        const char* argument = argv[i];
        if (!argument || std::strlen(argument) < 2) continue;
        if (argument[0] == '-' && argument[1] == '-') {
            if (!applyLongOption(commandLine, argument + 2))
                std::printf("Errornous parameter '%s'\n", argument);
            continue;
        }
        switch (argument[1]) {
            case '6':
                commandLine.displayHeight = 385;
                break;
            case 'd':
            case 'D':
                commandLine.windowed = false;
                std::printf("starting with ddraw screen\n");
                break;
            case 'v':
            case 'V':
                commandLine.volume = volumeFrom(argument + 2);
                std::printf("setting volume to %i\n", commandLine.volume);
                if (volumeHook) volumeHook(commandLine.volume);
                break;
            case 'w':
            case 'W':
                commandLine.windowed = true;
                std::printf("starting in windowed mode\n");
                break;
            default:
                std::printf("Errornous parameter '%s'\n", argument);
                break;
        }
    }
    if (!commandLine.exitNow && commandLine.captureOptionGiven && commandLine.capturePath.empty())
        std::printf("--fps, --frames and --capture-scale apply only with --capture\n");
    return commandLine;
}
