#pragma once

// The main frame's accelerator table (99): the keys of the menu commands and
// the keyboard-only commands. The frame, the right-hand view and the panels
// all translate keys against it, so the shortcuts work wherever the focus is.

#include <QKeyCombination>

#include <span>

struct AcceleratorResource {
    QKeyCombination key;
    unsigned commandId;
};

// The table `id`; empty for an unknown id.
std::span<const AcceleratorResource> AcceleratorTable(unsigned id);
