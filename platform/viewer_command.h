// What a viewer asks of the presentation through the keys (or a page's
// buttons): which key gives which command is the platform layer's business.
#pragma once

enum class ViewerCommand {
    None,
    TogglePause,    // Space
    NextOrder,      // Right arrow, Page Down
    PreviousOrder,  // Left arrow, Page Up
    FirstOrder,     // Home
};
