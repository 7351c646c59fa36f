#pragma once

// Turns a server grid cell's raw text into what the grid shows (alignment,
// colours, icon, readable numbers, sizes, durations, dates and addresses)
// and attaches the value record (CellValue) that CompareCells sorts by, so
// that a column showing 2 GB and 512 MB sorts by size and not by its text.
// A column's tokens choose the treatment.

#include "gridctrl/gridcolour.h"
#include "grid/gridcolumn.h"
#include "gridctrl/griditeminfo.h"

#include <QString>

class CGridCellBase;
class CMyGrid;
class CPreferences;

// The flags of the row being received, from its "property" attribute.
enum GridRowFlag : unsigned {
    kRowDisabled = 0x1,
    kRowHighlighted = 0x10,
    kRowWarning = 0x100,
    kRowError = 0x1000,
    kRowInactive = 0x10000,  // coloured as disabled
};
// The flags of a row's "property" text, by its first character.
unsigned GridRowFlagsOf(QStringView property);

// The colours and the time pattern of the formatter, read from the
// preferences once per load rather than once per cell.
struct CellFormatStyle {
    GridColour headBack{0xC0C0C0};
    GridColour headFore{0x000000};
    GridColour cellBack{0xFFFFFF};
    GridColour cellFore{0x000000};
    GridColour disabledBack{0xFFFFFF};
    GridColour disabledFore{0x796855};
    GridColour highlightedBack{0x796855};
    GridColour highlightedFore{0xFFFFFF};
    GridColour warningBack{0x56ABFB};
    GridColour warningFore{0x000000};
    GridColour errorBack{0x5F65EC};
    GridColour errorFore{0xFFFFFF};
    QString timeFormat;
    // The image-list indices of the "folder" and "config" tree icons.
    int folderImage = -1;
    int fileImage = -1;

    // From the preferences; null gives the defaults above.
    static CellFormatStyle Read(const CPreferences* prefs);
};

// The address sort key: "%02x%02x%02x%02x%04x" of the four parts (each
// 0..255) and the port, upper-cased; "000000000000" when nothing parses.
QString MakeAddressSortKey(QStringView text);
// "[ET]": days-hours:minutes:seconds into total seconds and display text.
qint64 ParseElapsedTime(QStringView text, QString& display);

// Formats `text` (edited in place) into `item` for the column. The style and
// row flags come from the grid; without a grid the style is read from the
// preferences, the row flags are 0 and empty cells are not filled. Result 1,
// or 0 when no value record could be allocated (`item` untouched).
int FormatCell(const GridColumn& column, GridItemInfo& item, QString& text, CMyGrid* grid);
int FormatCell(const GridColumn& column, GridItemInfo& item, QString& text,
               const CellFormatStyle& style, unsigned rowFlags, CMyGrid* grid);

// A cell's sort key, taken from it once for a sort of many rows: the value
// record's kind and value, and the text it compares (the cell's own, shared,
// for a cell without a record, which compares it ignoring case; upper-cased
// for a sort text).
struct CellSortKey {
    bool hasValue = false;
    std::uint32_t kind = 0;
    qint64 integer = 0;
    double real = 0.0;
    QString text;
};
CellSortKey MakeCellSortKey(const CGridCellBase* cell);
// Compares as CompareCells compares the two cells.
int CompareCellSortKeys(const CellSortKey& first, const CellSortKey& second);

// The grid's row comparison: A's value kind decides how the two compare.
int CompareCells(const CGridCellBase* first, const CGridCellBase* second, qintptr);
// The same for two value records and display texts (null: no record).
int CompareCellValues(const CellValue* first, const QString& firstText, const CellValue* second,
                      const QString& secondText);
