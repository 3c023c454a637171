// Key handling of the main loop.
#include "app/main_loop.h"

#include "app/demo.h"
#include "display/display.h"
#include "display/screenshot.h"

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
