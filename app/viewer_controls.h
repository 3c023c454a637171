// Viewer controls: pause, resume and moving between the music's orders while
// the presentation runs. They only change where in the music it plays, as
// --start does; what it draws at a position stays the same. Called by the
// main loop for the viewer keys and by a host's own buttons. Main thread.
#pragma once

struct PlaybackState {
    int order = 0;
    int row = 0;
    bool paused = false;
};

// The music position heard now and whether the presentation is paused.
PlaybackState playbackState();

// The music and the demo clock stop where they are and the picture holds;
// resuming goes on from there, so no scene jumps. Each prints one line
// ("paused at order O, row R" or "playing") when it changes something.
// Paused before the first frame, that frame is still drawn once.
void pausePresentation();
void resumePresentation();
void togglePause();

// Plays from the start of `order` exactly as a start with --start=ORDER
// would: the music at (order, 0), every recorded position forgotten, the
// triggers before it skipped, and the frame, the work buffer and the scenes'
// state as start-up leaves them. An order below 0 is 0; the order at which
// the presentation ends, or any later one, ends it. Paused, it stays paused
// and the next frame shows the new position. Prints "order N" (or "the end").
void seekToOrder(int order);
void seekToNextOrder();
// The start of the current order, or of the one before when the current one
// began less than a second ago (a media player's "previous").
void seekToPreviousOrder();

// After the presentation has ended (its music faded out, the display
// closed): plays it again from `order` as a fresh start would, the host
// running the frames once more.
void playAgain(int order);

// The main loop's part. frameIsDue: whether to draw a frame now; true while
// playing, and once after each seek while paused. followPlayback, after
// each drawn frame: notes when the current order began.
bool frameIsDue();
void followPlayback();
