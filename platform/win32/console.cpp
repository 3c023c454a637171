// Standard output of a desktop program: kept where it already goes (a file or
// a pipe it was redirected to); else, when the program was started from a
// console, that console; else nowhere, as a program started by a double-click
// has no console to show it in. Messages appear as they are printed.
#include "platform/console.h"

#include <windows.h>

#include <cstdio>

namespace {

bool goesSomewhere(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void prepareStandardOutput() {
    if (!goesSomewhere(STD_OUTPUT_HANDLE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        if (!goesSomewhere(STD_ERROR_HANDLE)) std::freopen("CONOUT$", "w", stderr);
    }
    // The Windows C runtime has no line buffering: unbuffered, each message
    // appears as it is printed.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
}
