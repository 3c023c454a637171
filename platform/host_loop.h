// How the host runs the program's frames: natively a plain loop that returns
// when the frames are done; in a browser, one frame per animation frame,
// handing control back to the browser in between (the call then returns at
// once and the frames go on after it).
#pragma once

// One frame; false when there are no more.
using FrameStep = bool (*)();

void hostRunFrames(FrameStep step);
