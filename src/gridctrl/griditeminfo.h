#pragma once

// The records the grid exchanges with its owner and its callers, the
// notification codes, the cell state bits, the item mask bits and the text
// format bits (the system's DrawText flags, kept as stored values and mapped
// to Qt only when painting).

#include "gridctrl/gridcellfont.h"
#include "gridctrl/gridcellid.h"
#include "gridctrl/gridcolour.h"

#include <QString>

class CGridCtrl;

// Notification codes.
enum GridNotifyCode : int {
    NM_CLICK = -2,
    NM_DBLCLK = -3,
    NM_RETURN = -4,
    NM_RCLICK = -5,
    NM_RDBLCLK = -6,
    NM_SETFOCUS = -7,
    NM_KILLFOCUS = -8,
    GVN_SELCHANGING = -100,
    GVN_SELCHANGED = -101,
    GVN_DELETEITEM = -103,
    GVN_COLUMNCLICK = -108,
    GVN_BEGINDRAG = -109,
    GVN_BEGINRDRAG = -111,
    GVN_ODCACHEHINT = -113,
    GVN_COLUMNSORTED = -123,
    GVN_COLUMNRESIZED = -124,
    GVN_ENDDRAG = -125,
    GVN_BEGINLABELEDIT = -175,
    GVN_ENDLABELEDIT = -176,
    GVN_GETDISPINFO = -177,
};

// Cell state bits.
enum GridCellState : unsigned {
    GVIS_FOCUSED = 0x01,
    GVIS_SELECTED = 0x02,
    GVIS_DROPHILITED = 0x04,
    GVIS_READONLY = 0x08,
    GVIS_FIXED = 0x10,
    GVIS_FIXEDROW = 0x20,
    GVIS_FIXEDCOL = 0x40,
    GVIS_MODIFIED = 0x80,
};
constexpr unsigned CELL_FOCUSED = GVIS_FOCUSED;
constexpr unsigned CELL_SELECTED = GVIS_SELECTED;
constexpr unsigned CELL_DROPHIGHLIGHTED = GVIS_DROPHILITED;
constexpr unsigned CELL_READONLY = GVIS_READONLY;
constexpr unsigned CELL_FIXED = GVIS_FIXED;
constexpr unsigned CELL_FIXEDROW = GVIS_FIXEDROW;
constexpr unsigned CELL_FIXEDCOL = GVIS_FIXEDCOL;
constexpr unsigned CELL_MODIFIED = GVIS_MODIFIED;

// Which fields of a GridItemInfo SetItem applies and GetItem fills.
enum GridItemMask : unsigned {
    GVIF_TEXT = 0x1,
    GVIF_IMAGE = 0x2,
    GVIF_PARAM = 0x4,
    GVIF_STATE = 0x8,
    GVIF_BKCLR = 0x10,
    GVIF_FGCLR = 0x20,
    GVIF_FORMAT = 0x40,
    GVIF_FONT = 0x80,
    GVIF_MARGIN = 0x100,
    GVIF_ALL = 0xFFFFFFFFu,
};

// GetNextItem's state and direction flags.
enum GridNextItemFlags : unsigned {
    GVNI_FOCUSED = 0x01,
    GVNI_SELECTED = 0x02,
    GVNI_DROPHILITED = 0x04,
    GVNI_READONLY = 0x08,
    GVNI_FIXED = 0x10,
    GVNI_MODIFIED = 0x20,
    GVNI_ABOVE = 0x100,
    GVNI_BELOW = 0x200,
    GVNI_TOLEFT = 0x400,
    GVNI_TORIGHT = 0x800,
    GVNI_ALL = GVNI_BELOW | GVNI_TOLEFT | GVNI_TORIGHT,
};

// The text format bits a cell stores.
enum GridTextFormat : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOPREFIX = 0x800,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_WORD_ELLIPSIS = 0x40000,
};
constexpr unsigned kDefaultCellFormat = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
// The marker of format and margin meaning "the default cell's".
constexpr unsigned kUseDefault = 0xFFFFFFFFu;

// The header of every record: the grid, its control id and the code.
struct GridNotifyHeader {
    CGridCtrl* hwndFrom = nullptr;
    int idFrom = 0;
    int code = 0;
};

struct GridNotifyInfo {
    GridNotifyHeader hdr;
    int iRow = -1;
    int iColumn = -1;
};

struct GridItemInfo {
    int row = -1;
    int col = -1;
    unsigned mask = 0;
    unsigned state = 0;
    unsigned nFormat = 0;
    int iImage = -1;
    GridColour crBkClr;
    GridColour crFgClr;
    qintptr lParam = 0;
    CGridCellFont lfFont;
    unsigned nMargin = 0;
    QString strText;
};

struct GridDisplayInfo {
    GridNotifyHeader hdr;
    GridItemInfo item;
};

struct GridCacheHint {
    GridNotifyHeader hdr;
    CCellRange range;
};
