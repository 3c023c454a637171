// A page's program has no folder of its own: its data lie in the working folder.
#include "platform/program_folder.h"

std::string programFolder() { return ""; }
