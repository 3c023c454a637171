// A browser host plays tracker modules only: a WAV file is not a format it
// decodes, so the music player goes on to open it as a module.
#include "platform/wav_decode.h"

bool decodeWavFile(const char*, int, std::vector<float>&) { return false; }
