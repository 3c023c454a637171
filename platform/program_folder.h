// The folder that holds the running program, for finding the data installed
// beside it (../share/zedariva from bin/). "" when the host cannot tell (a
// web page).
#pragma once

#include <string>

std::string programFolder();
