#pragma once

// One column of a server grid as its XML defined it (an entry of the data
// grid's column table, indexed by XML column number), and the value record
// each formatted cell carries for sorting.
//
// A column's property text holds bracketed tokens ("[BYTES]", "[R]"...); a
// token is present when the text contains it anywhere, case counting. The
// tokens are looked up once, whenever the text changes, into flags, so that
// formatting a cell never searches the text.

#include <QString>

#include <cstdint>

// The tokens the grid and its cell formatter act on.
enum GridColumnToken : std::uint32_t {
    kTokenHidden = 1u << 0,       // "[H]"
    kTokenLocked = 1u << 1,       // "[LOCKED]"
    kTokenKey = 1u << 2,          // "[PKEY]"
    kTokenText = 1u << 3,         // "[S]"
    kTokenIcon = 1u << 4,         // "[ICON]"
    kTokenNoSort = 1u << 5,       // "[NS]"
    kTokenTranslate = 1u << 6,    // "[TX]"
    kTokenMode = 1u << 7,         // "[MODE]"
    kTokenBytes = 1u << 8,        // "[BYTES]"
    kTokenKBytes = 1u << 9,       // "[KBYTES]"
    kTokenSecs = 1u << 10,        // "[SECS]"
    kTokenMins = 1u << 11,        // "[MINS]"
    kTokenPollRate = 1u << 12,    // "[POLLRATE]"
    kTokenDevSpeed = 1u << 13,    // "[DEVSP]"
    kTokenDouble = 1u << 14,      // "[D]"
    kTokenDataHours = 1u << 15,   // "[DATAHOURS]"
    kTokenNumber = 1u << 16,      // "[N]"
    kTokenAddress = 1u << 17,     // "[IP]"
    kTokenUtc = 1u << 18,         // "[U]"
    kTokenDate = 1u << 19,        // "[DATE]"
    kTokenDaySeconds = 1u << 20,  // "[DS]"
    kTokenCase = 1u << 21,        // "[CASE]"
    kTokenElapsed = 1u << 22,     // "[ET]"
    kTokenRight = 1u << 23,       // "[R]"
    kTokenLeft = 1u << 24,        // "[L]"
    kTokenCentre = 1u << 25,      // "[C]"
    kTokenTime = 1u << 26,        // "[TIME]"
    kTokenJobTime = 1u << 27,     // "[JOBTIME]"
};

// The tokens that give a cell a value record, and those read as integers.
constexpr std::uint32_t kIntegerTokens = kTokenMode | kTokenBytes | kTokenKBytes | kTokenSecs |
                                         kTokenNumber | kTokenUtc | kTokenDate | kTokenDaySeconds;
constexpr std::uint32_t kValueTokens =
    kIntegerTokens | kTokenMins | kTokenPollRate | kTokenDevSpeed | kTokenDouble | kTokenDataHours |
    kTokenAddress | kTokenCase | kTokenIcon | kTokenElapsed | kTokenTime | kTokenJobTime;

// The flags of the tokens a property text holds.
std::uint32_t GridColumnTokens(QStringView properties);
// The flag of one token text ("[PKEY]"), 0 for a token the grid does not know.
std::uint32_t GridColumnTokenFlag(QStringView token);

struct GridColumn {
    QString colhead;
    QString colname;  // lower-cased
    QString colprops;
    QString hovertext;
    QString helpUrl;
    QString propsCopy;  // the last "colprops" element's text, at most 50 characters
    int width = -1;
    // Neither the user nor the server gave a width: the grid sizes the
    // column to its texts.
    bool fitsText = false;
    std::uint32_t tokens = 0;

    bool Has(std::uint32_t token) const { return (tokens & token) != 0; }
    // Whether the property text contains the token text, for tokens that
    // callers name by text.
    bool HasToken(QStringView token) const;
    void AppendProps(const QString& text);
    void Clear() { *this = GridColumn(); }
};

// The value record of a formatted cell, stored as the cell's item data and
// owned by the grid.
struct CellValue {
    // What CompareCells compares.
    enum Kind : std::uint32_t {
        kNoValue = 0,  // display texts, ignoring case
        kCaseText = 'C',
        kInteger = 'I',
        kReal = 'D',
        kSortText = 'S',
    };
    std::uint32_t kind = kCaseText;
    QString sortText;
    qint64 integer = 0;
    double real = 0.0;
    const GridColumn* column = nullptr;
};
