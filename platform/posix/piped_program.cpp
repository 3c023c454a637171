// A helper program behind two pipes: posix_spawnp with the pipes moved to its
// descriptors 3 and 4, and a poll loop that keeps both pipes flowing.
#include "platform/piped_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

constexpr int kFirstChildPipe_fd = 3;
constexpr int kPipeSize_bytes = 1 << 20;  // fewer wake-ups per video frame
constexpr size_t kLogTail_bytes = 4096;

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// A descriptor above the ones the child gets, so that moving one pipe to 3 or
// 4 cannot overwrite another before it is moved.
int moveAbove(int fd, int lowest) {
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, lowest);
    ::close(fd);
    return moved;
}

// An unnamed temporary file for the child's standard error.
int makeLogFile() {
    char name[] = "/tmp/zedariva-log-XXXXXX";
    const int fd = ::mkostemp(name, O_CLOEXEC);
    if (fd >= 0) ::unlink(name);
    return fd;
}

void closeAll(PipedProgram& program) {
    for (int& fd : program.pipe_fds) closeFd(fd);
    closeFd(program.log_fd);
}

void waitForExit(PipedProgram& program) {
    if (program.pid <= 0) return;
    int status = 0;
    while (::waitpid(program.pid, &status, 0) < 0 && errno == EINTR) {
    }
    program.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    program.pid = -1;
}

size_t queued(const PipedProgram& program, int index) {
    return program.queue[index].size() - program.queueBegin_bytes[index];
}

// Writes what pipe `index` takes now; false when the program stopped reading.
bool writeSome(PipedProgram& program, int index) {
    std::vector<uint8_t>& queue = program.queue[index];
    size_t& begin = program.queueBegin_bytes[index];
    const ssize_t written = ::write(program.pipe_fds[index], queue.data() + begin, queue.size() - begin);
    if (written < 0) return errno == EAGAIN || errno == EINTR;
    begin += static_cast<size_t>(written);
    if (begin == queue.size()) {
        queue.clear();
        begin = 0;
    }
    return true;
}

}  // namespace

bool startPipedProgram(PipedProgram& program, const std::vector<std::string>& arguments, int& error) {
    int readEnds[kPipeCount] = {-1, -1};
    program.log_fd = makeLogFile();
    bool made = program.log_fd >= 0;
    for (int i = 0; made && i < kPipeCount; ++i) {
        int ends[2];
        made = ::pipe2(ends, O_CLOEXEC) == 0;
        if (!made) break;
        readEnds[i] = moveAbove(ends[0], kFirstChildPipe_fd + kPipeCount);
        program.pipe_fds[i] = ends[1];
        made = readEnds[i] >= 0;
    }
    if (!made) {
        error = errno;
        for (int& fd : readEnds) closeFd(fd);
        closeAll(program);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, program.log_fd, 2);
    for (int i = 0; i < kPipeCount; ++i)
        posix_spawn_file_actions_adddup2(&actions, readEnds[i], kFirstChildPipe_fd + i);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);  // a group of its own: no Ctrl+C from the terminal
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int result = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    for (int& fd : readEnds) closeFd(fd);
    if (result != 0) {
        error = result;
        closeAll(program);
        return false;
    }
    program.pid = pid;
    for (int fd : program.pipe_fds) {
        ::fcntl(fd, F_SETPIPE_SZ, kPipeSize_bytes);  // a smaller pipe only costs speed
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

void queueForPipe(PipedProgram& program, int index, const void* bytes, size_t count_bytes) {
    const uint8_t* first = static_cast<const uint8_t*>(bytes);
    program.queue[index].insert(program.queue[index].end(), first, first + count_bytes);
}

bool drainPipe(PipedProgram& program, int index) {
    while (program.pipe_fds[index] >= 0 && queued(program, index) > 0) {
        pollfd polled[kPipeCount];
        int which[kPipeCount];
        int count = 0;
        for (int i = 0; i < kPipeCount; ++i) {
            if (program.pipe_fds[i] < 0 || queued(program, i) == 0) continue;
            polled[count] = pollfd{program.pipe_fds[i], POLLOUT, 0};
            which[count++] = i;
        }
        if (::poll(polled, static_cast<nfds_t>(count), -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (int n = 0; n < count; ++n)
            if (polled[n].revents != 0 && !writeSome(program, which[n])) return false;
    }
    return true;
}

bool finishPipedProgram(PipedProgram& program) {
    bool taken = true;
    for (int i = 0; i < kPipeCount; ++i) {
        taken = drainPipe(program, i) && taken;
        closeFd(program.pipe_fds[i]);
    }
    waitForExit(program);
    return taken;
}

void killPipedProgram(PipedProgram& program) {
    if (program.pid > 0) ::kill(program.pid, SIGKILL);
    for (int& fd : program.pipe_fds) closeFd(fd);
    waitForExit(program);
}

std::string installHint(const std::string& name) { return "apt-get install " + name; }

std::string lastLogLine(const PipedProgram& program) {
    if (program.log_fd < 0) return "";
    struct stat status;
    if (::fstat(program.log_fd, &status) != 0 || status.st_size <= 0) return "";
    const off_t size = status.st_size;
    const off_t from = std::max<off_t>(0, size - static_cast<off_t>(kLogTail_bytes));
    std::string tail(static_cast<size_t>(size - from), '\0');
    const ssize_t got = ::pread(program.log_fd, tail.data(), tail.size(), from);
    tail.resize(got > 0 ? static_cast<size_t>(got) : 0);
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' '))
        tail.pop_back();
    const size_t start = tail.find_last_of("\r\n");
    return start == std::string::npos ? tail : tail.substr(start + 1);
}
