// What the tracker library reads from a module held in memory: title, order
// count and the rows of each order. Used by tests and tools to check modules.
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
};

// Loads the bytes (not kept) and reports what the library found. Any thread.
ModuleInfo probeModule(const void* bytes, size_t size_bytes);
