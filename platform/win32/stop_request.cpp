// Stop requests from the console: Ctrl+C, Ctrl+Break or the console closing.
#include "platform/stop_request.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<bool> requested{false};

// The first request is noted; a second one goes on to the default handler,
// which ends the program at once.
BOOL WINAPI onConsoleControl(DWORD) {
    if (requested.exchange(true)) return FALSE;
    return TRUE;
}

}  // namespace

void catchStopRequests() { SetConsoleCtrlHandler(onConsoleControl, TRUE); }

bool stopWasRequested() { return requested.load(); }
