// A browser host cannot start other programs: the video capture, which
// feeds ffmpeg, is refused with that reason.
#include "platform/piped_program.h"

#include <cerrno>

bool startPipedProgram(PipedProgram&, const std::vector<std::string>&, int& error) {
    error = ENOSYS;
    return false;
}

void queueForPipe(PipedProgram&, int, const void*, size_t) {}
bool drainPipe(PipedProgram&, int) { return false; }
bool finishPipedProgram(PipedProgram&) { return false; }
void killPipedProgram(PipedProgram&) {}
std::string lastLogLine(const PipedProgram&) { return ""; }
std::string installHint(const std::string&) { return "a web page cannot start other programs"; }
