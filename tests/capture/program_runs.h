// Runs the built program on the generated content (made by the end-to-end
// tests' fixture) with no display and no sound device at all, and reads back
// what it wrote. Shared by the capture run tests.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace capture_runs {

inline const std::string kProgram = ZD_BINARY_DIR "/zedariva";
inline const std::string kContent = ZD_BINARY_DIR "/e2e-content";

struct ProgramRun {
    int exitCode = -1;
    std::string output;  // standard output and error

    std::string lastLine() const {
        std::string text = output;
        while (!text.empty() && text.back() == '\n') text.pop_back();
        const size_t newline = text.find_last_of('\n');
        return newline == std::string::npos ? text : text.substr(newline + 1);
    }
};

// `shell` is a command line for sh in which $ZEDARIVA is the program, run in
// the content folder with drivers that cannot open anything.
inline ProgramRun runShell(const std::string& shell) {
    const std::string command = "cd '" + kContent + "' && env -u DISPLAY -u WAYLAND_DISPLAY " +
                                "SDL_VIDEODRIVER=no-such-driver SDL_AUDIODRIVER=no-such-driver ZEDARIVA='" +
                                kProgram + "' sh -c '" + shell + "' 2>&1";
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The program with `arguments` (no single quotes in them); a run that hangs
// is killed after two minutes.
inline ProgramRun runProgram(const std::string& arguments) {
    return runShell("timeout -s KILL 120 \"$ZEDARIVA\" " + arguments);
}

inline std::vector<uint8_t> readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// FNV-1a, 64 bits, as 16 hex digits.
inline std::string hashOf(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// A captured frame's file name: frame-00042.tga.
inline std::string frameName(int frame, const char* suffix = ".tga") {
    char name[48];
    std::snprintf(name, sizeof name, "frame-%05d%s", frame, suffix);
    return name;
}

// A scratch folder of this process's own under the build folder (tests may
// run side by side).
inline std::filesystem::path scratch(const std::string& name) {
    const std::filesystem::path path =
        std::filesystem::path(ZD_BINARY_DIR) / "capture-scratch" / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

}  // namespace capture_runs
