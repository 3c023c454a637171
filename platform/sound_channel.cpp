// Loading, seeking and rendering of one channel: modules through libopenmpt,
// WAV streams through the host's decoder (wav_decode.h) and a
// linear-interpolating resampler.
#include "platform/sound_channel.h"

#include "platform/wav_decode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

bool readWholeFile(const char* path, std::vector<char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool fileOpens(const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

// libopenmpt's load messages would go to stderr; they are not wanted there.
std::ostringstream& discardedLog() {
    static std::ostringstream log;
    log.str("");
    return log;
}

}  // namespace

int loadModuleChannel(SoundChannel& channel, const char* path) {
    std::vector<char> bytes;
    if (!readWholeFile(path, bytes)) return kSoundErrorFileOpen;
    try {
        auto module = std::make_unique<openmpt::module>(bytes, discardedLog());
        module->set_repeat_count(0);
        // At the end a read returns short; the next read goes on from the start.
        module->ctl_set_text("play.at_end", "continue");
        // After a seek, notes already playing are heard as if played through.
        module->ctl_set_boolean("seek.sync_samples", true);
        channel.module = std::move(module);
    } catch (const std::exception&) {
        return kSoundErrorFormat;
    }
    channel.isModule = true;
    return kSoundOk;
}

int loadStreamChannel(SoundChannel& channel, const char* path, int outputRate_hz) {
    if (!fileOpens(path)) return kSoundErrorFileOpen;
    if (!decodeWavFile(path, outputRate_hz, channel.wave)) return kSoundErrorFormat;
    channel.waveCursor_frames = 0;
    channel.isModule = false;
    return kSoundOk;
}

void closeChannel(SoundChannel& channel) { channel = SoundChannel(); }

uint32_t channelRenderPosition(const SoundChannel& channel) {
    if (channel.isModule) {
        const uint32_t order = static_cast<uint32_t>(channel.module->get_current_order()) & 0xFFFF;
        const uint32_t row = static_cast<uint32_t>(channel.module->get_current_row()) & 0xFFFF;
        return order | (row << 16);
    }
    // 16-bit stereo: four bytes a frame.
    return static_cast<uint32_t>(channel.waveCursor_frames) * 4;
}

void channelSeek(SoundChannel& channel, uint32_t position) {
    if (channel.isModule) {
        channel.module->set_position_order_row(static_cast<int32_t>(position & 0xFFFF),
                                               static_cast<int32_t>(position >> 16));
        return;
    }
    const size_t frames = channel.wave.size() / 2;
    channel.waveCursor_frames = static_cast<double>((position / 4) % frames);
}

void channelSetRate(SoundChannel& channel, int rate_hz, int outputRate_hz) {
    channel.rate_hz = rate_hz;
    if (!channel.isModule) return;
    // Tempo and pitch by the same factor: a tape played faster or slower.
    const double factor = static_cast<double>(rate_hz) / outputRate_hz;
    try {
        channel.module->ctl_set_floatingpoint("play.tempo_factor", factor);
        channel.module->ctl_set_floatingpoint("play.pitch_factor", factor);
    } catch (const std::exception&) {
        // A factor the library refuses leaves the previous one in force.
    }
}

namespace {

// libopenmpt signals the end of the song with a short read, followed by one
// read of 0 frames; the reads after that play the song from its start.
int renderModule(SoundChannel& channel, float* out, int frames, int outputRate_hz, int* endOffsets,
                 int maxEnds) {
    int done = 0;
    int ends = 0;
    bool justEnded = false;
    int emptyReads = 0;
    while (done < frames) {
        const size_t got =
            channel.module->read_interleaved_stereo(outputRate_hz, frames - done, out + 2 * done);
        done += static_cast<int>(got);
        if (done >= frames) break;
        if (got == 0 && justEnded) {
            // A song that plays nothing even from its start: stop, do not spin.
            if (++emptyReads >= 2) {
                channel.playing = false;
                break;
            }
            continue;
        }
        if (ends < maxEnds) endOffsets[ends++] = done;
        justEnded = true;
        emptyReads = 0;
    }
    std::fill(out + 2 * done, out + 2 * frames, 0.0f);
    return ends;
}

int renderStream(SoundChannel& channel, float* out, int frames, int outputRate_hz, int* endOffsets,
                 int maxEnds) {
    const size_t length = channel.wave.size() / 2;
    const double step = static_cast<double>(channel.rate_hz) / outputRate_hz;
    double cursor = channel.waveCursor_frames;
    int ends = 0;
    for (int i = 0; i < frames; ++i) {
        const size_t a = static_cast<size_t>(cursor);
        const size_t b = a + 1 < length ? a + 1 : 0;
        const float frac = static_cast<float>(cursor - static_cast<double>(a));
        out[2 * i] = channel.wave[2 * a] + (channel.wave[2 * b] - channel.wave[2 * a]) * frac;
        out[2 * i + 1] = channel.wave[2 * a + 1] + (channel.wave[2 * b + 1] - channel.wave[2 * a + 1]) * frac;
        cursor += step;
        if (cursor >= static_cast<double>(length)) {
            cursor = std::fmod(cursor, static_cast<double>(length));
            if (ends < maxEnds) endOffsets[ends++] = i + 1;
        }
    }
    channel.waveCursor_frames = cursor;
    return ends;
}

}  // namespace

int renderChannel(SoundChannel& channel, float* out, int frames, int outputRate_hz, int* endOffsets,
                  int maxEnds) {
    if (channel.isModule) return renderModule(channel, out, frames, outputRate_hz, endOffsets, maxEnds);
    return renderStream(channel, out, frames, outputRate_hz, endOffsets, maxEnds);
}

void addMark(SoundChannel& channel, uint64_t frame, uint32_t position) {
    channel.marks[channel.markNext] = PositionMark{frame, position};
    channel.markNext = (channel.markNext + 1) % SoundChannel::kMarks;
    channel.markCount = std::min(channel.markCount + 1, SoundChannel::kMarks);
}

void clearMarks(SoundChannel& channel) {
    channel.markNext = 0;
    channel.markCount = 0;
}

uint32_t markedPosition(const SoundChannel& channel, uint64_t frame) {
    if (channel.markCount == 0) return channelRenderPosition(channel);
    // Walk from the newest mark back to the first one not after `frame`.
    size_t index = (channel.markNext + SoundChannel::kMarks - 1) % SoundChannel::kMarks;
    for (size_t n = 0; n < channel.markCount; ++n) {
        const PositionMark& mark = channel.marks[index];
        if (mark.frame <= frame || n + 1 == channel.markCount) return mark.position;
        index = (index + SoundChannel::kMarks - 1) % SoundChannel::kMarks;
    }
    return channel.marks[index].position;
}
