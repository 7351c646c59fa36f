// The main frame's timers, Stop, the tree replies that arrive through the
// tree pipe, the World View selection, status pane 1 and the keys the frame
// takes itself.

#include "frame/browserview.h"
#include "frame/folderlist.h"
#include "frame/framesite.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "frame/statusbar.h"
#include "framework/klog.h"
#include "framework/ktime.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "net/netdispatcher.h"
#include "net/wireservices.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "tree/leftview.h"
#include "tree/myitem.h"
#include "tree/mytree.h"
#include "tree/treenode.h"
#include "ui/busycursor.h"
#include "ui/uiservices.h"

#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTreeWidgetItem>

namespace {

// Stop waits this long between its tries while the browser still loads,
// and gives up after the last one.
constexpr int kStopRetryMs = 250;
constexpr int kStopGiveUpMs = 5000;

}  // namespace

void CMainFrame::SetRefreshTimer(int seconds) {
    KillRefreshTimer();
    m_refreshTimer.start(seconds * 1000);
}

void CMainFrame::KillRefreshTimer() {
    m_refreshTimer.stop();
}

void CMainFrame::StartRowCounter() {
    m_rowCounterTimer.start();
}

void CMainFrame::StopRowCounter() {
    m_rowCounterTimer.stop();
}

void CMainFrame::OnTimer(int timerId) {
    if (timerId == kRowCounterTimerId) {
        onRowCounterTimer();
        return;
    }
    if (timerId != kRefreshTimerId) {
        kDebugLog(u"CMainFrame::OnTimer() -- EVENT IGNORED (unknown timer id).\n");
        return;
    }
    if (!m_refreshTimer.isActive()) {
        kDebugLog(u"CMainFrame::OnTimer() -- EVENT IGNORED (sanity check failed).\n");
        return;
    }
    if (!m_site.IsUp()) {
        kDebugLog(u"CMainFrame::OnTimer() -- EVENT IGNORED (app is going down?).\n");
        return;
    }
    if (WireServices().IsAbortedThread()) {
        kDebugLog(u"CMainFrame::OnTimer() -- EVENT IGNORED (the thread is aborted).\n");
        return;
    }
    if (m_inRefreshTick) {
        kDebugLog(u"CMainFrame::OnTimer() -- EVENT IGNORED (still processing last timer).\n");
        return;
    }
    m_inRefreshTick = true;
    onRefreshTimer();
    m_inRefreshTick = false;
}

void CMainFrame::onRefreshTimer() {
    kDebugLog(u"CMainFrame::OnTimer(MY_REFRESH_TIMER) -- %s\n",
              kFormTimestamp(50, std::time(nullptr)));
    const CBusyCursor busy;
    CMyTree& tree = m_site.Tree();
    QTreeWidgetItem* selected = tree.GetSelectedItem();
    const CMyItem* record = tree.GetMyItem(selected);
    const int tab = record != nullptr ? std::max(record->SelectedTab, 1) : 0;
    const QString locator = record != nullptr && tab <= record->Parts.Count()
                                ? record->Parts.GetNameAt(tab - 1)
                                : QString();
    if (!locator.startsWith(u"browser:")) {
        kDebugLog(u"CMainFrame::OnTimer() -- EVENT IGNORED (non-browser url).\n");
        return;
    }
    if (!record->TreeURL.isEmpty()) {
        if (CServerConnection* system = tree.GetSystem(selected)) {
            QString text;
            QString errorText;
            if (system->FetchDocument(record->TreeURL, text, errorText) && !text.isEmpty()) {
                tree.DeleteChildren(selected);
                tree.AddItemsFromXML(text, selected);
            }
        }
    }
    if (!m_rightSplitter->IsRowVisible(kBrowserRow)) {
        kDebugLog(u"CMainFrame::OnTimer(): BUG? no browser view is visible.\n");
        kDebugLog(u"CMainFrame::OnTimer() -- EVENT IGNORED (no browser visible).\n");
        return;
    }
    kDebugLog(u"CMainFrame::OnTimer() -- painting on Browser...\n");
    if (CBrowserView* browser = GetBrowserView()) {
        browser->Navigate2(GetFullURL(locator.mid(8), selected, false));
    }
    if (m_site.IsUp() && m_refreshTimer.isActive()) {
        kDebugLog(u"CMainFrame::OnTimer() -- done.\n");
    } else {
        kDebugLog(u"CMainFrame::OnTimer() -- EVENT IGNORED (timer was killed].\n");
        kDebugLog(u"  AppIsUp = %d, iTimerID = %d, pWaitFor = 0x%08x", m_site.IsUp() ? 1 : 0,
                  m_refreshTimer.isActive() ? kRefreshTimerId : 0, 0);
    }
}

bool CMainFrame::gridFetching() const {
    const CMyGrid* grid = GetGrid();
    return grid != nullptr && grid->IsFetching();
}

void CMainFrame::onRowCounterTimer() {
    CMyGrid* grid = GetGrid();
    if (grid == nullptr) {
        return;
    }
    const CGridProgress& progress = grid->Site().Progress();
    // A request that ended without a reply to read (the server refused it,
    // or could not be reached) has its error shown elsewhere.
    if (!progress.IsRunning() && !grid->IsLoadRunning() && !grid->IsFetching()) {
        StopRowCounter();
        UiServices().SetStatusText(QString(), CStatusBar::kMessagePane);
        UiServices().SetStatusText(QString(), CStatusBar::kRowCounterPane);
        return;
    }
    const int estimate = progress.Estimate();
    const int position = progress.Position();
    QString text;
    if (position > 0 && estimate > 0) {
        text = kFormat(u"Row: %d of %d", position, estimate);
    } else if (position > 0) {
        text = kFormat(u"Row: %d", position);
    }
    UiServices().SetStatusText(
        QStringLiteral("Loading... (Press Stop button in Toolbar to Cancel)"),
        CStatusBar::kMessagePane);
    UiServices().SetStatusText(text, CStatusBar::kRowCounterPane);
}

void CMainFrame::OnStop() {
    CBrowserView* browser = GetBrowserView();
    const auto browserNavigating = [browser] {
        return browser != nullptr && browser->IsNavigating();
    };
    // The browser may never say it stopped: after a few seconds of tries
    // Stop gives up waiting rather than hold the window for ever.
    const QDeadlineTimer giveUp(kStopGiveUpMs);
    const auto loading = [this] {
        const CMyGrid* grid = GetGrid();
        return m_site.IsProgressRunning() || gridFetching() ||
               (grid != nullptr && grid->Site().Progress().IsRunning());
    };
    bool busy = loading() || browserNavigating();
    // A progress in the status bar has no Cancel button: Stop is the only
    // way to end its server job, and ending the local work first would
    // forget the job.
    m_site.CancelProgress();
    while (busy) {
        UiServices().SetStatusText(QStringLiteral("Cancelling..."), CStatusBar::kMessagePane);
        kDebugLog(u"CMainFrame::OnStop(): trying to stop current activity...\n");
        if (!browserNavigating()) {
            m_site.CancelServerProcesses();
            m_site.RaiseCancelFlag();
            break;
        }
        // The page's server job is cancelled with the others.
        browser->RegisterServerPid();
        browser->Stop();
        m_site.RaiseCancelFlag();
        m_site.PumpMessages(false);
        if (giveUp.hasExpired()) {
            kDebugLog(u"CMainFrame::OnStop(): gave up waiting for the browser.\n");
            break;
        }
        QEventLoop pause;
        QTimer::singleShot(kStopRetryMs, &pause, &QEventLoop::quit);
        pause.exec();
        busy = loading() || browserNavigating();
    }
    StopThrobber();
    m_site.AbortActions();
    m_site.CancelAllRequests();
    UiServices().SetStatusText(QStringLiteral("Cancelled."), CStatusBar::kMessagePane);
}

QTreeWidgetItem* CMainFrame::PaneCurrentItem() const {
    const CLeftView* pane = GetLeftView();
    return pane != nullptr ? pane->GetTargetItem() : m_site.Tree().GetSelectedItem();
}

bool CMainFrame::IsProgressCancelled() const {
    return m_site.IsProgressCancelled();
}

int CMainFrame::SendTreeRequest(quint16& requesterId, const QString& url, const QString& user,
                                const QString& password, quint32 itemId) {
    const CMyItem* target = CTreeNode::RecordOf(PaneCurrentItem());
    m_treeRequestTargetId = target != nullptr ? target->GetItemId() : 0;
    m_treeRequestItemId = itemId;
    m_treeRequestOpen = WireServices().StartAsyncRequest(2, requesterId, url, user, password);
    return m_treeRequestOpen ? 1 : 0;
}

void CMainFrame::CancelTreeRequests(quint16 requesterId) {
    WireServices().CancelRequests(requesterId);
    // A cancelled download ends its pipe between two chunks, which reads
    // like a whole reply: what it still sends is not read into the tree.
    m_treeRequestOpen = false;
    m_treeReader->Close();
}

int CMainFrame::LogoutIfUnauthorized(CMyTree& tree, QTreeWidgetItem* fetched) {
    return LogoutItemIfUnauthorized(tree, fetched, MySystemSite().Dispatcher().LastHttpStatus());
}

int CMainFrame::OnItemSelected(CMyTree& tree, QTreeWidgetItem* item) {
    if (CLeftView* pane = GetLeftView()) {
        pane->OnModelSelection(item);
    }
    // A drop being carried out fetches the item's children itself.
    return tree.GetDropID().isEmpty() ? RebuildRHS() : 1;
}

int CMainFrame::RefreshItemKeepSelection(QTreeWidgetItem* item, bool collapse) {
    return m_site.RefreshItemKeepSelection(item, collapse);
}

void CMainFrame::OnItemLabelChanged(QTreeWidgetItem* item) {
    CMyTree& tree = m_site.Tree();
    const CMyItem* record = tree.GetMyItem(item);
    if (record == nullptr || item != tree.GetSelectedItem()) {
        return;
    }
    const CServerConnection* system = tree.GetSystem(item);
    UpdateTitle({record->GetLabel(), system != nullptr ? system->User : QString(),
                 tree.GetSystemItemText(item)});
}

void CMainFrame::ReadTreeReply(CNamedPipe clientEnd) {
    if (!m_treeRequestOpen) {
        kDebugLog(u"CMainFrame: the reply of a cancelled tree request is dropped.\n");
        return;
    }
    m_treeReader->Attach(std::move(clientEnd));
}

void CMainFrame::OnTreeStreamEnd(const QString& text, bool intact) {
    const CBusyCursor busy;
    m_treeRequestOpen = false;
    if (!intact) {
        kWarningLog(u"CMainFrame: the tree reply broke off; the part read is used.\n");
    }
    CMyTree& tree = m_site.Tree();
    const CMyItem* target = CTreeNode::RecordOf(PaneCurrentItem());
    if ((target != nullptr ? target->GetItemId() : 0) != m_treeRequestTargetId) {
        kDebugLog(u"CMainFrame: a tree reply for an item no longer the target is dropped.\n");
        return;
    }
    // The reply belongs to the item it was asked for, wherever the
    // selection is; an item deleted meanwhile takes nothing.
    QTreeWidgetItem* parent =
        m_treeRequestItemId != 0 ? tree.FindItemById(m_treeRequestItemId) : tree.GetSelectedItem();
    if (m_treeRequestItemId != 0 && parent == nullptr) {
        kDebugLog(u"CMainFrame: a tree reply for an item that is gone is dropped.\n");
        return;
    }
    // A large reply goes in a slice at a time; the rest follows once it is in.
    const bool rootLevel = parent == nullptr || parent == tree.GetRootItem();
    const QPointer<CMainFrame> frame(this);
    tree.AddItemsFromXMLInSlices(text, parent, [frame, rootLevel](QTreeWidgetItem* filled,
                                                                  bool added) {
        if (frame != nullptr) {
            frame->treeReplyAdded(filled, rootLevel && added);
        }
    });
}

void CMainFrame::treeReplyAdded(QTreeWidgetItem* parent, bool loadedRoot) {
    CMyTree& tree = m_site.Tree();
    if (loadedRoot) {
        tree.ClearModified();
    }
    if (parent != nullptr && parent != tree.RootLevel()) {
        const int children = tree.GetChildCount(parent);
        tree.SetHasChildren(parent, children > 0);
        if (children > 0) {
            tree.Expand(parent, true);
        }
    }
    // A folder list waiting for these children shows them now.
    CMyView* view = GetMyView();
    if (view != nullptr && view->IsListShown() && parent == tree.GetSelectedItem()) {
        view->ShowParts(QString(), parent);
    }
}

void CMainFrame::updateUserPane() {
    CMyTree& tree = m_site.Tree();
    const CServerConnection* system = tree.GetSystem(tree.GetSelectedItem());
    QString text;
    if (system != nullptr) {
        // A server that needs no user name shows its host alone.
        const QString account =
            system->User.isEmpty() ? system->Host : system->User + u'@' + system->Host;
        text = system->LoggedIn ? account : QStringLiteral("Not Logged In");
    }
    // Written only when the server's own text changes, so that a text a
    // script put in the pane stays until the server or its login changes.
    if (m_userPaneText != text) {
        m_userPaneText = text;
        m_statusBar->SetPaneText(CStatusBar::PaneOfIndicator(CStatusBar::kUserPane), text);
    }
}

void CMainFrame::OnCloseKey() {
    // Alt+F4 that reaches the window (no window manager took it) closes one
    // floating browser per press before it closes the program.
    if (!m_site.HideFirstVisibleFloatingBrowser()) {
        close();
    }
}

void CMainFrame::OnHelpKey() {
    // Over a column head the column's own help takes the key.
    CMyGrid* grid = GetGrid();
    if (grid != nullptr && grid->isVisible() && grid->ShowColumnHelp() != 0) {
        return;
    }
    OnCommand(57670);
}
