// The few file calls whose form differs between POSIX and Windows, for the
// pack reader and the capture: positioned reads, writes through descriptors,
// replacing a file by another, whether standard output is a terminal. All
// files are binary. Inline, so that any library may use them without
// linking the platform layer.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

// Reads exactly `count` bytes at `offset` of an open file without moving its
// position; false when the file ends first or a read fails.
inline bool readFileAt(std::FILE* file, uint64_t offset, uint8_t* into, size_t count) {
#ifdef _WIN32
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    while (count > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD wanted = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
        DWORD got = 0;
        if (!ReadFile(handle, into, wanted, &got, &at) || got == 0) return false;
        into += got;
        offset += got;
        count -= got;
    }
    return true;
#else
    const int descriptor = fileno(file);
    while (count > 0) {
        const ssize_t got = pread(descriptor, into, count, static_cast<off_t>(offset));
        if (got <= 0) return false;
        into += got;
        offset += static_cast<uint64_t>(got);
        count -= static_cast<size_t>(got);
    }
    return true;
#endif
}

// Whether an open file is a regular file (not a folder or a device).
inline bool isRegularFile(std::FILE* file) {
#ifdef _WIN32
    struct _stat64 status;
    return _fstat64(_fileno(file), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat status;
    return fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode);
#endif
}

// Creates or empties `path` for writing; a descriptor, or -1 with errno set.
// It is not inherited by the programs we start.
inline int createFileForWriting(const char* path) {
#ifdef _WIN32
    return _open(path, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
#else
    return open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
#endif
}

// Writes all of `count` bytes at the descriptor's position; false with errno
// set on failure.
inline bool writeAllTo(int descriptor, const void* bytes, size_t count) {
    const uint8_t* at = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
#ifdef _WIN32
        const unsigned piece = count > 0x40000000u ? 0x40000000u : static_cast<unsigned>(count);
        const int written = _write(descriptor, at, piece);
#else
        const ssize_t written = write(descriptor, at, count);
#endif
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        at += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

inline bool seekToStart(int descriptor) {
#ifdef _WIN32
    return _lseeki64(descriptor, 0, SEEK_SET) == 0;
#else
    return lseek(descriptor, 0, SEEK_SET) == 0;
#endif
}

inline int closeFile(int descriptor) {
#ifdef _WIN32
    return _close(descriptor);
#else
    return close(descriptor);
#endif
}

// Gives `from` the name `to`, replacing a file of that name; false with errno set.
inline bool replaceFile(const char* from, const char* to) {
#ifdef _WIN32
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return true;
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
#else
    return std::rename(from, to) == 0;
#endif
}

inline void removeFile(const char* path) { std::remove(path); }

inline bool standardOutputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}
