// What the tracker library reads from a module held in memory: title, order
// count, the rows of each order and when each order starts. Used by tests and
// tools to check modules, and by the capture to foresee its length.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ModuleInfo {
    bool loaded = false;  // false: the bytes are not a module the library plays
    std::string error;    // why it failed to load
    std::string title;
    int channels = 0;
    int orders = 0;  // order list entries the library plays
    int patterns = 0;
    std::vector<int> rowsPerOrder;  // rows of the pattern each order names (0 for markers)
    int initialSpeed = 0;           // ticks per row at the start
    int initialTempo = 0;
    double duration_seconds = 0;  // one pass through the song
    // Seconds from the start of the song to row 0 of each order (about the
    // time of its first visit; -1 for an order the song never reaches).
    std::vector<double> orderStart_seconds;
};

// Loads the bytes (not kept) and reports what the library found. Any thread.
ModuleInfo probeModule(const void* bytes, size_t size_bytes);
