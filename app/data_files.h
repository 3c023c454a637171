// Where the presentation's two data files are read from: each one from the
// working folder when it holds it (as always), else from the data folder
// installed with the program (../share/zedariva beside its bin/), so that an
// installed zedariva runs from any folder.
#pragma once

#include <string>

constexpr const char* kPackFileName = "data.fil";
constexpr const char* kMusicFileName = "tazutune.it";

// The installed data folder, "" when the host cannot tell where the program lies.
std::string installedDataFolder();

// `name` when the working folder holds it; else the installed copy when
// there is one; else `name` (whose absence is then reported as usual).
std::string dataFilePath(const char* name);
