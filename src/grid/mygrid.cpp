#include "grid/mygrid.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/ktext.h"
#include "framework/ktime.h"
#include "grid/dialoggridsite.h"
#include "grid/griddisposer.h"
#include "grid/gridnavigator.h"
#include "grid/gridrequesters.h"
#include "grid/gridstreamwire.h"
#include "net/netdispatcher.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "settings/texttools.h"
#include "settings/urltext.h"
#include "tree/mytree.h"
#include "tree/tooltip.h"
#include "tree/treeimages.h"
#include "ui/busycursor.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <QMouseEvent>

#include <QCoreApplication>

#include <algorithm>
#include <condition_variable>
#include <ctime>
#include <future>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// Status-bar panes of the row count and of the timing or stop text.
constexpr int kRowCountPane = 32811;
constexpr int kTimingPane = 32812;
constexpr QStringView kProgressTitle = u"Quillet for Velnix";

bool isRowTag(QStringView name) {
    return name == u"r" || name == u"row" || name.startsWith(u"row-") || name == u"tr";
}

bool isCellTag(QStringView name) {
    return name == u"c" || name == u"cell" || name.startsWith(u"cell-") || name == u"td";
}

bool isColumnTag(QStringView name) {
    return name == u"col" || name.startsWith(u"col-");
}

// The elements the wire's own handlers act on; every other one skips them.
bool isWireElement(QStringView name) {
    return name == u"message" || name == u"curl" || name.startsWith(u"pbar-") ||
           name == u"exception" || name == u"grid" || name == u"tree";
}

CPreferences* gridPrefs() {
    return MySystemSite().Preferences();
}

int prefInt(const QString& key, int defaultValue) {
    const CPreferences* prefs = gridPrefs();
    return prefs != nullptr ? prefs->GetInt(key, defaultValue) : defaultValue;
}

QString menuNameOf(QStringView menu) {
    QString name = menu.toString();
    name.remove(QStringLiteral(".menu"));
    return name;
}

}  // namespace

// One start or end event, from the parser (attributes in a KPROPS) or from
// the pipe (views into its block).
struct CMyGrid::Event {
    bool start = true;
    QStringView name;
    QStringView text;
    QStringView parent;
    const KPROPS* props = nullptr;
    const std::vector<std::pair<QStringView, QStringView>>* views = nullptr;

    // The attribute's value; `holder` keeps a value that a KPROPS hands out.
    QStringView attribute(QStringView attributeName, QString& holder) const {
        if (props != nullptr) {
            holder = props->GetValue(attributeName.toString());
            return holder;
        }
        if (views != nullptr) {
            for (const auto& [key, value] : *views) {
                if (key == attributeName) {
                    return value;
                }
            }
        }
        return {};
    }
    QString attribute(QStringView attributeName) const {
        QString holder;
        return attribute(attributeName, holder).toString();
    }
};

CMyGrid::CMyGrid(QWidget* parent)
    : CGridCtrl(0, 0, 0, 0, parent),
      m_dialogSite(std::make_unique<CDialogGridSite>()),
      m_tooltip(std::make_unique<Tooltip>()) {
    m_site = m_dialogSite.get();
    m_className = QStringLiteral("CMyGrid");
    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, &CMyGrid::showTurn);
    SetMaxColumnWidthFraction(0.95f);
    SetPropertiesPaneShown([this] { return m_site->IsPropertiesPanelVisible(); });
}

CMyGrid::~CMyGrid() {
    UnregisterGridRequesters(this);
    m_reader.Close();
    notifySyncEnded();
    m_fSavePrefsOnReset = false;
    ResetGrid();
}

void CMyGrid::SetSite(CMyGridSite* site) {
    m_site = site != nullptr ? site : m_dialogSite.get();
}

bool CMyGrid::Create(const QRect& rect, QWidget* parent, int controlId, unsigned style) {
    if (!CGridCtrl::Create(rect, parent, controlId, style)) {
        return false;
    }
    m_created = true;
    m_tooltip->Create(this, viewport());
    return true;
}

bool CMyGrid::mainGrid() const {
    return m_site->IsMainGrid(*this);
}

void CMyGrid::setStatus(int indicator, const QString& text) {
    if (HaveUiServices()) {
        UiServices().SetStatusText(text, indicator);
    }
}

// Loading ----------------------------------------------------------------

// The keys of a large grid are sorted on a worker while the UI thread goes
// on with its other events (input excepted); the rows then take the order
// found, unless the grid changed meanwhile.
void CMyGrid::sortRows(int col, bool ascending) {
    const int first = GetFixedRowCount();
    const int rows = GetRowCount() - first;
    const bool onUi = !HaveUiServices() || UiServices().Bridge().onUiThread();
    if (rows < kWorkerSortRows || !onUi || col < 0 || col >= GetColumnCount()) {
        SortItemsByKey(col, ascending, &MakeCellSortKey, &CompareCellSortKeys);
        return;
    }
    std::vector<GridSortEntry<CellSortKey>> entries;
    std::vector<const CGridCellBase*> cells;
    entries.reserve(static_cast<size_t>(rows));
    cells.reserve(static_cast<size_t>(rows));
    for (int row = first; row < first + rows; ++row) {
        const CGridCellBase* cell = GetCell(row, col);
        entries.push_back({MakeCellSortKey(cell), row});
        cells.push_back(cell);
    }
    auto sorted =
        std::async(std::launch::async, [entries = std::move(entries), ascending]() mutable {
            GridQuickSort(entries, ascending, &CompareCellSortKeys);
            return GridSortedRows(entries);
        });
    const quint64 generation = ++m_sortGeneration;
    while (sorted.wait_for(std::chrono::milliseconds(2)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 2);
    }
    const std::vector<int> order = sorted.get();
    if (generation != m_sortGeneration || GetRowCount() - first != rows ||
        static_cast<int>(order.size()) != rows) {
        return;
    }
    std::unordered_map<const CGridCellBase*, int> place;
    place.reserve(static_cast<size_t>(rows));
    for (int position = 0; position < rows; ++position) {
        const int row = order[static_cast<size_t>(position)];
        if (GetCell(row, col) != cells[static_cast<size_t>(row - first)]) {
            return;
        }
        place.emplace(cells[static_cast<size_t>(row - first)], ascending ? position : -position);
    }
    SortItemsByKey(
        col, ascending,
        [&place](const CGridCellBase* cell) {
            const auto found = place.find(cell);
            return found != place.end() ? found->second : 0;
        },
        [](int firstPlace, int secondPlace) {
            return firstPlace < secondPlace ? -1 : firstPlace > secondPlace ? 1 : 0;
        });
}

void CMyGrid::clearColumnMap() {
    m_xmlToGridCol.fill(0);
}

int CMyGrid::BeginLoad() {
    const CBusyCursor busy;
    m_tLoadStart = static_cast<qint64>(std::time(nullptr));
    m_fLoading = true;
    ResetGrid();
    clearColumnMap();
    m_GridProperties.Clear();
    SetCompareFunction(&CompareCells);
    m_fAutoSizeColumns = false;
    m_iExpectedRows = 0;
    m_dwPropertiesMode = kPropertiesNormal;
    m_fDirlist = false;
    m_iXmlColDirlistName = 1;
    m_iServerPid = 0;
    m_iXmlRow = 0;
    m_iXmlCol = 0;
    m_fNoRows = false;
    m_fHiddenRows = false;
    m_strFilter.clear();
    m_fPropertiesPending = false;
    m_fSynchRowCountWithTreeItem = false;
    m_strDirListPath.clear();
    m_strPropertiesURL.clear();
    m_strDragType.clear();
    m_strPrefKeyBase.clear();
    m_style = CellFormatStyle::Read(gridPrefs());
    m_style.folderImage = kImageFolderClosed;
    m_style.fileImage = kImageConfig;
    GetDefaultCell(false, false)->SetBackColour(m_style.cellBack);
    GetDefaultCell(false, false)->SetTextColour(m_style.cellFore);
    if (!m_created) {
        return 1;
    }
    m_site->ResetFilterText();
    hide();
    m_site->PumpMessages();
    SetEditable(false);
    EnableDragAndDrop(true);
    ClearSelectedRange();
    SetListMode(true);
    SetSingleRowSelection(false);
    SetSingleColSelection(false);
    EnableSelection(true);
    ClearSelectedRange();
    SetFixedColumnSelection(true);
    SetFixedRowSelection(false);
    SetHeaderSort(true);
    SetHandleTabKey(true);
    EnableTitleTips(true);
    SetGridLines(GVL_BOTH);
    SetGridLineColor(GridColour(kGridLineColour));
    m_site->Progress().Start(kProgressTitle.toString(), {}, 0);
    if (mainGrid()) {
        setStatus(kRowCountPane, {});
        setStatus(kTimingPane, {});
    }
    return 1;
}

void CMyGrid::SetExpectedRows(int count) {
    m_iExpectedRows = count;
    if (!mainGrid()) {
        return;
    }
    setStatus(kRowCountPane, {});
    CGridProgress& progress = m_site->Progress();
    if (progress.IsRunning()) {
        progress.SetEstimate(count);
    } else {
        progress.Start(kProgressTitle.toString(), {}, count);
    }
}

int CMyGrid::EndLoad() {
    if (!m_created) {
        m_fLoading = false;
        return 1;
    }
    const CBusyCursor busy;
    const int sortColumn = prefInt(m_strPrefKeyBase + QStringLiteral("/_sort"), 0);
    const bool ascending = prefInt(m_strPrefKeyBase + QStringLiteral("/_ascend"), 0) != 0;
    sortKeepingSelection([&] { sortRows(sortColumn, ascending); });
    const bool main = mainGrid();
    if (main) {
        m_site->StopRowCounter();
    }
    QString timing;
    if (WireServices().CancelFlag() != 0 && GetRowCount() > 1) {
        DeleteLastRow();
        timing = LangLookup(QStringLiteral("STOPPED"));
    } else if (prefInt(QStringLiteral("EnableTimingInfo"), 0) != 0) {
        const qint64 elapsed = static_cast<qint64>(std::time(nullptr)) - m_tLoadStart;
        timing = kFormat(u"%s: %s", LangLookup(QStringLiteral("Took")),
                         elapsed > 0 ? kFormatDuration(elapsed) : QString());
    }
    QString rows;
    if (GetRowCount() == 1) {
        rows = LangLookup(QStringLiteral("No Rows"));
    } else if (GetRowCount() > 1) {
        rows = kFormat(u"Rows: %d", GetRowCount() - 1);
    }
    m_fNoRows = GetRowCount() < 1;
    if (main) {
        setStatus(kRowCountPane, rows);
        setStatus(kTimingPane, timing);
    }
    if (m_fSynchRowCountWithTreeItem) {
        if (CMyTree* tree = MySystemSite().WorldViewTree()) {
            tree->SetItemCount(nullptr, GetRowCount());
        }
    }
    m_site->Progress().Done();
    if (!WireServices().IsAbortedThread()) {
        if (m_system != nullptr) {
            m_system->GetServerProcesses().CancelAll();
        }
        SetRedraw(true, true);
        if (!m_fHoldHidden) {
            show();
        }
    }
    m_fLoading = false;
    return 1;
}

void CMyGrid::ResetGrid() {
    if (HaveUiServices() && !UiServices().Bridge().onUiThread()) {
        if (!UiServices().Bridge().Send(UiMessage::ResetGrid)) {
            UiServices().Bridge().Call([this] {
                ResetGrid();
                return qintptr(1);
            });
        }
        return;
    }
    if (m_fSavePrefsOnReset) {
        if (CPreferences* prefs = gridPrefs()) {
            prefs->SavePrefs(0);
        }
    }
    // A large grid's cells are freed on a worker: the UI goes on at once.
    CGridDisposer::Rows cells = TakeAllCells();
    const qint64 cellCount =
        cells.empty() ? 0
                      : static_cast<qint64>(cells.size()) * static_cast<qint64>(cells[0].size());
    if (cellCount >= kDisposeOnWorkerCells) {
        CGridDisposer::Instance().Dispose(std::move(cells));
    } else {
        DeleteGridCells(cells);
    }
    m_iXmlRow = 0;
    m_iXmlCol = 0;
    m_fNoRows = true;
    m_shownRows = 0;
    ++m_sortGeneration;
}

int CMyGrid::DeleteLastRow() {
    const QString keys =
        GetSelectedRowsByColProp(QStringLiteral("[PKEY]"), 0, QStringLiteral(","), u"@"_qs);
    if (GetRowCount() < 1) {
        return 0;
    }
    const int last = GetRowCount() - 1;
    FreeRowData(last);
    const bool deleted = DeleteRow(last);
    Refresh();
    if (!keys.isEmpty()) {
        SelectRows(keys, QStringLiteral("[PKEY]"), QStringLiteral(","), u"@"_qs);
    }
    return deleted ? 1 : 0;
}

// A sort starts with an empty selection: the rows selected before it are
// found again by their keys.
void CMyGrid::sortKeepingSelection(const std::function<void()>& sort) {
    const QString keys =
        GetSelectedRowCount() > 0
            ? GetSelectedRowsByColProp(QStringLiteral("[PKEY]"), 0, QStringLiteral(","), u"@"_qs)
            : QString();
    sort();
    if (!keys.isEmpty()) {
        SelectRows(keys, QStringLiteral("[PKEY]"), QStringLiteral(","), u"@"_qs);
    }
}

void CMyGrid::SetReselectAfterLoad(bool reselect, const QString& keys) {
    m_fReselectAfterLoad = reselect;
    if (reselect) {
        m_strReselectKeys = keys;
    }
}

// The panel follows the selection the load restored, or the one the user
// made while the rows arrived.
void CMyGrid::reselectAfterLoad() {
    const bool pending = std::exchange(m_fPropertiesPending, false);
    if (m_fReselectAfterLoad) {
        SelectRows(m_strReselectKeys, QStringLiteral("[PKEY]"), QStringLiteral(","), u"@"_qs);
        RefreshProperties();
        m_fReselectAfterLoad = false;
    } else if (pending && m_site->IsPropertiesPanelVisible()) {
        RefreshProperties();
    }
}

int CMyGrid::Reload() {
    CMySystem* system = m_site->SelectedSystem();
    const int result = GetData(m_strGridURL, system, false);
    if (CMyTree* tree = MySystemSite().WorldViewTree();
        tree != nullptr && LogoutIfUnauthorized(*tree)) {
        return 0;
    }
    return result;
}

int CMyGrid::GetData(const QString& url, CMySystem* system, bool synchronous) {
    const bool onUi = !HaveUiServices() || UiServices().Bridge().onUiThread();
    if (!onUi) {
        qintptr result = 0;
        // The grid's windows are the UI thread's: the download and parse
        // run here, the handlers there (see loadSynchronously).
        const QString fullUrl =
            (!IsURL(url) && system != nullptr) ? system->GetBaseURL(false) + url : url;
        const QString user = system != nullptr ? system->User : QString();
        const QString password = system != nullptr ? system->Password : QString();
        UiServices().Bridge().Call([&] {
            BeginLoad();
            m_strGridURL = url;
            m_system = system;
            return qintptr(1);
        });
        result = loadSynchronously(fullUrl, user, password);
        return static_cast<int>(result);
    }
    BeginLoad();
    m_strGridURL = url;
    m_system = system;
    const QString user = system != nullptr ? system->User : QString();
    const QString password = system != nullptr ? system->Password : QString();
    QString fullUrl = url;
    if (!IsURL(url) && system != nullptr) {
        fullUrl = system->GetBaseURL(false) + url;
    }
    if (CPreferences* prefs = gridPrefs()) {
        const QString chooser = prefs->GetFieldChooserName(fullUrl);
        if (!chooser.isEmpty()) {
            m_GridProperties.Add(QStringLiteral("field-chooser"), chooser);
            m_strPrefKeyBase.clear();
            ComputePrefKeyBase();
            prefs->ApplyFieldChooserColumns(chooser, fullUrl);
            if (!m_strPrefKeyBase.isEmpty()) {
                m_fSortAscending = prefs->GetInt(m_strPrefKeyBase + QStringLiteral("/_ascend"), 0);
                m_iSortColumn = prefs->GetInt(m_strPrefKeyBase + QStringLiteral("/_sort"), -1);
                SetSortColumn(m_iSortColumn);
            }
        }
    }
    if (system != nullptr) {
        system->GetServerProcesses().RemovePid(static_cast<CGridCtrl*>(this),
                                               ServerProcesses::kAllRequests);
    }
    if (!CheckFullURL(fullUrl) || WireServices().CancelFlag() != 0) {
        EndLoad();
        return 0;
    }
    kDebugLog(u"Closing client pipe before GetData()...");
    m_reader.Close();
    m_fReading = false;
    notifySyncEnded();
    if (!synchronous) {
        m_fHoldHidden = false;
        quint16 requesterId = GetRequesterId();
        const bool sent = MySystemSite().Dispatcher().SendRequest(kNetRequestGrid, requesterId,
                                                                  fullUrl, user, password, {});
        SetRequesterId(requesterId);
        RegisterGridRequester(requesterId, this);
        EndLoad();
        return sent ? 1 : 0;
    }
    if (!CheckFullURL(fullUrl) || WireServices().CancelFlag() != 0) {
        return 0;
    }
    if (mainGrid()) {
        m_site->StartRowCounter();
    }
    bool parsed = false;
    if (OpenConnection(fullUrl, user, password, {}, false) && IsConnected()) {
        CExpatImpl<CMyWire>::Create();
        clearColumnMap();
        m_turnOpen = true;
        SetRedraw(false);
        parsed = GetStream();
        m_turnOpen = false;
        Destroy();
        CloseConnection();
    }
    EndLoad();
    reselectAfterLoad();
    return parsed ? 1 : 0;
}

// Events from the pipe ----------------------------------------------------

void CMyGrid::OnGridDataReady(CNamedPipe clientEnd) {
    const CBusyCursor busy;
    if (mainGrid()) {
        m_site->StartRowCounter();
    }
    notifySyncEnded();
    m_fReading = true;
    clearColumnMap();
    m_iXmlCol = 0;
    ResetGrid();
    m_turnOpen = false;
    m_reader.Attach(std::move(clientEnd));
}

void CMyGrid::OnGridEvent(const CGridEvent& pipeEvent) {
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
// reset per row.
// A repaint costs a few milliseconds: during a long replay the rows show
// every kRefreshMs rather than after every turn.
void CMyGrid::OnGridTurnEnd() {
    if (!m_turnOpen) {
        return;
    }
    m_turnOpen = false;
    const qint64 sinceRefresh = m_refreshClock.isValid() ? m_refreshClock.elapsed() : kRefreshMs;
    if (sinceRefresh >= kRefreshMs) {
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
        SetRedraw(true, true, !offScreen);
        m_shownRows = GetRowCount();
        m_refreshClock.start();
    }
}

void CMyGrid::OnGridStreamEnd(bool intact) {
    if (!intact) {
        kWarningLog(u"CMyGrid: the grid reply broke off after %d rows", m_iXmlRow);
    }
    endReplay();
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
        m_fReading = true;
        clearColumnMap();
        m_turnOpen = false;
        m_syncEnded = [done] {
            const std::lock_guard lock(done->mutex);
            done->done = true;
            done->ended.notify_all();
        };
        m_reader.Attach(std::move(clientEnd));
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

// The handlers -------------------------------------------------------------

bool CMyGrid::passesGate() const {
    return WireServices().CancelFlag() == 0 && !WireServices().IsAbortedThread();
}

int CMyGrid::XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                               const XmlElementStack& stack) {
    if (!passesGate()) {
        return 1;
    }
    if (CMyWire::XMLHandleStartTag(name, attributes, parent, stack) != 0) {
        return 1;
    }
    Event event;
    event.start = true;
    event.name = name;
    event.parent = parent;
    event.props = &attributes;
    handleStart(event);
    return 1;
}

int CMyGrid::XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                             const QString& parent, const XmlElementStack& stack) {
    if (!passesGate()) {
        return 1;
    }
    if (CMyWire::XMLHandleEndTag(name, text, attributes, parent, stack) != 0) {
        return 1;
    }
    Event event;
    event.start = false;
    event.name = name;
    event.text = text;
    event.parent = parent;
    event.props = &attributes;
    handleEnd(event);
    return 1;
}

// A replayed event meets the same gate and the same wire defaults as a
// parsed one; the defaults need a KPROPS, made only for their few elements.
void CMyGrid::handleEvent(const Event& event) {
    if (!passesGate()) {
        return;
    }
    if (isWireElement(event.name) && wireDefaultHandled(event)) {
        return;
    }
    if (event.start) {
        handleStart(event);
    } else {
        handleEnd(event);
    }
}

bool CMyGrid::wireDefaultHandled(const Event& event) {
    KPROPS attributes(100, 10);
    if (event.views != nullptr) {
        for (const auto& [key, value] : *event.views) {
            attributes.Add(key.toString(), value.toString());
        }
    }
    const QString name = event.name.toString();
    const QString parent = event.parent.toString();
    const XmlElementStack stack;
    if (event.start) {
        return CMyWire::XMLHandleStartTag(name, attributes, parent, stack) != 0;
    }
    return CMyWire::XMLHandleEndTag(name, event.text.trimmed().toString(), attributes, parent,
                                    stack) != 0;
}

void CMyGrid::handleStart(const Event& event) {
    const QStringView name = event.name;
    if (isCellTag(name)) {
        ++m_iXmlCol;
        return;
    }
    if (isRowTag(name)) {
        ++m_iXmlRow;
        m_iXmlCol = 0;
        setRowCountForXml();
        QString holder;
        m_dwRowProperty = GridRowFlagsOf(event.attribute(u"property", holder));
        return;
    }
    if (isColumnTag(name)) {
        m_iXmlCol += 1;
        if (m_iXmlCol >= 1 && m_iXmlCol <= kMaxXmlColumns) {
            m_Columns[static_cast<size_t>(m_iXmlCol)].Clear();
        }
        return;
    }
    if (name == u"headers") {
        if (!ComputePrefKeyBase()) {
            WireServices().PopupMessage(QStringLiteral("Could not deduce a PrefKey for this grid."),
                                        kPopupWarning);
        }
        return;
    }
    if (name == u"grid" || name == u"table") {
        startGrid(event);
        return;
    }
    if (name == u"tree") {
        startDirList(event);
        return;
    }
    if (name == u"item") {
        addDirListItem(event);
    }
}

void CMyGrid::startGrid(const Event& event) {
    QString holder;
    m_strMenuName = menuNameOf(event.attribute(u"menu", holder));
    m_iServerPid = event.attribute(u"pid", holder).toUInt();
    const QStringView dragType = event.attribute(u"drag-type", holder);
    if (!dragType.isEmpty()) {
        SetDragType(dragType.toString());
    }
    if (m_iServerPid != 0) {
        const QString cancelUrl =
            kFormat(u"/cmi/Services?Action=CancelRequest&RequestID=%u", m_iServerPid);
        kDebugLog(u"Setting CancelURL to: %s\n", cancelUrl);
        m_site->Progress().SetCancelURL(cancelUrl);
    }
}

void CMyGrid::feedStart(QStringView name, QStringView parent) {
    Event event;
    event.start = true;
    event.name = name;
    event.parent = parent;
    handleStart(event);
}

void CMyGrid::feedEnd(QStringView name, QStringView text, QStringView parent) {
    Event event;
    event.start = false;
    event.name = name;
    event.text = text;
    event.parent = parent;
    handleEnd(event);
}

void CMyGrid::startDirList(const Event& event) {
    QString holder;
    m_iXmlCol = 0;
    m_strMenuName = menuNameOf(event.attribute(u"menu", holder));
    m_strDirListPath = event.attribute(u"path");
    m_iXmlColDirlistName = 1;
    m_dwPropertiesMode = kPropertiesDirList;
    const QStringView dragType = event.attribute(u"drag-type", holder);
    if (!dragType.isEmpty()) {
        SetDragType(dragType.toString());
    }
    feedStart(u"grid-props", u"grid");
    feedEnd(u"num-cols", u"8", u"grid-props");
    feedEnd(u"grid-props", {}, u"grid");
    feedStart(u"headers", u"grid");
    AddColumn(QStringLiteral("name"), QStringLiteral("Name"), QStringLiteral("[L][ICON]"));
    AddColumn(QStringLiteral("size"), QStringLiteral("Size"), QStringLiteral("[BYTES]"));
    AddColumn(QStringLiteral("lastmod-utc"), QStringLiteral("Last Modified"),
              QStringLiteral("[U]"));
    AddColumn(QStringLiteral("mode"), QStringLiteral("Mode"), QStringLiteral("[MODE]"));
    AddColumn(QStringLiteral("owner"), QStringLiteral("Owner"), QStringLiteral("[L]"));
    AddColumn(QStringLiteral("downloadable"), QStringLiteral("downloadable"),
              QStringLiteral("[H]"));
    AddColumn(QStringLiteral("large-file"), QStringLiteral("large-file"), QStringLiteral("[H]"));
    AddColumn(QStringLiteral("URL"), QStringLiteral("URL"), QStringLiteral("[H][PKEY]"));
    feedEnd(u"headers", {}, u"grid");
    feedStart(u"data", u"grid");
    m_fDirlist = true;
    SetGridLineColor(GridColour(kDirListLineColour));
}

void CMyGrid::addDirListItem(const Event& event) {
    const QString treeUrl = event.attribute(u"tree-url");
    const QString gridUrl = event.attribute(u"main-grid-url");
    const QString browserUrl = event.attribute(u"main-browser-url");
    QString label = event.attribute(u"label");
    QString size;
    const bool directory = (event.attribute(u"mode").toLongLong() & FileEntry::kDirectoryMode) != 0;
    if (directory) {
        CMyTree* tree = MySystemSite().WorldViewTree();
        QTreeWidgetItem* selected = tree != nullptr ? tree->GetSelectedItem() : nullptr;
        if (selected != nullptr && label != u".." &&
            tree->FindChildByLabel(label, selected) == nullptr) {
            CMyItem record;
            record.ItemType = kKindDirectory;
            record.ImageIdx = kImageFolderClosed;
            record.SetLabel(label);
            record.PanelParts = kPanelGrid;
            record.TreeURL = treeUrl;
            if (!gridUrl.isEmpty()) {
                record.Parts.Add(QStringLiteral("grid:") + gridUrl, QStringLiteral(" "));
            }
            if (!browserUrl.isEmpty()) {
                record.Parts.Add(QStringLiteral("browser:") + browserUrl, QStringLiteral(" "));
            }
            record.FullPath = event.attribute(u"fullpath");
            tree->InsertItemCopy(selected, nullptr, record);
        }
        label += u'/';
    } else {
        if (!m_strDirListFilter.isEmpty() && m_strDirListFilter != u".*" &&
            !label.contains(m_strDirListFilter)) {
            return;
        }
        size = event.attribute(u"bytes");
    }
    feedStart(u"row", u"data");
    AddCell(label);
    AddCell(size);
    AddCell(event.attribute(u"lastmod-utc"));
    AddCell(event.attribute(u"mode"));
    AddCell(event.attribute(u"owner"));
    AddCell(event.attribute(u"downloadable"));
    AddCell(event.attribute(u"large-file"));
    if (!gridUrl.isEmpty() || !treeUrl.isEmpty() || !browserUrl.isEmpty()) {
        AddCell(!gridUrl.isEmpty() ? gridUrl : !treeUrl.isEmpty() ? treeUrl : browserUrl);
    }
    feedEnd(u"row", {}, u"data");
}

void CMyGrid::handleEnd(const Event& event) {
    const QStringView name = event.name;
    if (isCellTag(name)) {
        if (m_iXmlCol >= 1 && m_iXmlCol <= kMaxXmlColumns) {
            const int gridCol = m_xmlToGridCol[static_cast<size_t>(m_iXmlCol)] - 1;
            if (gridCol >= 0) {
                QString text = event.text.toString();
                storeCell(m_iXmlRow, gridCol, m_Columns[static_cast<size_t>(m_iXmlCol)], text);
                return;
            }
        }
        kDebugLog(u"row[%d], col[%d] -- no column mapping (have to throw the data away)\n",
                  m_iXmlRow, m_iXmlCol);
        return;
    }
    if (isRowTag(name)) {
        endRow();
    } else if (name == u"data" && m_iXmlRow <= 99) {
        showDuringLoad();
    } else if (isColumnTag(name)) {
        if (m_iXmlCol >= 1 && m_iXmlCol <= kMaxXmlColumns) {
            SetXmlToGridColMap(m_iXmlCol, m_Columns[static_cast<size_t>(m_iXmlCol)].colname);
        }
    } else if (name == u"colname" || name == u"colhead" || name == u"colprops" ||
               name == u"hovertext" || name == u"help-url" || name == u"colwidth") {
        endColumnField(name, event.text.toString());
    } else if (name == u"num-cols") {
        SetRowCount(1);
        SetColumnCount(qBound(0, event.text.toInt(), kMaxXmlColumns));
        SetFixedRowCount(1);
        SetFixedColumnCount(0);
    } else if (name == u"expected-rows") {
        SetExpectedRows(event.text.toInt());
    } else if (name == u"properties-url") {
        m_strPropertiesURL += event.text;
        m_dwPropertiesMode = kPropertiesURL;
    } else if (name == u"headers") {
        endHeaders();
    } else if (name == u"chunks") {
        endChunks(event);
    } else if (name.startsWith(u"grid") || name == u"table") {
        if (m_created) {
            if (m_fAutoSizeColumns) {
                AutoSizeColumns();
            }
            Refresh();
        }
    } else if (name == u"drag-type") {
        if (!event.text.isEmpty()) {
            SetDragType(event.text.toString());
        }
    } else if (name == u"synch-count-with-tree") {
        m_fSynchRowCountWithTreeItem = event.text.toInt() != 0;
        if (m_fSynchRowCountWithTreeItem) {
            if (CMyTree* tree = MySystemSite().WorldViewTree()) {
                tree->RemoveItemCount(nullptr);
            }
        }
    } else if (name == u"disable_advanced_filters" || name == u"enable_advanced_filters" ||
               name == u"unhide_advanced_filters" || name == u"disable_jobchooser_filters") {
        m_site->ChooserFilterCommand(name.toString(), event.text.toString());
    }
    if (event.parent == u"grid-props") {
        m_GridProperties.Add(name.toString(), event.text.toString());
    }
}

void CMyGrid::endRow() {
    m_dwRowProperty = 0;
    m_site->Progress().Step(1);
    if (m_created && (m_iXmlRow == 2 || (m_iXmlRow < 100 && m_iXmlRow % 10 == 0))) {
        showDuringLoad();
    }
}

void CMyGrid::showDuringLoad() {
    if (!m_created) {
        return;
    }
    SetRedraw(true, true);
    RedrawRow(GetRowCount() - 1);
    if (m_fAutoSizeColumns) {
        AutoSizeColumns();
    }
    show();
    if (m_turnOpen) {
        SetRedraw(false);
    }
}

void CMyGrid::setRowCountForXml() {
    SetRowCount(m_iXmlRow + 1);
}

void CMyGrid::endColumnField(QStringView name, const QString& text) {
    if (m_iXmlCol < 1 || m_iXmlCol > kMaxXmlColumns) {
        return;
    }
    GridColumn& column = m_Columns[static_cast<size_t>(m_iXmlCol)];
    if (name == u"colname") {
        column.colname = text.toLower();
    } else if (name == u"colhead") {
        column.colhead = text;
    } else if (name == u"colprops") {
        column.AppendProps(text);
    } else if (name == u"hovertext") {
        column.hovertext = text;
        DecodeNewlines(column.hovertext);
    } else if (name == u"help-url") {
        column.helpUrl = text;
    } else {
        column.width = text.toInt();
    }
}

void CMyGrid::endHeaders() {
    for (int n = 1; n <= GetColumnCount() && n <= kMaxXmlColumns; ++n) {
        SetupColumn(n);
    }
    if (m_created && m_fAutoSizeColumns) {
        AutoSizeColumns();
    }
    EqualizeHeaderLines();
}

void CMyGrid::endChunks(const Event& event) {
    CGridNavigator* navigator = m_site->Navigator();
    if (navigator == nullptr) {
        return;
    }
    QString holder;
    const int total = event.attribute(u"numberofentries", holder).toInt();
    const int chunk = event.attribute(u"selectedchunk", holder).toInt();
    const int perChunk = event.attribute(u"numberofentriesperchunk", holder).toInt();
    navigator->SetRange(total, m_site->NavigatorOwner(), chunk, perChunk);
}

// Columns and cells --------------------------------------------------------

void CMyGrid::AddColumn(const QString& colname, const QString& colhead, const QString& colprops) {
    feedStart(u"col", u"headers");
    feedEnd(u"colname", colname, u"col");
    feedEnd(u"colhead", colhead, u"col");
    feedEnd(u"colprops", colprops, u"col");
    feedEnd(u"col", {}, u"headers");
}

void CMyGrid::AddCell(const QString& text) {
    feedStart(u"c", u"r");
    feedEnd(u"c", text, u"r");
}

int CMyGrid::placeColumn(int xmlCol, const GridColumn& column) {
    int& mapped = m_xmlToGridCol[static_cast<size_t>(xmlCol)];
    if (mapped != 0) {
        return mapped;
    }
    std::vector<bool> taken(static_cast<size_t>(GetColumnCount()), false);
    for (int n = 1; n <= kMaxXmlColumns; ++n) {
        const int gridCol = m_xmlToGridCol[static_cast<size_t>(n)] - 1;
        if (gridCol >= 0 && gridCol < GetColumnCount()) {
            taken[static_cast<size_t>(gridCol)] = true;
        }
    }
    if (column.Has(kTokenHidden)) {
        for (int col = GetColumnCount() - 1; col >= 0; --col) {
            if (!taken[static_cast<size_t>(col)]) {
                return mapped = col + 1;
            }
        }
    } else {
        for (int col = 0; col < GetColumnCount(); ++col) {
            if (!taken[static_cast<size_t>(col)]) {
                return mapped = col + 1;
            }
        }
    }
    return 0;
}

void CMyGrid::SetupColumn(int xmlCol) {
    if (xmlCol < 1 || xmlCol > kMaxXmlColumns) {
        return;
    }
    GridColumn& column = m_Columns[static_cast<size_t>(xmlCol)];
    const int gridCol = placeColumn(xmlCol, column) - 1;
    if (gridCol < 0) {
        return;
    }
    GridItemInfo item;
    item.row = 0;
    item.col = gridCol;
    QString head = column.colhead;
    if (FormatCell(column, item, head, m_style, 0, this) != 0) {
        SetItem(&item);
    }
    column.width = prefInt(kFormat(u"%s/%s/w", m_strPrefKeyBase, column.colname), -1);
    if (!m_created) {
        return;
    }
    FitRowHeight(0, gridCol);
    if (column.Has(kTokenHidden)) {
        SetColumnWidth(gridCol, 0);
    } else if (column.width < 1) {
        SetColumnWidth(gridCol, 1);
        AutoSizeColumn(gridCol, 0, false);
    } else {
        SetColumnWidth(gridCol, column.width);
    }
}

bool CMyGrid::SetCellText(int row, int xmlCol, const QString& text) {
    if (xmlCol >= 1 && xmlCol <= kMaxXmlColumns) {
        const int gridCol = m_xmlToGridCol[static_cast<size_t>(xmlCol)] - 1;
        if (gridCol >= 0) {
            QString copy = text;
            storeCell(row, gridCol, m_Columns[static_cast<size_t>(xmlCol)], copy);
            return true;
        }
    }
    kDebugLog(u"row[%d], col[%d] -- no column mapping (have to throw the data away)\n", row,
              xmlCol);
    return false;
}

// Default colours stay with the default cell, so that a plain cell stores
// no colours of its own. A received cell is stored into the cell object
// straight: it is no user edit, so none of SetItem's edit marks apply.
void CMyGrid::storeCell(int row, int gridCol, const GridColumn& column, QString& text) {
    CGridCellBase* cell = GetCell(row, gridCol);
    if (cell == nullptr) {
        return;
    }
    GridItemInfo item;
    item.row = row;
    item.col = gridCol;
    if (FormatCell(column, item, text, m_style, m_dwRowProperty, this) == 0) {
        return;
    }
    delete reinterpret_cast<CellValue*>(cell->GetData());
    cell->SetText(item.strText);
    cell->SetData(item.lParam);
    cell->SetFormat(item.nFormat);
    if ((item.mask & GVIF_IMAGE) != 0) {
        cell->SetImage(item.iImage);
    }
    if (row == 0 || item.crBkClr != m_style.cellBack) {
        cell->SetBackColour(item.crBkClr);
    }
    if (row == 0 || item.crFgClr != m_style.cellFore) {
        cell->SetTextColour(item.crFgClr);
    }
    if ((item.nFormat & DT_WORDBREAK) != 0 || (item.mask & GVIF_IMAGE) != 0) {
        FitRowHeight(row, gridCol);
    }
}

void CMyGrid::FreeCellData(int row, int col) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) {
        return;
    }
    delete reinterpret_cast<CellValue*>(cell->GetData());
    cell->SetData(0);
}

void CMyGrid::FreeRowData(int row) {
    for (int col = 0; col < GetColumnCount(); ++col) {
        FreeCellData(row, col);
    }
}

void CMyGrid::EqualizeHeaderLines() {
    if (GetRowCount() < 1) {
        return;
    }
    int most = 1;
    for (int col = 0; col < GetColumnCount(); ++col) {
        most = qMax(most, 1 + static_cast<int>(GetItemText(0, col).count(u'\n')));
    }
    for (int col = 0; col < GetColumnCount(); ++col) {
        const QString text = GetItemText(0, col);
        const int lines = 1 + static_cast<int>(text.count(u'\n'));
        if (lines < most) {
            QString padded;
            for (int missing = lines; missing < most; ++missing) {
                padded += QStringLiteral("\n\r");
            }
            SetItemText(0, col, padded + text);
            RedrawCell(0, col);
        }
    }
}

void CMyGrid::FitRowHeight(int row, int col) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) {
        return;
    }
    const int lines = 1 + static_cast<int>(cell->GetText().count(u'\n'));
    const CGridDefaultCell* defaults = GetDefaultCell(row < GetFixedRowCount(), false);
    const int margin = static_cast<int>(cell->GetMargin());
    int needed = (defaults->GetHeight() - 2 * margin) * lines + 2 * margin + 2;
    const QList<QPixmap>* images = GetImageList();
    const int image = cell->GetImage();
    if (images != nullptr && image >= 0 && image < images->size()) {
        needed = qMax(needed, images->at(image).height() + 2 * margin + 2);
    }
    if (GetRowHeight(row) < needed) {
        SetRowHeight(row, needed);
    }
}

QString CMyGrid::GetColumnHeaderTip(int col) const {
    const int xmlCol = GridColToXmlCol(col);
    if (xmlCol < 1 || xmlCol > kMaxXmlColumns) {
        return {};
    }
    const GridColumn& column = m_Columns[static_cast<size_t>(xmlCol)];
    QString tip = column.hovertext;
    if (!column.helpUrl.isEmpty()) {
        tip += LangLookup(QStringLiteral("\n Hit [F1] for Help..."));
    }
    return tip;
}

void CMyGrid::OnHeaderRowClick(const CCellID& cell) {
    const int xmlCol = GridColToXmlCol(cell.col);
    if (xmlCol < 1 || !IsValid(cell)) {
        return;
    }
    const GridColumn& column = m_Columns[static_cast<size_t>(xmlCol)];
    if (m_site->IsContextHelpMode()) {
        if (!column.helpUrl.isEmpty()) {
            m_site->LaunchHelp(column.helpUrl);
        } else if (!column.hovertext.isEmpty()) {
            QRect rect;
            if (GetCellRect(0, cell.col, rect)) {
                m_tooltip->SetText(column.hovertext);
                m_tooltip->ShowAt(QRect(viewport()->mapToGlobal(rect.topLeft()), rect.size()));
            }
        }
        return;
    }
    if (column.Has(kTokenNoSort)) {
        return;
    }
    CGridNavigator* navigator = m_site->Navigator();
    if (navigator != nullptr && navigator->GetOwner() != nullptr) {
        const bool ascending = cell.col != GetSortColumn() || !GetSortAscending();
        navigator->SetGrid(this);
        navigator->SetSort(cell.col, ascending);
        if (CPreferences* prefs = gridPrefs()) {
            prefs->SetInt(m_strPrefKeyBase + QStringLiteral("/_ascend"), ascending ? 1 : 0);
            prefs->SetInt(m_strPrefKeyBase + QStringLiteral("/_sort"), cell.col);
        }
        SetSortColumn(cell.col);
        SetSortAscending(ascending);
        m_fSortAscending = ascending;
        return;
    }
    if (GetHeaderSort()) {
        const CBusyCursor busy;
        const bool ascending = cell.col == GetSortColumn() ? !GetSortAscending() : true;
        SortItemsByKey(cell.col, ascending, &MakeCellSortKey, &CompareCellSortKeys);
        Refresh();
        SendMessageToParent(0, cell.col, GVN_COLUMNSORTED);
    }
    // The control's own click does the rest (the column's selection).
    const bool sorts = GetHeaderSort();
    SetHeaderSort(false);
    CGridCtrl::OnHeaderRowClick(cell);
    SetHeaderSort(sorts);
}

// The map names grid columns: it moves with them.
void CMyGrid::OnColumnMoved(int from, int to) {
    for (int& mapped : m_xmlToGridCol) {
        if (mapped > 0) {
            mapped = movedColumn(mapped - 1, from, to) + 1;
        }
    }
}

QString CMyGrid::MakeAddressSortKey(const QString& text) {
    return ::MakeAddressSortKey(text);
}

const GridColumn* CMyGrid::GetColumn(int xmlCol) const {
    return xmlCol >= 1 && xmlCol <= kMaxXmlColumns ? &m_Columns[static_cast<size_t>(xmlCol)]
                                                   : nullptr;
}

const GridColumn* CMyGrid::GetGridColumnEntry(int gridCol) const {
    return GetColumn(GridColToXmlCol(gridCol));
}

int CMyGrid::XmlColToGridCol(int xmlCol) const {
    return xmlCol >= 1 && xmlCol <= kMaxXmlColumns ? m_xmlToGridCol[static_cast<size_t>(xmlCol)]
                                                   : 0;
}

int CMyGrid::GridColToXmlCol(int gridCol) const {
    for (int n = 1; n <= kMaxXmlColumns; ++n) {
        if (m_xmlToGridCol[static_cast<size_t>(n)] == gridCol + 1) {
            return n;
        }
    }
    return 0;
}

// A locked column takes grid column 1 (index 0); the columns already placed
// from there up to the first free place move one to the right, so a column
// placed last (a hidden one) stays inside the grid.
int CMyGrid::SetXmlToGridColMap(int xmlCol, const QString& colname) {
    if (xmlCol < 1 || xmlCol > kMaxXmlColumns) {
        return 0;
    }
    const GridColumn& column = m_Columns[static_cast<size_t>(xmlCol)];
    const int count = GetColumnCount();
    auto occupant = [this](int place) {
        for (int n = 1; n <= kMaxXmlColumns; ++n) {
            if (m_xmlToGridCol[static_cast<size_t>(n)] == place) {
                return n;
            }
        }
        return 0;
    };
    int place = 0;
    QString reason;
    if (column.Has(kTokenLocked)) {
        int freePlace = 1;
        while (freePlace <= count && occupant(freePlace) != 0) {
            ++freePlace;
        }
        if (freePlace > count) {
            return 0;
        }
        for (int n = 1; n <= kMaxXmlColumns; ++n) {
            int& mapped = m_xmlToGridCol[static_cast<size_t>(n)];
            if (mapped >= 1 && mapped < freePlace) {
                ++mapped;
            }
        }
        place = 1;
        SetFixedColumnCount(GetFixedColumnCount() + 1);
        reason = QStringLiteral("[LOCKED]");
    } else if (column.Has(kTokenHidden)) {
        for (int candidate = count; candidate >= 1 && place == 0; --candidate) {
            if (occupant(candidate) == 0) {
                place = candidate;
            }
        }
    } else {
        const int remembered = prefInt(kFormat(u"%s/%s", m_strPrefKeyBase, colname), 0);
        if (remembered >= 1 && remembered <= count && occupant(remembered) == 0) {
            place = remembered;
            reason = QStringLiteral("off preferences");
        } else {
            for (int candidate = 1; candidate <= count && place == 0; ++candidate) {
                if (occupant(candidate) == 0) {
                    place = candidate;
                }
            }
        }
    }
    m_xmlToGridCol[static_cast<size_t>(xmlCol)] = place;
    kDebugLog(u"SetXmlToGridColMap (iXmlCol=%d) --%s--> iGridCol=%d\n", xmlCol, reason, place);
    return place;
}

int CMyGrid::FindColumnByName(const QString& name) const {
    const QString wanted = name.toLower().trimmed();
    for (int col = 0; col < GetColumnCount(); ++col) {
        const GridColumn* column = GetGridColumnEntry(col);
        if (column != nullptr && column->colname.trimmed() == wanted) {
            return col;
        }
    }
    return -1;
}

int CMyGrid::SortByColName(const QString& name, bool ascending) {
    const int col = FindColumnByName(name);
    if (col < 0) {
        return 0;
    }
    sortKeepingSelection([&] { SortItems(col, ascending); });
    viewport()->update();
    return 1;
}

bool CMyGrid::ComputePrefKeyBase() {
    if (!m_strPrefKeyBase.isEmpty()) {
        return true;
    }
    if (m_fDirlist || m_dwPropertiesMode == kPropertiesDirList) {
        m_strPrefKeyBase = QStringLiteral("grid:dirlist");
    } else if (const QString chooser = m_GridProperties.GetValue(QStringLiteral("field-chooser"));
               !chooser.isEmpty()) {
        m_strPrefKeyBase = kFormat(u"grid:%s", chooser);
    } else if (m_strMenuName = menuNameOf(m_strMenuName); !m_strMenuName.isEmpty()) {
        m_strPrefKeyBase = kFormat(u"grid:%s", m_strMenuName);
    } else if (CMyTree* tree = MySystemSite().WorldViewTree()) {
        for (QTreeWidgetItem* item = tree->GetSelectedItem(); item != nullptr;
             item = tree->GetParentItem(item)) {
            const CMyItem* record = tree->GetMyItem(item);
            if (record != nullptr && record->HasContent() && !record->ID.isEmpty()) {
                m_strPrefKeyBase = kFormat(u"grid:%s", record->ID);
                break;
            }
        }
    }
    kDebugLog(u"GRID: PrefKeyBase = %s\n", m_strPrefKeyBase);
    return !m_strPrefKeyBase.isEmpty();
}

// Row keys and selection -------------------------------------------------

std::vector<int> CMyGrid::keyColumnsInXmlOrder(const QString& property) const {
    const std::uint32_t flag = GridColumnTokenFlag(property);
    std::vector<int> keyColumns;
    for (int n = 1; n <= kMaxXmlColumns; ++n) {
        const GridColumn& column = m_Columns[static_cast<size_t>(n)];
        const int gridCol = m_xmlToGridCol[static_cast<size_t>(n)] - 1;
        if (gridCol >= 0 && gridCol < GetColumnCount() &&
            (flag != 0 ? column.Has(flag) : column.colprops.contains(property))) {
            keyColumns.push_back(gridCol);
        }
    }
    return keyColumns;
}

// The parts of a key list: empty parts name no row (a grid without key
// columns would otherwise match every row).
int CMyGrid::SelectRows(const QString& keys, const QString& property, const QString& separator,
                        const QString& joiner) {
    const QChar split = separator.isEmpty() ? u',' : separator.at(0);
    QStringList parts = keys.mid(1).split(split);
    parts.removeAll(QString());
    ClearSelectedRange();
    // Key columns in XML order, the order GetSelectedRowsByColProp uses, so
    // that moved key columns keep the selection.
    const std::vector<int> keyColumns = keyColumnsInXmlOrder(property);
    int selected = 0;
    for (int row = 1; row < GetRowCount(); ++row) {
        QString key;
        for (size_t i = 0; i < keyColumns.size(); ++i) {
            if (i > 0) {
                key += joiner;
            }
            key += GetItemText(row, keyColumns[i]);
        }
        const bool match = !parts.isEmpty() && parts.contains(key);
        for (int col = 0; col < GetColumnCount(); ++col) {
            const unsigned state = GetItemState(row, col);
            const unsigned wanted = match ? (state | GVIS_SELECTED) : (state & ~GVIS_SELECTED);
            if (wanted != state) {
                SetItemState(row, col, wanted);
                RedrawCell(row, col);
            }
        }
        if (match) {
            ++selected;
        }
    }
    return selected;
}

QString CMyGrid::GetSelectedRowsByColProp(const QString& property, int most,
                                          const QString& separator, const QString& joiner) const {
    const QChar split = separator.isEmpty() ? u',' : separator.at(0);
    const std::vector<int> keyColumns = keyColumnsInXmlOrder(property);
    QString result;
    int count = 0;
    std::vector<bool> seenRow(static_cast<size_t>(GetRowCount()), false);
    for (CCellID cell = GetNextItem(CCellID(-1, -1), GVNI_ALL | GVNI_SELECTED); IsValid(cell);
         cell = GetNextItem(cell, GVNI_BELOW | GVNI_SELECTED)) {
        if (seenRow[static_cast<size_t>(cell.row)]) {
            continue;
        }
        seenRow[static_cast<size_t>(cell.row)] = true;
        QString key;
        bool taken = false;
        for (const int gridCol : keyColumns) {
            const QString text = GetItemText(cell.row, gridCol);
            if (taken) {
                key += joiner;
            }
            key += text;
            taken = taken || !text.isEmpty();
        }
        if (!key.isEmpty() && kInDelimitedList(key, result, split) == 0) {
            result += split;
            result += key;
            ++count;
            if (most > 0 && count >= most) {
                break;
            }
        }
    }
    kDebugLog(u"GetSelectedRowsByColProp(%s) -- returned %d rows.\n", property, count);
    return result;
}

QString CMyGrid::GetSelectedRowsByColName(const QString& name, int& count, int most) const {
    count = 0;
    if (GetSelectedCellRange().minRow < 0) {
        return {};
    }
    int gridCol = -1;
    for (int n = 1; n <= kMaxXmlColumns && gridCol < 0; ++n) {
        if (m_Columns[static_cast<size_t>(n)].colname.compare(name, Qt::CaseInsensitive) == 0 &&
            m_xmlToGridCol[static_cast<size_t>(n)] > 0) {
            gridCol = m_xmlToGridCol[static_cast<size_t>(n)] - 1;
        }
    }
    if (gridCol < 0) {
        kDebugLog(
            u"GetSelectedRowsByColName(%s) -- no ColName with that name (now trying ColHeads).\n",
            name);
        for (int col = 0; col < GetColumnCount() && gridCol < 0; ++col) {
            if (GetItemText(0, col).compare(name, Qt::CaseInsensitive) == 0) {
                gridCol = col;
            }
        }
    }
    if (gridCol < 0) {
        kDebugLog(u"GetSelectedRowsByColName(%s) -- no ColName nor ColHead with that name!\n",
                  name);
        return {};
    }
    return GetSelectedValuesOfColumn(gridCol, count, most);
}

// Window messages as methods ---------------------------------------------

int CMyGrid::GetFocusedRowText(int col, QString& text) const {
    if (col < 0 || col >= GetColumnCount()) {
        return -1;
    }
    const CCellID focus = GetFocusCell();
    if (focus.row < 0 || focus.row >= GetRowCount()) {
        return -2;
    }
    text = GetItemText(focus.row, col);
    return static_cast<int>(text.size());
}

int CMyGrid::SetTextQuery(int query, const QString& text) {
    switch (query) {
        case 1:
            return FindColumnByName(text);
        case 2:
            return FilterRows(text, 0x11);
        default:
            return 0;
    }
}

// A keystroke in the filter box runs this over every row: the cells are
// searched ignoring case without a lower-cased copy of each, only rows that
// change get a new height, and the grid is laid out once at the end.
int CMyGrid::FilterRows(const QString& text, unsigned flags) {
    const QString filter = text.toLower();
    if (filter.isEmpty()) {
        ShowAllRows();
        return 1;
    }
    const bool extending = !m_strFilter.isEmpty() && m_strFilter.size() < filter.size() &&
                           filter.startsWith(m_strFilter);
    m_strFilter = filter;
    const bool hide = (flags & kFilterHide) != 0;
    std::vector<int> shownColumns;
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (GetColumnWidth(col) > 0) {
            shownColumns.push_back(col);
        }
    }
    const bool relayout = hide && IsRedrawAllowed();
    if (relayout) {
        SetRedraw(false);
    }
    bool anyMatched = false;
    for (int row = GetFixedRowCount(); row < GetRowCount(); ++row) {
        const bool hidden = GetRowHeight(row) == 0;
        if (extending && hidden) {
            continue;  // the shorter text hid it, and the longer one cannot match it
        }
        const bool matches = std::any_of(shownColumns.begin(), shownColumns.end(), [&](int col) {
            return GetItemText(row, col).contains(filter, Qt::CaseInsensitive);
        });
        anyMatched = anyMatched || matches;
        if (!hide || matches == !hidden) {
            continue;
        }
        if (matches) {
            RestoreRow(row);
        } else {
            SetRowHeight(row, 0);
            m_fHiddenRows = true;
        }
    }
    if (relayout) {
        SetRedraw(true, true);
    }
    if (hide) {
        Refresh();
    }
    UpdateRowCountLabel();
    return anyMatched ? 1 : 0;
}

int CMyGrid::ShowAllRows() {
    if (!m_fHiddenRows) {
        return 0;
    }
    const bool relayout = IsRedrawAllowed();
    if (relayout) {
        SetRedraw(false);
    }
    bool shown = false;
    for (int row = 0; row < GetRowCount(); ++row) {
        if (GetRowHeight(row) == 0) {
            RestoreRow(row);
            shown = true;
        }
    }
    m_fHiddenRows = false;
    m_strFilter.clear();
    if (relayout) {
        SetRedraw(true, true);
    }
    if (shown) {
        Refresh();
    }
    UpdateRowCountLabel();
    return shown ? 1 : 0;
}

void CMyGrid::RestoreRow(int row) {
    // The height the load gave it: the default, grown only for cells that
    // break lines or show an image ("[ICON]" folders and files).
    SetRowHeight(row, GetDefaultCell(row < GetFixedRowCount(), false)->GetHeight());
    for (int col = 0; col < GetColumnCount(); ++col) {
        const CGridCellBase* cell = GetCell(row, col);
        if (cell != nullptr && GetColumnWidth(col) > 0 &&
            ((cell->GetFormat() & DT_WORDBREAK) != 0 || cell->GetImage() >= 0)) {
            FitRowHeight(row, col);
        }
    }
}

int CMyGrid::FindRowByText(int col, const QString& text) {
    if (col < 0 || col >= GetColumnCount()) {
        return 0;
    }
    for (int row = GetFixedRowCount(); row < GetRowCount(); ++row) {
        if (GetRowHeight(row) > 0 &&
            GetItemText(row, col).compare(text, Qt::CaseInsensitive) == 0) {
            return row;
        }
    }
    return 0;
}

int CMyGrid::FindColumnByText(int row, const QString& text) {
    if (row < 0 || row >= GetRowCount()) {
        return 0;
    }
    for (int col = GetFixedColumnCount(); col < GetColumnCount(); ++col) {
        if (GetColumnWidth(col) > 0 &&
            GetItemText(row, col).compare(text, Qt::CaseInsensitive) == 0) {
            return col;
        }
    }
    return 0;
}

void CMyGrid::UpdateRowCountLabel() {
    const int shown = GetVisibleRowCount();
    QString label;
    if (shown == 0) {
        label = LangLookup(QStringLiteral("No Rows"));
    } else if (shown > 1) {
        label = kFormat(u"Rows: %d", shown);
    }
    setStatus(kRowCountPane, label);
}

int CMyGrid::GetVisibleRowCount() const {
    int visible = 0;
    int fixedVisible = 0;
    for (int row = 0; row < GetRowCount(); ++row) {
        if (GetRowHeight(row) > 0) {
            ++visible;
            if (row < GetFixedRowCount()) {
                ++fixedVisible;
            }
        }
    }
    return visible - fixedVisible;
}

int CMyGrid::GetVisibleColumnCount() const {
    int visible = 0;
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (GetColumnWidth(col) > 0) {
            ++visible;
        }
    }
    return visible;
}

int CMyGrid::GetFirstSelectedRow() const {
    const CCellRange range = GetSelectedCellRange();
    return range.minRow >= 0 ? range.minRow : 0;
}

int CMyGrid::SelectRowRange(int first, int last) {
    if (first < 0 || first > last || last >= GetRowCount()) {
        return 0;
    }
    SetSelectedRange(first, 0, last, GetColumnCount() - 1, true);
    return last;
}

void CMyGrid::addServerPid(quint32 pid) {
    if (m_system != nullptr) {
        m_system->GetServerProcesses().AddPid(static_cast<CGridCtrl*>(this), pid);
    } else {
        CMyWire::addServerPid(pid);
    }
}

void CMyGrid::removeServerPid(quint32 pid) {
    if (m_system != nullptr) {
        m_system->GetServerProcesses().RemovePid(static_cast<CGridCtrl*>(this), pid);
    } else {
        CMyWire::removeServerPid(pid);
    }
}

void CMyGrid::mouseMoveEvent(QMouseEvent* event) {
    if (m_tooltip->IsShown() &&
        !m_tooltip->Geometry().contains(event->globalPosition().toPoint())) {
        m_tooltip->Hide();
    }
    CGridCtrl::mouseMoveEvent(event);
}

// "[JOBTIME]": a weekday list moves to the previous day of each day in it;
// a later local date moves it forward instead, so that the list names the
// same days in both directions. A monthly day moves by the direction.
void CMyGrid::RewriteDaysCell(int row, int direction) {
    const int col = FindColumnByName(QStringLiteral("Days"));
    if (col < 0 || row < 1 || row >= GetRowCount()) {
        return;
    }
    const QString text = GetItemText(row, col);
    const bool schedule = text.contains(u"Daily") || text.contains(u"Every") ||
                          text.contains(u"Monthly") || text.contains(u"Hour") ||
                          text.contains(u"Once");
    if (schedule) {
        if (!text.contains(u"Monthly")) {
            return;
        }
        const qsizetype at = text.indexOf(u"Day");
        if (at < 0) {
            return;
        }
        int day = text.mid(at + 4).toInt() + direction;
        if (day >= 31) {
            day = 1;
        } else if (day <= 0) {
            day = 30;
        }
        SetItemText(row, col, kFormat(u"Monthly on Day %u", day));
        return;
    }
    static constexpr std::array<QStringView, 7> kDays = {u"Sa", u"Su", u"M", u"Tu",
                                                         u"W",  u"Th", u"F"};
    QString rebuilt;
    for (size_t i = 0; i < kDays.size(); ++i) {
        if (text.contains(kDays[i])) {
            const size_t moved = (i + (direction < 0 ? kDays.size() - 1 : 1)) % kDays.size();
            rebuilt += kDays[moved];
            rebuilt += u',';
        }
    }
    if (!rebuilt.isEmpty()) {
        rebuilt[rebuilt.size() - 1] = u' ';
    }
    SetItemText(row, col, rebuilt);
}
