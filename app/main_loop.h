// What the main loop does with the keys: quit on Escape, "Q", "q"; write the
// screenshot on "S". Used by main once per frame.
#pragma once

// Acts on one typed character.
void handleKey(int key);
// Takes at most one typed character from the display and acts on it.
void handlePendingKey();
