// The one error type of loading: a single line naming the file and the problem.
// Thrown by the pack reader, the decoders and the cache; main prints it and exits.
#pragma once

#include <stdexcept>
#include <string>

struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
