#pragma once

#include <functional>

// The state a command shows on its menu items and buttons: the frame's
// command contract fills it, the bars apply it.
struct CCmdUI {
    bool enabled = true;
    bool checked = false;
    // A checked item shows a radio mark rather than a check mark.
    bool radio = false;
};

// The work a command does in the current state, empty when nothing there
// takes the command. Looking a handler up runs nothing, so the frame can
// tell whether a command would be carried out before it offers it.
using CommandHandler = std::function<void()>;

// Runs the handler when there is one; whether there was.
inline bool RunCommandHandler(const CommandHandler& handler) {
    if (!handler) {
        return false;
    }
    handler();
    return true;
}
