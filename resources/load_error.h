// The one error type of loading: a single line naming the file and the problem.
// Thrown by the pack reader, the decoders and the cache; main prints it and exits.
#pragma once

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

// The text with control characters (below 0x20, and 0x7F) written as \xHH:
// names taken from a file can then neither break a message's line nor steer
// the terminal it is printed on.
inline std::string printable(std::string_view text) {
    const auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
    if (std::none_of(text.begin(), text.end(), isControl)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (!isControl(c)) {
            out += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
        out += escaped;
    }
    return out;
}

struct LoadError : std::runtime_error {
    explicit LoadError(const std::string& message) : std::runtime_error(printable(message)) {}
};
