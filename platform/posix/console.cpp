// A POSIX program prints where it was started, a line at a time.
#include "platform/console.h"

#include <cstdio>

void prepareStandardOutput() { std::setvbuf(stdout, nullptr, _IOLBF, 0); }
