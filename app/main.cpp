// The presentation's entry point: start-up, main loop, shutdown.
#include <cstdio>

#include "app/command_line.h"
#include "app/demo.h"
#include "app/main_loop.h"
#include "app/startup.h"
#include "display/display.h"

namespace {

// Each volume option reaches the music player at once.
void setMusicVolume(int /*volume*/)
{
    // Step 4 hook: musicSetVolume(volume) goes here with the music player.
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // messages appear as they are printed

    startRunning();                                                          // 1
    // 2: create the resource cache on "data.fil" and publish it (resources).
    // 3: construct the World (resources, 512, 256, 512) and publish it.
    const CommandLine commandLine = readCommandLine(argc, argv, setMusicVolume);  // 4
    if (commandLine.exitNow)
        return commandLine.exitCode;
    openDisplay(commandLine);                                                // 5
    allocateWorkBuffer();                                                    // 6
    // 7: buildMulTable().
    // 8: load the assets in their fixed order.
    // 9: musicOpen("tazutune.it"), musicStart(), musicSetPosition(0).

    while (running) {
        handlePendingKey();
        // Evaluate the schedule here: every entry in its fixed order.
        displayPresent();
    }

    // musicFadeOut() goes here, before the display closes.
    displayClose();
    return 0;
}
