#include "app/host_controls.h"

#include "app/viewer_controls.h"
#include "sync/music_player.h"

int zedariva_order() { return playbackState().order; }
int zedariva_row() { return playbackState().row; }
int zedariva_paused() { return playbackState().paused ? 1 : 0; }
double zedariva_music_seconds() { return musicHeardSeconds(); }
void zedariva_toggle_pause() { togglePause(); }
void zedariva_pause() { pausePresentation(); }
void zedariva_resume() { resumePresentation(); }
void zedariva_seek(int order) { seekToOrder(order); }
void zedariva_next_order() { seekToNextOrder(); }
void zedariva_previous_order() { seekToPreviousOrder(); }
void zedariva_play_again(int order) { playAgain(order); }
