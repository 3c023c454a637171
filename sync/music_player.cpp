// The music player over the sound layer, in the order the presentation needs:
// version check, output, stream or module, end callback; start; fade-out.
#include "sync/music_player.h"

#include "platform/host_loop.h"
#include "platform/sound.h"
#include "sync/demo_clock.h"

#include <cstdio>
#include <cstdlib>

namespace {

uint32_t stream = 0;  // set when the file opened as a stream
uint32_t music = 0;   // set when the file opened as a tracker module
int32_t rate = 0;     // output rate at start; the playback rate while fading out

constexpr int32_t kSlowestRate_hz = 2000;
constexpr int kRateSteps = 40;  // the slow-down goes to zero in this many steps
constexpr int kRateStep_ms = 5;
constexpr int kSlideCheck_ms = 1;

uint32_t channel() { return stream != 0 ? stream : music; }

MusicWait waitBetweenSteps = hostSleep;

}  // namespace

void musicOpen(const char* fileName) {
    if (soundVersion() != 0x60000) {
        std::printf("BASS version 0.6 was not loaded\n");
        return;
    }
    rate = kMusicOutputRate_hz;
    if (!soundInit(kMusicOutputRate_hz)) musicFail("Can't initialize device");
    stream = soundStreamOpenFile(fileName);
    if (stream != 0) {
        soundSetEndSync(stream, onMusicEnd, 0);
        return;
    }
    music = soundModuleOpenFile(fileName);
    if (music == 0) musicFail("Can't play the file");
    soundSetEndSync(music, onMusicEnd, 0);
}

void musicStart() {
    soundStart();
    soundPlay(channel());  // streams always loop
    restartDemoClock();
}

uint32_t musicPosition() { return soundPosition(channel()); }

double musicHeardSeconds() { return static_cast<double>(soundHeardFrames()) / kMusicOutputRate_hz; }

void musicSetPosition(uint32_t position) {
    soundSetPosition(channel(), position);
    if (position == 0) restartDemoClock();
}

void musicPause(bool paused) { soundPause(paused); }

void musicSetVolume(int volume) { soundSetGlobalVolumes(volume, volume, volume); }

void musicFadeOut() {
    soundGetAttributes(channel(), &rate, nullptr, nullptr);
    const int32_t step = rate / kRateSteps;
    while (rate > kSlowestRate_hz) {
        soundSetAttributes(channel(), rate, -1, -101);
        waitBetweenSteps(kRateStep_ms);
        rate -= step;
    }
    soundSlideVolumes(0, 0, 0);
    while (soundIsSliding()) waitBetweenSteps(kSlideCheck_ms);
    soundFree();
    stream = 0;
    music = 0;
}

void musicUsePulledOutput() { soundSetPulledOutput(true); }

void musicPull(int16_t* out, int frames) { soundPull(out, frames); }

void setMusicWait(MusicWait newWait) { waitBetweenSteps = newWait ? newWait : hostSleep; }

void musicFail(const char* message) {
    std::printf("BASS Error(%d): %s\n", soundErrorCode(), message);
    soundFree();
    std::exit(1);
}

void onMusicEnd(uint32_t, uint32_t, uint32_t) { restartDemoClock(); }
