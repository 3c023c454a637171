// Start-up steps of main.
#include "app/startup.h"

#include <cstdint>

#include "app/demo.h"
#include "app/schedule.h"
#include "display/display.h"
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
    musicOpen(kMusicFileName);
    musicStart();
    musicSetPosition(0);
    // Rehearsal: the music jumps to the chosen order; the demo clock keeps
    // counting from the start of playback.
    if (startOrder != 0) {
        musicSetPosition(static_cast<uint32_t>(startOrder));
        skipTriggersBefore(startOrder);
    }
}
