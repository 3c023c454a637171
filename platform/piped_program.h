// A helper program fed through two pipes, in its own process group so that
// Ctrl+C on the terminal reaches only us. Used by the video capture (ffmpeg).
//
// The program reads the pipes as its file descriptors 3 and 4; its standard
// input and output are /dev/null and its standard error goes to a log that
// lastLogLine reads. Main thread only. SIGPIPE must be ignored by the caller
// (a write to a program that has ended then fails instead of killing us).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr int kPipeCount = 2;

struct PipedProgram {
    int pid = -1;
    int pipe_fds[kPipeCount] = {-1, -1};  // our (non-blocking) write ends
    int log_fd = -1;                      // the program's standard error, an unnamed temporary file
    // Bytes queued for each pipe; those before queueBegin_bytes are written.
    std::vector<uint8_t> queue[kPipeCount];
    size_t queueBegin_bytes[kPipeCount] = {0, 0};
    int exitStatus = -1;  // after finishPipedProgram: the exit code, or 128 + signal
    // What a host's backend keeps beside these (Windows: the process, the
    // pipes and their writer threads).
    struct Host;
    std::shared_ptr<Host> host;
};

// Starts `arguments[0]` (looked up on PATH) with the arguments. False, with
// the reason in `error`, when it cannot be started (not installed: ENOENT).
bool startPipedProgram(PipedProgram& program, const std::vector<std::string>& arguments, int& error);

// Appends bytes to pipe `index`'s queue (copied; the queue keeps its
// capacity, so steady use allocates nothing).
void queueForPipe(PipedProgram& program, int index, const void* bytes, size_t count_bytes);

// Writes until pipe `index`'s queue is empty, writing the other queue too
// whenever the program takes it, so that a program that reads its inputs in
// its own order never waits for us while we wait for it. False when the
// program stopped reading (it has ended).
bool drainPipe(PipedProgram& program, int index);

// Empties and closes pipe 0, then pipe 1 (end of input), and waits for the
// program to end. True when every byte was taken; exitStatus says how the
// program ended.
bool finishPipedProgram(PipedProgram& program);

// Ends the program at once (SIGKILL), closes the pipes and waits for it.
void killPipedProgram(PipedProgram& program);

// The last non-empty line the program wrote to its standard error ("" if none).
std::string lastLogLine(const PipedProgram& program);

// How a user of this host gets the program `name` when it is missing, for
// the message that says so ("apt-get install ffmpeg").
std::string installHint(const std::string& name);
