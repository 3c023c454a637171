// A page gets no Ctrl+C: a capture there runs to its end.
#include "platform/stop_request.h"

void catchStopRequests() {}

bool stopWasRequested() { return false; }
