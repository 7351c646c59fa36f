#pragma once

// What the element and job choosers need of the program beyond the view
// that holds them: the World View (the selected item and its server), the
// preferences their state is kept in, the main frame's properties pane
// (closed before a load) and the options dialog (its link and button).
// The application implements it; tests pass their own.

class CMyTree;
class CPreferences;

class CChooserSite {
public:
    // The options dialog's Advanced page, where the automatic Go and the
    // chunk size are set.
    static constexpr int kAdvancedOptionsPage = 2;

    virtual ~CChooserSite() = default;
    virtual CMyTree& Tree() = 0;
    virtual CPreferences& Prefs() = 0;
    virtual void CloseProperties() = 0;
    virtual void ShowOptionsDialog(int page) = 0;
};
