#pragma once

// The tab strip of the right-hand side (template 5470): one tab per entry of
// the selected World View item's part list. Choosing a tab shows its curl
// locator and remembers the tab, per item, in the preferences.

#include "frame/myviewdlg.h"

#include <QString>

#include <functional>

class CMyItem;
class CMyTree;
class CPreferences;
class QTabBar;

// What the tab strip needs of the frame around it.
struct CTabsHost {
    CMyTree& tree;
    CPreferences& prefs;
    // Shows a locator in the right-hand side; its result.
    std::function<int(const QString& locator)> showCurl;
    // A user's choice stops a running script and lifts the cancel flag an
    // earlier error box raised.
    std::function<void()> userChoosesTab;
};

class CTabs : public CMyViewDlg {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 5470;
    static constexpr int kTabControlId = 5283;

    CTabs(CTabsHost host, QWidget* parent);

    // 1-based; 0 is the tab selected in the strip. 0 when the strip's item
    // is no longer the selected one (or is gone), or has no tabs.
    int SelectTab(int n);
    // The first tab with exactly this label, else the tab of that number; 0
    // without a change when neither exists.
    int SelectTabByLabel(const QString& text);
    // Selects the remembered tab.
    void OnPanelShown() override;

    QTabBar* TabBar() const { return m_tabBar; }
    const QString& PrefKey() const { return m_prefKey; }
    int TabCount() const;

    // The key under which an item's tab is remembered; empty for none.
    static QString PrefKeyOf(const CMyItem& record);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The record of the strip's item while it is still the selected one.
    CMyItem* liveRecord() const;

    CTabsHost m_host;
    QTabBar* m_tabBar = nullptr;
    quint32 m_itemId = 0;  // 0 without an item
    QString m_prefKey;
    bool m_selecting = false;
};
