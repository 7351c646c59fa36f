// The main frame's rendering: what the selected World View item names and
// each curl locator shown in the right-hand rows.

#include "frame/browserview.h"
#include "frame/curllocator.h"
#include "frame/dialogview.h"
#include "frame/editor.h"
#include "frame/folderlist.h"
#include "frame/framesite.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "frame/statusbar.h"
#include "framework/klog.h"
#include "grid/mygrid.h"
#include "net/wireservices.h"
#include "server/mysystem.h"
#include "settings/datetimeformat.h"
#include "settings/preferences.h"
#include "settings/urltext.h"
#include "tree/myitem.h"
#include "tree/mytree.h"
#include "ui/busycursor.h"
#include "ui/popupmessages.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <QTreeWidgetItem>

#include <bit>

namespace {

constexpr int kTabsRowHeight = 24;

// Whether the item asks for the user's date and time formats with its URLs.
bool wantsDateTimeParams(const CMyItem& record) {
    if (record.ItemType == kKindSystem) {
        const CServerConnection* connection = ConnectionOf(&record);
        return connection != nullptr && connection->ClientDateTimeInfo;
    }
    return !record.Attributes.GetValue(QStringLiteral("client-datetime-info")).isEmpty();
}

}  // namespace

QString CMainFrame::GetFullURL(const QString& url, QTreeWidgetItem* item, bool recordInTrail) {
    if (url.isEmpty()) {
        return url;
    }
    if (IsURL(url)) {
        kDebugLog(u"FullURL: %s\n", url);
        return url;
    }
    CMyTree& tree = m_site.Tree();
    const CServerConnection* system =
        tree.GetSystem(item != nullptr ? item : tree.GetSelectedItem());
    // Without a server there is no base to put in front: the URL stays as
    // it is rather than gaining a made-up one.
    const QString full = system != nullptr ? system->GetBaseURL(false) + url : url;
    if (recordInTrail) {
        WireServices().RecordUrlTrail(full);
    }
    kDebugLog(u"FullURL: %s\n", full);
    return full;
}

void CMainFrame::BlankBrowserPane() {
    if (CBrowserView* browser = GetBrowserView()) {
        browser->Navigate2(QStringLiteral("about:blank"));
    }
    m_site.PumpMessages(false);
    m_propertiesUrl = QStringLiteral("about:blank");
}

void CMainFrame::clearPanes() {
    BlankBrowserPane();
    if (CMyView* view = GetMyView()) {
        view->GetFolderList()->DeleteAllItems();
    }
    if (CEditor* editor = GetEditor()) {
        editor->setPlainText(QString());
    }
}

int CMainFrame::RebuildRHS() {
    KillRefreshTimer();
    return ConstructRHS();
}

int CMainFrame::ConstructRHS() {
    if (WireServices().IsAbortedThread()) {
        return 0;
    }
    CMyTree& tree = m_site.Tree();
    if (tree.IsBuilding()) {
        kDebugLog(u"CMainFrame::ConstructRHS(): ignored Render() while still building tree...\n");
        return 1;
    }
    m_site.ClearCancelFlag();
    const CBusyCursor busy;

    // What the grid still loads belongs to the item shown before.
    if (CMyGrid* grid = GetGrid()) {
        grid->StopLoad();
    }
    clearPanes();
    CPanelManager& rows = *m_rightSplitter;
    rows.ShowRow(kEditorRow);
    rows.HideRow(kTabsRow);
    rows.HideRow(kBrowserRow);
    rows.HideRow(kMyViewRow);
    rows.RecalcLayout();
    BlankBrowserPane();

    QTreeWidgetItem* selected = tree.GetSelectedItem();
    CMyItem* record = tree.GetMyItem(selected);
    if (record == nullptr) {
        return 1;
    }
    const QString fullCurl = tree.GetFullCurl(selected);
    m_site.AddHistory(fullCurl);
    CPreferences& prefs = m_site.Prefs();
    prefs.SetString(QStringLiteral("CurrentCurl"), fullCurl);
    const CServerConnection* system = tree.GetSystem(selected);
    if (system != nullptr) {
        prefs.SetString(QStringLiteral("CurrentServer"),
                        kFormat(u"%s:%d", system->Host, system->WebPort));
    }
    UiServices().SetStatusText(QString(), CStatusBar::kRowCounterPane);
    UiServices().SetStatusText(QString(), CStatusBar::kProgressPane);

    const int partCount = std::popcount(record->PanelParts);
    kDebugLog(u":: looks like we have %d part[s] in the RHS.\n", partCount);
    const quint64 mask = partCount == 0 ? quint64{kPanelList} : record->PanelParts;
    if ((mask & (kPanelGrid | kPanelList | kPanelDialog)) != 0) {
        m_site.SaveColumnPreferences();
        rows.ShowRow(kMyViewRow);
    }
    if ((mask & kPanelSecond) != 0) {
        rows.ShowRow(kEditorRow);
    }
    if ((mask & kPanelBrowser) != 0) {
        rows.ShowRow(kBrowserRow);
    }
    UpdateTitle({record->GetLabel(), system != nullptr ? system->User : QString(),
                 tree.GetSystemItemText(selected)});

    const QString url = GetFullURL(record->TreeURL, selected, true);
    if (!url.isEmpty() && tree.GetChildItem(selected) == nullptr) {
        const int filled = tree.AddItemsFromURL(url, selected, false);
        if (::LogoutIfUnauthorized(tree) != 0) {
            return 0;
        }
        if (filled == 0) {
            return 1;
        }
    }
    if (record->Parts.Count() > 1) {
        rows.ShowRow(kTabsRow);
    }
    if ((mask & kPanelSecond) == 0) {
        rows.HideRow(kEditorRow);
    }
    rows.RecalcLayout();
    if (WireServices().IsAbortedThread()) {
        return 0;
    }
    showContentOfItem(selected, url);
    if (record->RefreshSecs != 0 && (mask & kPanelBrowser) != 0) {
        SetRefreshTimer(record->RefreshSecs);
    }
    return 1;
}

void CMainFrame::showContentOfItem(QTreeWidgetItem* selected, const QString& url) {
    const CMyItem* record = m_site.Tree().GetMyItem(selected);
    if ((record->PanelParts & kPanelDialog) != 0 && record->PanelDialog != kDialogElementChooser) {
        renderViewParts(static_cast<unsigned>(record->PanelParts), record->PanelDialog, url,
                        selected);
    } else if (record->ItemType == kKindDirectory) {
        ShowCurl(QStringLiteral("grid:") + url, false);
    } else if (record->Parts.Count() == 0) {
        renderViewParts(CMyView::kShowList, 0, url, selected);
        if (CMyGrid* grid = GetGrid()) {
            grid->SetHoldHidden(true);
        }
    } else if (CDialogView* tabs = GetDialogView()) {
        tabs->Render(CTabs::kTemplateId);
    }
}

int CMainFrame::renderViewParts(unsigned flags, int panelCode, const QString& url,
                                QTreeWidgetItem* item) {
    CMyView* view = GetMyView();
    if (view == nullptr) {
        return 0;
    }
    const CMyItem* record = m_site.Tree().GetMyItem(item);
    view->SetRequest(flags, panelCode, record != nullptr ? record->ItemType : 0);
    return view->ShowParts(url, item);
}

int CMainFrame::ShowCurl(const QString& locator, bool noTabs) {
    CUiBridge& bridge = UiServices().Bridge();
    if (!bridge.onUiThread()) {
        qintptr result = 0;
        bridge.Call([&] { return qintptr{ShowCurl(locator, noTabs)}; }, &result);
        return static_cast<int>(result);
    }
    KillRefreshTimer();
    return Render(locator, noTabs);
}

int CMainFrame::Render(const QString& locator, bool noTabs) {
    if (WireServices().IsAbortedThread() || WireServices().CancelFlag() != 0) {
        return 0;
    }
    const CBusyCursor busy;
    const int result = renderLocator(locator, noTabs);
    if (!WireServices().IsAbortedThread()) {
        m_rightSplitter->HideRow(kEditorRow);
        m_rightSplitter->RecalcLayout();
    }
    m_site.PumpMessages(true);
    return result;
}

int CMainFrame::renderLocator(const QString& locator, bool noTabs) {
    CMyTree& tree = m_site.Tree();
    QTreeWidgetItem* selected = tree.GetSelectedItem();
    const CMyItem* record = tree.GetMyItem(selected);
    CCurlLocator parsed = CCurlLocator::Parse(locator);
    // Only a URL goes to the server with the user's date and time formats;
    // an action or a malformed text would be changed for nothing.
    if (record != nullptr && parsed.IsURL() && wantsDateTimeParams(*record)) {
        AddDateTimeParams(m_site.Prefs(), parsed.payload);
    }

    clearPanes();
    CPanelManager& rows = *m_rightSplitter;
    rows.ShowRow(kEditorRow);
    rows.HideRow(kMyViewRow);
    rows.HideRow(kBrowserRow);
    rows.SetRowInfo(kTabsRow, kTabsRowHeight, 0);
    if (record == nullptr || noTabs || record->Parts.Count() < 2) {
        rows.HideRow(kTabsRow);
    } else {
        rows.ShowRow(kTabsRow);
    }
    rows.RecalcLayout();

    const int kind = record != nullptr ? record->ItemType : 0;
    CMyView* view = GetMyView();
    if (parsed.HasNavigator() && view != nullptr) {
        view->SetRequest(CMyView::kShowPanelHidden, CMyView::kNavigatorCode, kind);
        view->ShowParts(GetFullURL(parsed.payload, selected, true), selected);
        rows.RecalcLayout();
    }

    switch (parsed.kind) {
        case LocatorKind::Browser:
        case LocatorKind::BrowseWait: {
            rows.ShowRow(kBrowserRow);
            const QString url = GetFullURL(parsed.payload, selected, false);
            if (CBrowserView* browser = GetBrowserView()) {
                browser->Navigate2(url);
                if (parsed.kind == LocatorKind::BrowseWait) {
                    browser->WaitWhileBusy(url);
                }
            }
            return 1;
        }
        case LocatorKind::Grid: {
            rows.ShowRow(kMyViewRow);
            const QString url = GetFullURL(parsed.payload, selected, true);
            if (view == nullptr) {
                return 0;
            }
            view->SetRequest(CMyView::kShowGrid, 0, kind);
            view->ShowParts(url, selected);
            return view->LoadGrid(url, selected);
        }
        case LocatorKind::ElemChooser:
        case LocatorKind::NodeChooser:
        case LocatorKind::JobChooser: {
            rows.ShowRow(kMyViewRow);
            const QString url = GetFullURL(parsed.payload, selected, true);
            // The navigator above the grid was made by the step before:
            // the chooser is made once, shown.
            const int shown = renderViewParts(CMyView::kShowGrid | CMyView::kShowPanel,
                                              parsed.ChooserTemplate(), url, selected);
            rows.RecalcLayout();
            return shown;
        }
        case LocatorKind::List: {
            rows.ShowRow(kMyViewRow);
            const QString url = GetFullURL(parsed.payload, selected, true);
            if (view == nullptr) {
                return 0;
            }
            view->SetRequest(CMyView::kShowList, 0, kind);
            const int shown = view->ShowParts(url, selected);
            view->GetFolderList()->update();
            return shown;
        }
        case LocatorKind::Action: {
            QString action = locator;
            while (!action.isEmpty() && (action[0] == u' ' || action[0] == u'\t' ||
                                         action[0] == u'\r' || action[0] == u'\n')) {
                action.remove(0, 1);
            }
            return m_site.DispatchCurl(action) == 1 ? 1 : 0;
        }
        case LocatorKind::Malformed:
            break;
    }
    UiServices().Popups().ErrorBox(kFormat(u"Error: CMO has malformed curl: %s", locator));
    return 0;
}
