#pragma once

#include "framework/kprops.h"
#include "tree/contextmenuhost.h"
#include "tree/contextmenuitem.h"

#include <QStringList>

#include <functional>
#include <vector>

// The panes around the server menus while a test runs: the selected World
// View item, the grid's view and the tree pane, the main grid and its
// properties pane are what the test sets; commands, invoked items, action
// lists, file choosers, rediscovers and status texts are recorded. Chosen
// items are recorded without running unless runInvokedItems is set.
// Installs itself for its lifetime, over the host that was installed.
class RecordingContextMenuHost : public CContextMenuHost {
public:
    RecordingContextMenuHost() : m_replaced(SetContextMenuHost(this)) {}
    ~RecordingContextMenuHost() override { SetContextMenuHost(m_replaced); }
    RecordingContextMenuHost(const RecordingContextMenuHost&) = delete;
    RecordingContextMenuHost& operator=(const RecordingContextMenuHost&) = delete;

    const CMyItem* SelectedWorldViewItem() const override { return selected; }
    void RouteCommand(int commandId) override { routed.push_back(commandId); }
    int InvokeItem(const CContextMenuItem& item, int commandCode, qintptr extra,
                   CMenuGridRows* itemGrid, QWidget* owner) override {
        invoked.push_back(item.GetCommandId());
        codes.push_back(commandCode);
        owners.push_back(owner);
        if (onInvoke) {
            onInvoke();
        }
        return runInvokedItems
                   ? item.Invoke(item.GetCommandId(), commandCode, extra, itemGrid, owner)
                   : 1;
    }
    char16_t ContextOf(const QWidget* owner) const override {
        if (owner != nullptr && owner == gridView) {
            return u'G';
        }
        return owner != nullptr && owner == treePane ? u'T' : 0;
    }
    CMenuGridRows* MainGrid() const override { return grid; }
    bool IsPropertiesPaneShown() const override { return propertiesShown; }
    void CloseProperties() override { propertiesShown = false; }
    int RunActions(const KPROPS& actions, char16_t context) override {
        ran.Clear();
        ran.Merge(&actions);
        contexts.push_back(context);
        return 1;
    }
    bool SelectFile(const QString& keyPrefix, const QString& folder, QString& chosen) override {
        fileChooser << keyPrefix + u' ' + folder;
        chosen = chosenFile;
        return !chosenFile.isEmpty();
    }
    void RunReDiscoverDialog(const QString& requestsUrl, const QString& actionUrl) override {
        rediscovered << requestsUrl << actionUrl;
    }
    void SetStatusText(const QString& text) override { statusTexts << text; }
    // A fixed time zone parameter, so tests see where it was added.
    void AddDateTimeParams(QString& text) override { text += QStringLiteral("&TZ=0"); }

    // What the test sets.
    const CMyItem* selected = nullptr;
    const QWidget* gridView = nullptr;
    const QWidget* treePane = nullptr;
    CMenuGridRows* grid = nullptr;
    bool propertiesShown = false;
    bool runInvokedItems = false;
    // Runs as an item is invoked, before it would run.
    std::function<void()> onInvoke;
    // The file the chooser returns; empty: the chooser is cancelled.
    QString chosenFile;

    // What was asked.
    std::vector<int> routed;
    std::vector<int> invoked;
    std::vector<int> codes;
    std::vector<QWidget*> owners;
    // The last action list run, and the context of every run.
    KPROPS ran{100, 10};
    std::vector<char16_t> contexts;
    QStringList fileChooser;
    QStringList rediscovered;
    QStringList statusTexts;

private:
    CContextMenuHost* m_replaced;
};
