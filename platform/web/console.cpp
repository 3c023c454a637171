// A page's program prints to the page's console, a line at a time.
#include "platform/console.h"

#include <cstdio>

void prepareStandardOutput() { std::setvbuf(stdout, nullptr, _IOLBF, 0); }
