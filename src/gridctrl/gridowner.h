#pragma once

// The window a grid reports to. The grid hands every notification record to
// OnGridNotify and uses the reply (a negative reply to GVN_BEGINLABELEDIT
// vetoes editing, to GVN_ENDLABELEDIT restores the old text; a
// GVN_GETDISPINFO owner answers by filling the record's item). The command a
// click posts after the button's release arrives through OnGridCommand. By
// default a grid reports to its parent widget when that implements this.

#include "gridctrl/griditeminfo.h"

class CGridOwner {
public:
    virtual ~CGridOwner() = default;

    // `header` starts a GridNotifyInfo, GridDisplayInfo or GridCacheHint, by
    // its code.
    virtual qintptr OnGridNotify(GridNotifyHeader* header) = 0;
    // The grid's control id, as a command without a notification code.
    virtual void OnGridCommand(CGridCtrl* grid, int controlId) {
        (void)grid;
        (void)controlId;
    }
};
