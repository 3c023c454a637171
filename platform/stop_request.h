// Ctrl+C (and a request to end) during a capture, which ends it as the quit
// key ends the presentation: the first is noted for the capture loop to see,
// a second ends the program at once. Writes to a helper program that has
// ended fail instead of ending us.
#pragma once

void catchStopRequests();
bool stopWasRequested();
