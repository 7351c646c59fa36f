#pragma once

// The part list of a World View item: what its right-hand side shows, one
// entry per tab. Entry name = curl locator, value = tab label.

#include "framework/kprops.h"

class CPanelParts : public KPROPS {
public:
    CPanelParts() : KPROPS(100, 10) {}

    // Each returns the number of entries afterwards. An empty label is
    // stored as one blank, so the tab still has a label to show.
    int AddPart(const QString& curl, const QString& label = {});
    // "grid:" or "browser:" and the url; an empty url adds nothing.
    int AddGridPart(const QString& url, const QString& label = {});
    int AddBrowserPart(const QString& url, const QString& label = {});
};
