// How the host runs the program's frames: natively a plain loop that returns
// when the frames are done; in a browser, frames called back by the browser,
// which gets control back in between (the call then returns at once and the
// frames go on after it).
#pragma once

// One frame; false when there are no more.
using FrameStep = bool (*)();

// Frames that are shown: in a browser, one per animation frame.
void hostRunFrames(FrameStep step);
// Frames that are not shown (a capture): as fast as they come; in a browser
// in slices of a few milliseconds, between which the page is updated.
void hostRunBatch(FrameStep step);

// Waits about `milliseconds`: natively by sleeping. A browser's main thread
// cannot sleep: its sound output is handed that much more sound at once
// instead, so that what waits on the sound (the music's fade-out) goes on.
void hostSleep(int milliseconds);
