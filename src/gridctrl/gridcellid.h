#pragma once

// Cell addresses and rectangles of cells in a grid. Rows and columns are
// signed: (-1, -1) is "no cell", and a range of -1s is "no range".

struct CCellID {
    int row = -1;
    int col = -1;

    constexpr CCellID() = default;
    constexpr CCellID(int r, int c) : row(r), col(c) {}

    // Non-negative in both members; validity in a grid is the grid's question.
    constexpr bool IsValid() const { return row >= 0 && col >= 0; }
    friend constexpr bool operator==(const CCellID&, const CCellID&) = default;
};

struct CCellRange {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;

    constexpr CCellRange() = default;
    constexpr CCellRange(int minR, int minC, int maxR, int maxC)
        : minRow(minR), minCol(minC), maxRow(maxR), maxCol(maxC) {}

    constexpr bool IsValid() const {
        return minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0 && maxRow >= minRow &&
               maxCol >= minCol;
    }
    constexpr bool InRange(int row, int col) const {
        return minRow <= row && row <= maxRow && minCol <= col && col <= maxCol;
    }
    constexpr bool InRange(const CCellID& cell) const { return InRange(cell.row, cell.col); }
    constexpr CCellID GetTopLeft() const { return {minRow, minCol}; }
    friend constexpr bool operator==(const CCellRange&, const CCellRange&) = default;
};
