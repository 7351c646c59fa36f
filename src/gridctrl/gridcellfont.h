#pragma once

// A cell font: the face with its escapement in tenths of a degree, the one
// part of the system's font record that Qt's font does not carry. 900 and
// -900 draw the text turned a quarter left or right.

#include <QFont>

struct CGridCellFont {
    QFont font;
    int escapement = 0;

    bool IsVertical() const { return escapement == 900 || escapement == -900; }
    friend bool operator==(const CGridCellFont&, const CGridCellFont&) = default;
};
