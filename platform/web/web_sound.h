// Between the web backend's sound output and its host loop: the browser's
// main thread cannot sleep, so a wait hands the output that much more sound.
#pragma once

// Renders `milliseconds` of sound into the output's queue at once.
void webSoundAhead(int milliseconds);
