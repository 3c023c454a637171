// The viewer controls over the music player, the demo clock and the sync table.
#include "app/viewer_controls.h"

#include <cstdio>

#include "app/demo.h"
#include "app/main_loop.h"
#include "app/schedule.h"
#include "app/startup.h"
#include "platform/host_loop.h"
#include "sync/demo_clock.h"
#include "sync/music_player.h"
#include "sync/sync_table.h"

namespace {

// "Previous" within this long of an order's start goes to the order before.
constexpr int32_t kPreviousWindow_ms = 1000;

int currentOrder = -1;      // the order of the last frame drawn
int32_t orderBegan_ms = 0;  // demoTime() when it was first drawn
bool redrawHeld = false;    // paused, and the position moved since the last frame

}  // namespace

PlaybackState playbackState() {
    const MusicPosition position = currentMusicPosition();
    return {position >> 16, position & 0xFFFF, demoClockHeld()};
}

void pausePresentation() {
    if (demoClockHeld()) return;
    musicPause(true);
    holdDemoClock();
    redrawHeld = currentOrder < 0;  // nothing drawn yet: the first frame is
    const PlaybackState state = playbackState();
    std::printf("paused at order %d, row %d\n", state.order, state.row);
}

void resumePresentation() {
    if (!demoClockHeld()) return;
    releaseDemoClock();
    musicPause(false);
    std::printf("playing\n");
}

void togglePause() {
    if (demoClockHeld())
        resumePresentation();
    else
        pausePresentation();
}

void seekToOrder(int order) {
    if (order < 0) order = 0;
    if (order >= presentationEndOrder()) {
        running = 0;
        std::printf("the end\n");
        return;
    }
    restartSceneState();
    clearSyncTable();
    playFromOrder(order);
    currentOrder = order;
    orderBegan_ms = demoTime();
    redrawHeld = demoClockHeld();
    std::printf("order %d\n", order);
}

void playAgain(int order) {
    if (running) return;
    if (demoClockHeld()) releaseDemoClock();
    running = 1;
    restartSceneState();
    clearSyncTable();
    startMusic(order);
    currentOrder = -1;
    std::printf("order %d\n", order);
    hostRunFrames(presentationFrame);
}

void seekToNextOrder() { seekToOrder(playbackState().order + 1); }

void seekToPreviousOrder() {
    const int order = playbackState().order;
    const bool justBegan = order != currentOrder || demoTime() - orderBegan_ms < kPreviousWindow_ms;
    seekToOrder(justBegan ? order - 1 : order);
}

bool frameIsDue() {
    if (!demoClockHeld()) return true;
    const bool due = redrawHeld;
    redrawHeld = false;
    return due;
}

void followPlayback() {
    const int order = playbackState().order;
    if (order == currentOrder) return;
    currentOrder = order;
    orderBegan_ms = demoTime();
}
