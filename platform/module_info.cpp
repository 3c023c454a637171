// Reads module facts through libopenmpt without playing anything.
#include "platform/module_info.h"

#include <libopenmpt/libopenmpt.hpp>

#include <exception>

ModuleInfo probeModule(const void* bytes, size_t size_bytes) {
    ModuleInfo info;
    try {
        openmpt::module mod(static_cast<const char*>(bytes), size_bytes);
        info.loaded = true;
        info.title = mod.get_metadata("title");
        info.channels = mod.get_num_channels();
        info.orders = mod.get_num_orders();
        info.patterns = mod.get_num_patterns();
        for (int order = 0; order < info.orders; ++order) {
            const int pattern = mod.get_order_pattern(order);
            info.rowsPerOrder.push_back(pattern < info.patterns ? mod.get_pattern_num_rows(pattern) : 0);
        }
        info.initialSpeed = mod.get_current_speed();
        info.initialTempo = mod.get_current_tempo();
        info.duration_seconds = mod.get_duration_seconds();
        for (int order = 0; order < info.orders; ++order) {
            const bool played = info.rowsPerOrder[static_cast<size_t>(order)] > 0;
            info.orderStart_seconds.push_back(played ? mod.set_position_order_row(order, 0) : -1.0);
        }
    } catch (const std::exception& e) {
        info = ModuleInfo();
        info.error = e.what();
    }
    return info;
}
