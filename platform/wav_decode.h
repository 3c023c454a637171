// Decoding a WAV file for the sound layer's streams, one decoder per host:
// SDL's loader and converter (platform/sdl/), or none in a browser, which
// plays tracker modules only (platform/web/).
#pragma once

#include <vector>

// The whole file as stereo float frames at outputRate_hz, into `stereo`
// (interleaved). False when it is not a WAV file the host decodes, or holds
// no sound.
bool decodeWavFile(const char* path, int outputRate_hz, std::vector<float>& stereo);
