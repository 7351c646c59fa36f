#pragma once

// The application's side of the server menus: which pane owns a menu, the
// World View's selected item, the main grid and its properties pane, the
// command route, the chosen item's invocation, the action runner, the server file chooser, the
// rediscover dialog, the status bar and the date and time parameters.

#include "tree/contextmenuhost.h"

class CTheApp;

class CAppContextMenuHost : public CContextMenuHost {
public:
    explicit CAppContextMenuHost(CTheApp& app) : m_app(app) {}

    const CMyItem* SelectedWorldViewItem() const override;
    void RouteCommand(int commandId) override;
    int InvokeItem(const CContextMenuItem& item, int commandCode, qintptr extra,
                   CMenuGridRows* grid, QWidget* owner) override;
    char16_t ContextOf(const QWidget* owner) const override;
    CMenuGridRows* MainGrid() const override;
    bool IsPropertiesPaneShown() const override;
    void CloseProperties() override;
    int RunActions(const KPROPS& actions, char16_t context) override;
    bool SelectFile(const QString& keyPrefix, const QString& folder, QString& chosen) override;
    void RunReDiscoverDialog(const QString& requestsUrl, const QString& actionUrl) override;
    void SetStatusText(const QString& text) override;
    void AddDateTimeParams(QString& text) override;

private:
    CTheApp& m_app;
};
