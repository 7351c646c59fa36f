#pragma once

// The state a command shows on its menu items and buttons: the frame's
// command contract fills it, the bars apply it.
struct CCmdUI {
    bool enabled = true;
    bool checked = false;
    // A checked item shows a radio mark rather than a check mark.
    bool radio = false;
};
