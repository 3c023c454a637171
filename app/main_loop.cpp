// Key handling and the frame of the main loop.
#include "app/main_loop.h"

#include "app/demo.h"
#include "app/schedule.h"
#include "app/viewer_controls.h"
#include "display/display.h"
#include "display/screenshot.h"
#include "sync/music_player.h"

namespace {
constexpr int kPausedWait_ms = 10;
}

void handleKey(int key) {
    switch (key) {
        case 27:  // Escape
        case 'Q':
        case 'q':
            running = 0;
            break;
        case 'S':  // upper case only; saves what the previous frame left
            saveScreenshotTga("zedariva.tga", frameBuffer, kTargetWidth, kTargetHeight);
            break;
        default:
            break;
    }
}

void handlePendingKey() {
    if (keyPending()) handleKey(readKey());
}

void handleViewerCommand(ViewerCommand command) {
    switch (command) {
        case ViewerCommand::TogglePause:
            togglePause();
            break;
        case ViewerCommand::NextOrder:
            seekToNextOrder();
            break;
        case ViewerCommand::PreviousOrder:
            seekToPreviousOrder();
            break;
        case ViewerCommand::FirstOrder:
            seekToOrder(0);
            break;
        case ViewerCommand::None:
            break;
    }
}

void runFrame() {
    handlePendingKey();
    handleViewerCommand(takeViewerCommand());
    if (!frameIsDue()) {
        if (running) displayWait(kPausedWait_ms);
        return;
    }
    // As in every frame, also the one in which a quit key was read.
    runSchedule();
    displayPresent();
    followPlayback();
}

bool presentationFrame() {
    runFrame();
    if (running) return true;
    musicFadeOut();
    displayClose();
    return false;
}
