// The presentation's entry point: start-up, main loop, shutdown.
#include <cstdio>
#include <memory>

#include "app/assets.h"
#include "app/command_line.h"
#include "app/demo.h"
#include "app/main_loop.h"
#include "app/schedule.h"
#include "app/startup.h"
#include "display/display.h"
#include "fx2d/mul_table.h"
#include "resources/load_error.h"
#include "resources/resource_cache.h"
#include "sync/music_player.h"

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // messages appear as they are printed

    startRunning();  // 1
    std::unique_ptr<ResourceCache> cache;
    try {
        cache = std::make_unique<ResourceCache>("data.fil");  // 2
        resources = cache.get();
        // 3: the 3D World comes here, on the cache, 512 x 256, pitch 512.
        // 4: each volume option reaches the music player at once; the player
        // keeps the volume and applies it when its output starts.
        const CommandLine commandLine = readCommandLine(argc, argv, musicSetVolume);
        if (commandLine.exitNow) return commandLine.exitCode;
        openDisplay(commandLine);            // 5
        allocateWorkBuffer();                // 6
        buildMulTable();                     // 7
        loadAssets(*cache);                  // 8
        startMusic(commandLine.startOrder);  // 9
    } catch (const LoadError& error) {
        std::printf("%s\n", error.what());
        return -1;
    }

    while (running) {
        handlePendingKey();
        runSchedule();
        displayPresent();
    }

    musicFadeOut();
    displayClose();
    return 0;
}
