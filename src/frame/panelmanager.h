#pragma once

// The frame's splitters: no layout while the action worker is being aborted,
// and on the right-hand splitter the tabs row keeps its height.

#include "frame/extsplitter.h"

class CPanelManager : public CExtSplitter {
    Q_OBJECT
public:
    using CExtSplitter::CExtSplitter;

    // Marks the splitter whose row 0 holds the tab strip.
    void SetTabsRowFixed(bool fixed) { m_tabsRowFixed = fixed; }

    void RecalcLayout() override;

protected:
    bool TrackRowSize(int visibleIndex) override;

private:
    bool m_tabsRowFixed = false;
};
