// CMyGrid's load: the grid emptied and made ready for a reply, the request
// sent or parsed at once, and the rows shown, counted and timed at its end.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/ktime.h"
#include "grid/griddisposer.h"
#include "grid/gridrequesters.h"
#include "grid/mygrid.h"
#include "grid/mygriddetail.h"
#include "grid/mygridsite.h"
#include "net/netdispatcher.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "settings/urltext.h"
#include "tree/mytree.h"
#include "tree/treeimages.h"
#include "ui/busycursor.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <ctime>
#include <utility>

using mygrid_detail::gridPrefs;
using mygrid_detail::kRowCountPane;
using mygrid_detail::kTimingPane;
using mygrid_detail::prefInt;

namespace {

constexpr QStringView kProgressTitle = u"Quillet for Velnix";

}  // namespace

int CMyGrid::BeginLoad() {
    const CBusyCursor busy;
    m_tLoadStart = static_cast<qint64>(std::time(nullptr));
    m_fLoading = true;
    m_iSortChosenDuringLoad = -1;
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
    // A sort the user chose while the rows arrived wins over the saved one.
    const bool chosen = m_iSortChosenDuringLoad >= 0;
    const int sortColumn = chosen ? std::exchange(m_iSortChosenDuringLoad, -1)
                                  : prefInt(m_strPrefKeyBase + QStringLiteral("/_sort"), 0);
    const bool ascending =
        chosen ? m_fSortChosenAscending
               : prefInt(m_strPrefKeyBase + QStringLiteral("/_ascend"), 0) != 0;
    // Fitted to the first rows as they came, before the sort moves them.
    FitColumnsToText();
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
    if (chosen) {
        // Kept as the user's layout, as a click at rest would be.
        SendMessageToParent(0, sortColumn, GVN_COLUMNSORTED);
    }
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
    m_repeatedTexts.Clear();
    forgetFittedRows();
    m_iXmlRow = 0;
    m_iXmlCol = 0;
    m_fNoRows = true;
    m_shownRows = 0;
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
        // The server may be slow to send the first byte: the loading text
        // shows from now.
        if (sent && mainGrid()) {
            m_site->StartRowCounter();
        }
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
