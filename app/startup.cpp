// Start-up steps of main.
#include "app/startup.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "app/assets.h"
#include "app/data_files.h"
#include "app/demo.h"
#include "app/opening.h"
#include "app/schedule.h"
#include "display/display.h"
#include "scene3d/mesh_object.h"
#include "scene3d/world.h"
#include "sync/music_player.h"

void startRunning() { running = 1; }

void openDisplay(const CommandLine& commandLine) {
    setWindowed(commandLine.windowed ? 1 : 0);
    if (commandLine.scale != 0 || commandLine.desktop || commandLine.smooth)
        setScaledDisplay(commandLine.scale, commandLine.desktop, commandLine.smooth);
    setDisplayTitle("quendal -> 1999 -> bodravin");
    displayOpen(kTargetWidth, commandLine.displayHeight);
    displayInitSurface();
}

void startMusic(int startOrder) {
    musicOpen(dataFilePath(kMusicFileName).c_str());
    musicStart();
    playFromOrder(startOrder);
}

void playFromOrder(int order) {
    musicSetPosition(0);
    // Rehearsal: the music jumps to the chosen order; the demo clock keeps
    // counting from the start of playback.
    if (order != 0) {
        musicSetPosition(static_cast<uint32_t>(order));
        skipTriggersBefore(order);
    }
}

void restartSceneState() {
    std::fill(frameBuffer, frameBuffer + kTargetPixels, 0u);
    std::fill(workBuffer, workBuffer + kTargetPixels, 0u);
    std::fill(std::begin(portraitLevel), std::end(portraitLevel), 0.0f);
    world->restart();
    assets.ball->reset();
}
