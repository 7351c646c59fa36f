// A grid reply replayed from the grid pipe into the handlers, a few
// milliseconds per turn of the event loop, and a worker's load that waits on it.

#include "framework/klog.h"
#include "grid/gridstreamwire.h"
#include "grid/mygrid.h"
#include "grid/mygriddetail.h"
#include "grid/mygridsite.h"
#include "net/netdispatcher.h"
#include "net/wireservices.h"
#include "ui/busycursor.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <condition_variable>
#include <mutex>

// The row counter runs since the request went out.
void CMyGrid::OnGridDataReady(CNamedPipe clientEnd) {
    const CBusyCursor busy;
    notifySyncEnded();
    m_iXmlCol = 0;
    ResetGrid();
    beginReplay(std::move(clientEnd));
}

void CMyGrid::beginReplay(CNamedPipe clientEnd) {
    m_fReading = true;
    clearColumnMap();
    m_turnOpen = false;
    m_replyFailure.clear();
    m_sawNumCols = false;
    m_reader.Attach(std::move(clientEnd));
}

void CMyGrid::OnGridEvent(const CGridEvent& pipeEvent) {
    if (pipeEvent.kind == CGridEvent::kFailed) {
        m_replyFailure = pipeEvent.text.toString();
        return;
    }
    if (m_fHoldHidden) {
        m_reader.Close();
        m_fReading = false;
        m_turnOpen = false;
        EndLoad();
        m_fHoldHidden = false;
        notifySyncEnded();
        return;
    }
    if (!m_turnOpen) {
        m_turnOpen = true;
        m_turnClock.start();
        SetRedraw(false);
    }
    Event event;
    event.start = pipeEvent.kind == CGridEvent::kStart;
    event.name = pipeEvent.name;
    event.text = pipeEvent.text;
    event.parent = pipeEvent.parent;
    event.views = &pipeEvent.attributes;
    handleEvent(event);
    // The clock is read every few events: an event takes well under a microsecond.
    if (m_turnOpen && (++m_turnEvents & 31) == 0 && m_turnClock.elapsed() >= kReplayTurnMs &&
        m_reader.IsReading()) {
        m_reader.Pause();
    }
}

// Rows added during a turn show once, at its end: no repaint or scroll-bar
// reset per row. Between turns drawing is on, so that a paint asked for
// during a turn (the early "show" steps, an exposed window) draws the rows
// in rather than nothing.
// A repaint costs a few milliseconds: during a long replay the rows show
// every kRefreshMs rather than after every turn, once the first rows are
// shown: a show of the headers alone does not hold them back.
void CMyGrid::OnGridTurnEnd() {
    if (!m_turnOpen) {
        return;
    }
    m_turnOpen = false;
    SetRedraw(true, false, false);
    const qint64 sinceRefresh = m_refreshClock.isValid() ? m_refreshClock.elapsed() : kRefreshMs;
    if (sinceRefresh >= kRefreshMs || m_shownRows <= GetFixedRowCount()) {
        showTurn();
    } else if (!m_refreshTimer.isActive()) {
        m_refreshTimer.start(static_cast<int>(kRefreshMs - sinceRefresh));
    }
}

// Rows that arrive below the visible ones change only the scroll bar: the
// viewport is painted again only when a shown row changed.
void CMyGrid::showTurn() {
    m_refreshTimer.stop();
    if (!m_turnOpen) {
        const CCellRange visible = GetVisibleScrollableRange();
        const bool offScreen =
            m_shownRows > 0 && visible.maxRow >= 0 && m_shownRows - 1 > visible.maxRow;
        SetRedraw(true, true);
        if (!offScreen) {
            viewport()->update();
        }
        m_shownRows = GetRowCount();
        m_refreshClock.start();
    }
}

void CMyGrid::OnGridStreamEnd(bool intact) {
    if (!intact) {
        kWarningLog(u"CMyGrid: the grid reply broke off after %d rows", m_iXmlRow);
    }
    endReplay();
    reportUnreadableReply();
}

// A reply that could not be read, or that gave no columns, is a failure and
// must not pass for an empty table: the rows read so far stay, and the
// status bar says that they are not the whole answer. A stopped load is no
// failure.
void CMyGrid::reportUnreadableReply() {
    if (WireServices().CancelFlag() != 0 || (m_replyFailure.isEmpty() && m_sawNumCols)) {
        return;
    }
    kWarningLog(u"CMyGrid: the server's reply to %s could not be read: %s", m_strGridURL,
                m_replyFailure.isEmpty() ? QStringLiteral("it names no columns") : m_replyFailure);
    // The pane where a stopped load says "STOPPED": short enough for its
    // fixed width, and not cleared when the download's busy time ends.
    if (mainGrid()) {
        setStatus(mygrid_detail::kTimingPane, QStringLiteral("Reply unreadable"));
    }
}

void CMyGrid::endReplay() {
    m_turnOpen = false;
    m_refreshTimer.stop();
    m_refreshClock.invalidate();
    m_shownRows = 0;
    m_fReading = false;
    m_fHoldHidden = false;
    m_reader.Close();
    EndLoad();
    reselectAfterLoad();
    notifySyncEnded();
    Q_EMIT LoadEnded();
}

bool CMyGrid::IsFetching() const {
    return m_fReading || (GetRequesterId() != 0 &&
                          MySystemSite().Dispatcher().IsRequestRunning(GetRequesterId()));
}

void CMyGrid::StopLoad() {
    // A server that went quiet, even before its first byte, keeps no
    // connection open.
    if (GetRequesterId() != 0) {
        MySystemSite().Dispatcher().CancelRequest(GetRequesterId());
    }
    // The rows of a stopped load are not the count of any item, least of
    // all of the one selected meanwhile.
    if (m_fReading || m_fLoading) {
        m_fSynchRowCountWithTreeItem = false;
    }
    if (m_fReading) {
        endReplay();
    } else if (m_fLoading) {
        EndLoad();
    }
}

// A worker that waits on the replay of its synchronous load may go on.
void CMyGrid::notifySyncEnded() {
    if (m_syncEnded) {
        std::exchange(m_syncEnded, {})();
    }
}

// A synchronous load on a worker thread: the reply is parsed here into the
// grid pipe's event stream, which the UI thread replays into the handlers
// while this thread waits for it, the wait ended by the cancel flag.
int CMyGrid::loadSynchronously(const QString& fullUrl, const QString& user,
                               const QString& password) {
    CGridStreamWire wire;
    if (!wire.CheckFullURL(fullUrl) || WireServices().CancelFlag() != 0 || !wire.Open()) {
        UiServices().Bridge().Call([this] { return qintptr(EndLoad()); });
        return 0;
    }
    struct Done {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    CNamedPipe clientEnd = wire.TakeClientEnd();
    const bool started = UiServices().Bridge().Call([&] {
        if (mainGrid()) {
            m_site->StartRowCounter();
        }
        m_syncEnded = [done] {
            const std::lock_guard lock(done->mutex);
            done->done = true;
            done->ended.notify_all();
        };
        beginReplay(std::move(clientEnd));
        return qintptr(1);
    });
    bool parsed = false;
    if (started && wire.OpenConnection(fullUrl, user, password, {}, false) && wire.IsConnected()) {
        parsed = wire.GetStream();
        wire.CloseConnection();
    }
    wire.CloseStream();
    std::unique_lock lock(done->mutex);
    while (started && !done->done) {
        if (done->ended.wait_for(lock, std::chrono::milliseconds(100)) == std::cv_status::timeout &&
            WireServices().CancelFlag() != 0) {
            lock.unlock();
            UiServices().Bridge().Call([this] {
                if (m_fReading) {
                    endReplay();
                }
                return qintptr(1);
            });
            lock.lock();
            break;
        }
    }
    return parsed ? 1 : 0;
}
