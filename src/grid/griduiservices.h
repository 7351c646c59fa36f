#pragma once

// The grid's way to the program's pop-up boxes and busy cursor. Every use in
// the grid goes through here, so moving to the UI services changes this one
// file.

#include "net/wireservices.h"

inline int GridPopupMessage(const QString& text, int type) {
    return WireServices().PopupMessage(text, type);
}

// Holds the busy cursor for a scope.
using CGridBusyCursor = CWireBusy;
