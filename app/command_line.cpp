// The command line: the option letter is an argument's second character;
// arguments beginning with "--" are long options.
#include "app/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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
        "      Alt+Enter switches a scaled window to the desktop and back\n");
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

// --start=ORDER: digits only, an order of the music (0 .. 255).
bool setStartOrder(CommandLine& commandLine, const char* value) {
    if (!value || !*value) return false;
    int order = 0;
    for (const char* c = value; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        order = order * 10 + (*c - '0');
        if (order > 255) return false;
    }
    commandLine.startOrder = order;
    return true;
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
    {"help", false, showHelp}, {"version", false, showVersion}, {"start", true, setStartOrder},
    {"scale", true, setScale}, {"desktop", false, setDesktop},  {"smooth", false, setSmooth},
};

// The long option written as "--name" or "--name=value"; false when it is unknown
// or its value is missing, unexpected or refused.
bool applyLongOption(CommandLine& commandLine, const char* text) {
    const char* equals = std::strchr(text, '=');
    const size_t nameLength = equals ? static_cast<size_t>(equals - text) : std::strlen(text);
    for (const LongOption& option : kLongOptions) {
        if (std::strlen(option.name) != nameLength || std::strncmp(option.name, text, nameLength) != 0)
            continue;
        if (option.takesValue != (equals != nullptr)) return false;
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
    return commandLine;
}
