#pragma once

// Makes the panel a panel code names (257 login, 302 element chooser, 303
// node chooser, 5386 logout, 5621 job chooser, and whatever else the
// application registers). The application fills it at start-up with the
// panels it has. The code comes from the server: one that nothing registered
// is logged as a warning and makes nothing, so the render that asked for it
// fails.

#include <QString>

#include <functional>
#include <map>

class CMyViewDlg;
class QTreeWidgetItem;
class QWidget;

struct CPanelRequest {
    int code = 0;
    QString locator;                     // the curl locator text, URL made absolute
    QWidget* parent = nullptr;           // the right-hand view
    QTreeWidgetItem* context = nullptr;  // the World View item being shown
};

class CPanelFactory {
public:
    // Returns the new panel, created hidden as a child of request.parent, or
    // null when it could not be made.
    using Maker = std::function<CMyViewDlg*(const CPanelRequest& request)>;

    // A later registration of the same code replaces the earlier one.
    void Register(int code, Maker maker);
    bool Knows(int code) const { return m_makers.count(code) != 0; }
    // Null, with a warning in the log, for a code the server named that has
    // no maker.
    CMyViewDlg* Create(const CPanelRequest& request) const;

private:
    std::map<int, Maker> m_makers;
};
