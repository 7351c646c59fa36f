#pragma once

// Why an in-place edit starts, kept apart from the character typed: a
// space or "(" typed to start editing is text, while the navigation key
// that ended the previous edit and opens the next one is not.

#include <QChar>

enum class GridEditReason {
    // A click, a double click, F2 or Enter: the caret goes to the end and
    // arrow keys move it.
    Mouse,
    // The key that ended the previous edit: the whole text is selected.
    NavigationKey,
    // A typed character, which goes into the editor.
    Character,
};

struct GridEditStart {
    GridEditReason reason = GridEditReason::Mouse;
    QChar character;

    static GridEditStart ByMouse() { return {}; }
    static GridEditStart ByNavigationKey() { return {GridEditReason::NavigationKey, QChar()}; }
    static GridEditStart ByCharacter(QChar typed) { return {GridEditReason::Character, typed}; }
};

// The key that ended an edit, as the owner reads it: 0 for a focus loss,
// else the system's key code.
enum GridEditEndKey : int {
    kEditEndFocusLost = 0,
    kEditEndTab = 9,
    kEditEndReturn = 13,
    kEditEndEscape = 27,
    kEditEndPageUp = 33,
    kEditEndPageDown = 34,
    kEditEndEnd = 35,
    kEditEndHome = 36,
    kEditEndLeft = 37,
    kEditEndUp = 38,
    kEditEndRight = 39,
    kEditEndDown = 40,
};
