// Start-up steps of main.
#include "app/startup.h"

#include "app/demo.h"
#include "display/display.h"

void startRunning()
{
    running = 1;
}

void openDisplay(const CommandLine& commandLine)
{
    setWindowed(commandLine.windowed ? 1 : 0);
    setDisplayTitle("quendal -> 1999 -> bodravin");
    displayOpen(kFrameWidth, commandLine.displayHeight);
    displayInitSurface();
}
