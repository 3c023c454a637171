// A helper program behind two pipes on Windows: CreateProcess with the pipes
// handed to its C runtime as its descriptors 3 and 4 (the block of inherited
// descriptors that the runtime's spawn functions pass), and one writer thread
// a pipe, so that both keep flowing whichever the program reads first.
#include "platform/piped_program.h"

#include <windows.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

constexpr DWORD kPipeSize_bytes = 1 << 20;
constexpr size_t kLogTail_bytes = 4096;
constexpr int kChildDescriptors = 3 + kPipeCount;

// The C runtime's flags of an inherited descriptor.
constexpr unsigned char kOpen = 0x01;
constexpr unsigned char kPipe = 0x08;
constexpr unsigned char kDevice = 0x40;

void closeHandle(HANDLE& handle) {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = nullptr;
}

int errnoOf(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT : EIO;
}

// One argument as the C runtime splits a command line: quoted when needed,
// with the backslashes before a quote doubled.
void appendQuoted(std::string& line, const std::string& argument) {
    if (!line.empty()) line += ' ';
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        line += argument;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
}

}  // namespace

struct PipedProgram::Host {
    HANDLE process = nullptr;
    HANDLE log = nullptr;                           // the program's standard error, deleted when closed
    HANDLE pipes[kPipeCount] = {nullptr, nullptr};  // our write ends
    std::thread writers[kPipeCount];
    std::vector<uint8_t> writing[kPipeCount];  // what a writer is writing now
    bool busy[kPipeCount] = {false, false};
    bool broken[kPipeCount] = {false, false};  // the program stopped reading
    bool closing[kPipeCount] = {false, false};
    std::mutex mutex;
    std::condition_variable changed;

    ~Host() {
        for (int i = 0; i < kPipeCount; ++i) stopWriter(i);
        closeHandle(process);
        closeHandle(log);
    }

    // Takes the queue of pipe `index`, writes it, and again, until closed.
    void write(PipedProgram* program, int index) {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return closing[index] || !program->queue[index].empty(); });
            if (program->queue[index].empty()) return;
            writing[index].swap(program->queue[index]);
            busy[index] = true;
            lock.unlock();
            const uint8_t* at = writing[index].data();
            size_t left = writing[index].size();
            bool written = true;
            while (written && left > 0) {
                DWORD done = 0;
                written = WriteFile(pipes[index], at,
                                    static_cast<DWORD>(left > kPipeSize_bytes ? kPipeSize_bytes : left),
                                    &done, nullptr) != 0;
                at += done;
                left -= done;
            }
            writing[index].clear();
            lock.lock();
            busy[index] = false;
            if (!written) {
                broken[index] = true;
                program->queue[index].clear();
            }
            changed.notify_all();
            if (!written) return;
        }
    }

    void stopWriter(int index) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            closing[index] = true;
        }
        changed.notify_all();
        if (writers[index].joinable()) writers[index].join();
        closeHandle(pipes[index]);
    }
};

bool startPipedProgram(PipedProgram& program, const std::vector<std::string>& arguments, int& error) {
    auto host = std::make_shared<PipedProgram::Host>();
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnds[kPipeCount] = {nullptr, nullptr};
    HANDLE none = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherited, OPEN_EXISTING, 0, nullptr);
    char folder[MAX_PATH], name[MAX_PATH];
    bool made = none != INVALID_HANDLE_VALUE && GetTempPathA(MAX_PATH, folder) != 0 &&
                GetTempFileNameA(folder, "zdl", 0, name) != 0;
    if (made) {
        host->log = CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        made = host->log != INVALID_HANDLE_VALUE;
    }
    for (int i = 0; made && i < kPipeCount; ++i)
        made = CreatePipe(&readEnds[i], &host->pipes[i], &inherited, kPipeSize_bytes) &&
               SetHandleInformation(host->pipes[i], HANDLE_FLAG_INHERIT, 0);
    if (!made) {
        error = errnoOf(GetLastError());
        for (HANDLE& end : readEnds) closeHandle(end);
        if (none != INVALID_HANDLE_VALUE) CloseHandle(none);
        return false;
    }

    // Descriptors 0 to 4 of the program's C runtime: count, flags, handles.
    const HANDLE handles[kChildDescriptors] = {none, none, host->log, readEnds[0], readEnds[1]};
    const unsigned char flags[kChildDescriptors] = {kOpen | kDevice, kOpen | kDevice, kOpen, kOpen | kPipe,
                                                    kOpen | kPipe};
    std::vector<unsigned char> block(sizeof(int) + kChildDescriptors * (1 + sizeof(HANDLE)));
    const int count = kChildDescriptors;
    std::memcpy(block.data(), &count, sizeof count);
    std::memcpy(block.data() + sizeof count, flags, sizeof flags);
    std::memcpy(block.data() + sizeof count + sizeof flags, handles, sizeof handles);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = none;
    startup.hStdOutput = none;
    startup.hStdError = host->log;
    startup.cbReserved2 = static_cast<WORD>(block.size());
    startup.lpReserved2 = block.data();
    std::string line;
    for (const std::string& argument : arguments) appendQuoted(line, argument);
    PROCESS_INFORMATION started{};
    // Its own process group: Ctrl+C in the console reaches only us. Looked
    // for beside our program first, then in the usual places and on the PATH.
    const BOOL ran =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                       CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started);
    const DWORD failure = GetLastError();
    for (HANDLE& end : readEnds) closeHandle(end);
    CloseHandle(none);
    if (!ran) {
        error = errnoOf(failure);
        return false;
    }
    CloseHandle(started.hThread);
    host->process = started.hProcess;
    program.pid = static_cast<int>(started.dwProcessId);
    program.host = host;
    for (int i = 0; i < kPipeCount; ++i) {
        program.pipe_fds[i] = i;  // open
        host->writers[i] = std::thread(&PipedProgram::Host::write, host.get(), &program, i);
    }
    return true;
}

void queueForPipe(PipedProgram& program, int index, const void* bytes, size_t count_bytes) {
    const uint8_t* first = static_cast<const uint8_t*>(bytes);
    PipedProgram::Host& host = *program.host;
    {
        std::lock_guard<std::mutex> lock(host.mutex);
        if (!host.broken[index])
            program.queue[index].insert(program.queue[index].end(), first, first + count_bytes);
    }
    host.changed.notify_all();
}

bool drainPipe(PipedProgram& program, int index) {
    if (!program.host) return false;
    PipedProgram::Host& host = *program.host;
    std::unique_lock<std::mutex> lock(host.mutex);
    host.changed.wait(
        lock, [&] { return host.broken[index] || (program.queue[index].empty() && !host.busy[index]); });
    return !host.broken[index];
}

bool finishPipedProgram(PipedProgram& program) {
    if (!program.host) return false;
    PipedProgram::Host& host = *program.host;
    bool taken = true;
    for (int i = 0; i < kPipeCount; ++i) {
        taken = drainPipe(program, i) && taken;
        host.stopWriter(i);
        program.pipe_fds[i] = -1;
    }
    WaitForSingleObject(host.process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(host.process, &code);
    program.exitStatus = static_cast<int>(code);
    program.pid = -1;
    return taken;
}

void killPipedProgram(PipedProgram& program) {
    if (!program.host) return;
    PipedProgram::Host& host = *program.host;
    TerminateProcess(host.process, 137);
    WaitForSingleObject(host.process, INFINITE);
    for (int i = 0; i < kPipeCount; ++i) {
        host.stopWriter(i);  // its write fails now that nothing reads
        program.pipe_fds[i] = -1;
    }
    program.exitStatus = 137;
    program.pid = -1;
}

std::string lastLogLine(const PipedProgram& program) {
    if (!program.host || !program.host->log) return "";
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(program.host->log, &size) || size.QuadPart <= 0) return "";
    const LONGLONG from =
        size.QuadPart > static_cast<LONGLONG>(kLogTail_bytes) ? size.QuadPart - kLogTail_bytes : 0;
    std::string tail(static_cast<size_t>(size.QuadPart - from), '\0');
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(from);
    at.OffsetHigh = static_cast<DWORD>(from >> 32);
    DWORD got = 0;
    if (!ReadFile(program.host->log, tail.data(), static_cast<DWORD>(tail.size()), &got, &at)) got = 0;
    tail.resize(got);
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' '))
        tail.pop_back();
    const size_t start = tail.find_last_of("\r\n");
    return start == std::string::npos ? tail : tail.substr(start + 1);
}

std::string installHint(const std::string& name) {
    return "put " + name + ".exe beside the program or on the PATH";
}
