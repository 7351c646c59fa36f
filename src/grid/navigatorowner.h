#pragma once

// The panel that owns a grid navigator (an element or job chooser): the
// navigator re-runs it when the page or the sort order changes, and the
// panel then loads its grid again with the navigator's chunk query.

class CNavigatorOwner {
public:
    virtual ~CNavigatorOwner() = default;
    // The panel's shown operation: rebuilds its request and reloads the grid.
    virtual void OnPanelShown() = 0;
};
