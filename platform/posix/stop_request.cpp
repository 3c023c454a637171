// Stop requests from SIGINT and SIGTERM.
#include "platform/stop_request.h"

#include <signal.h>

#include <csignal>

namespace {

volatile std::sig_atomic_t requested = 0;

void onStopSignal(int) { requested = 1; }

}  // namespace

void catchStopRequests() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    action.sa_flags = SA_RESETHAND;  // a second Ctrl+C ends the program at once
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);  // a helper that ended fails our writes instead
}

bool stopWasRequested() { return requested != 0; }
