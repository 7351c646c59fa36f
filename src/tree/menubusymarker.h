#pragma once

// Marks, for the whole process, that a context-menu command is running, so
// that a right-click on the grid while the command pumps messages opens no
// second menu. The first command finds no marker: it makes one that is
// already taken and leaves it free when it ends. A command that starts
// while another runs (an action list that picks a menu item) finds the
// marker taken, so it takes nothing and gives nothing back.

#include <QString>

class CMenuBusyMarker {
public:
    // Takes the marker for this scope when it is free, or makes it taken.
    CMenuBusyMarker();
    // Gives back only what the constructor took.
    ~CMenuBusyMarker();
    CMenuBusyMarker(const CMenuBusyMarker&) = delete;
    CMenuBusyMarker& operator=(const CMenuBusyMarker&) = delete;

    // Whether no command runs now: the marker does not exist or is free.
    static bool IsFree();
    // "SEMAPHORE 3 PROC #<process id in hexadecimal>", for the log.
    static QString Name();

private:
    bool m_taken = false;
};
