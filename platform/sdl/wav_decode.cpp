// WAV files through SDL's loader and its audio converter.
#include "platform/wav_decode.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

bool decodeWavFile(const char* path, int outputRate_hz, std::vector<float>& stereo) {
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length_bytes = 0;
    if (!SDL_LoadWAV(path, &spec, &data, &length_bytes)) return false;
    if (length_bytes == 0) {  // no sound at all; and memcpy may not be given an empty buffer's null
        SDL_FreeWAV(data);
        return false;
    }

    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_F32SYS, 2, outputRate_hz) < 0) {
        SDL_FreeWAV(data);
        return false;
    }
    std::vector<uint8_t> work(static_cast<size_t>(length_bytes) * std::max(cvt.len_mult, 1));
    std::memcpy(work.data(), data, length_bytes);
    SDL_FreeWAV(data);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(length_bytes);
    if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) return false;
    const size_t frames = static_cast<size_t>(cvt.needed ? cvt.len_cvt : cvt.len) / (2 * sizeof(float));
    if (frames == 0) return false;
    stereo.resize(frames * 2);
    std::memcpy(stereo.data(), work.data(), frames * 2 * sizeof(float));
    return true;
}
