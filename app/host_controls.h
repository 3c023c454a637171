// The viewer controls and the playback state as plain C functions, for a
// host that calls into the program from outside it (a web page's buttons and
// its tests). Each stands for the function of viewer_controls.h it names.
#pragma once

extern "C" {
int zedariva_order();
int zedariva_row();
int zedariva_paused();
double zedariva_music_seconds();  // musicHeardSeconds
void zedariva_toggle_pause();
void zedariva_pause();
void zedariva_resume();
void zedariva_seek(int order);
void zedariva_next_order();
void zedariva_previous_order();
// After the presentation has ended: plays it again from `order`.
void zedariva_play_again(int order);
}
