// The presentation's entry point: start-up, main loop, shutdown.
#include <cstdio>
#include <memory>

#include "app/assets.h"
#include "app/capture.h"
#include "app/command_line.h"
#include "app/data_files.h"
#include "app/demo.h"
#include "app/main_loop.h"
#include "app/startup.h"
#include "display/display.h"
#include "fx2d/mul_table.h"
#include "platform/console.h"
#include "platform/host_loop.h"
#include "resources/load_error.h"
#include "resources/resource_cache.h"
#include "scene3d/world.h"
#include "sync/music_player.h"

int main(int argc, char** argv) {
    prepareStandardOutput();  // where the user sees it, each message as it is printed

    startRunning();  // 1
    // They live as long as the process: a host may go on running the frames
    // after main has returned.
    static std::unique_ptr<ResourceCache> cache;
    static std::unique_ptr<World> world3d;
    CommandLine commandLine;
    try {
        cache = std::make_unique<ResourceCache>(dataFilePath(kPackFileName));  // 2
        resources = cache.get();
        world3d = std::make_unique<World>(cache.get(), kTargetWidth, kTargetHeight, kTargetWidth);  // 3
        world = world3d.get();
        // 4: each volume option reaches the music player at once; the player
        // keeps the volume and applies it when its output starts.
        commandLine = readCommandLine(argc, argv, musicSetVolume);
        if (commandLine.exitNow) return commandLine.exitCode;
        if (capturing(commandLine)) prepareCapture();
        openDisplay(commandLine);            // 5
        allocateWorkBuffer();                // 6
        buildMulTable();                     // 7
        loadAssets(*cache, *world);          // 8
        startMusic(commandLine.startOrder);  // 9
    } catch (const LoadError& error) {
        std::printf("%s\n", error.what());
        return -1;
    }

    if (capturing(commandLine)) {
        if (!beginCapture(commandLine)) return 1;
        hostRunBatch(captureFrame);
        return captureExitCode();
    }
    hostRunFrames(presentationFrame);
    return 0;
}
