#pragma once

// The toolbar resources: the command of each button in order, 0 for a
// separator.

#include <span>

enum ToolbarResourceId : unsigned {
    IDR_TOOLBAR_STANDARD = 99,
    IDR_TOOLBAR_SEARCH = 5472,
};

// The buttons of toolbar `id`; empty for an unknown id.
std::span<const unsigned> ToolbarButtons(unsigned id);
