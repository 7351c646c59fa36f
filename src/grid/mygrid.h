#pragma once

// The server-fed data grid: a grid control that is at the same time an XML
// reader. A server answers a grid request with grid XML, and the grid turns
// its elements into columns, header cells and data rows. The events come
// straight from a parser (a synchronous load) or are replayed from the grid
// pipe as the reply downloads (an asynchronous one), a few milliseconds of
// them per turn of the event loop so that the window stays responsive.
//
// The same class serves the main grid of the right-hand view, the field
// chooser's temporary grid (whose window is never created), the option
// pages' grids and the panels that drive it. The windows around it are
// reached through its site (CMyGridSite).

#include "framework/kprops.h"
#include "grid/cellformatter.h"
#include "grid/exportrows.h"
#include "grid/gridcolumn.h"
#include "grid/repeatedtexts.h"
#include "gridctrl/gridctrl.h"
#include "net/grideventreader.h"
#include "net/mywire.h"
#include "tree/menugridrows.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QString>
#include <QTimer>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class CDialogGridSite;
class CMyGridSite;
class QMenu;
class CContextMenu;
class CMySystem;
class DelimitedText;
class Tooltip;


class CMyGrid : public CGridCtrl, public CMyWire, public CMenuGridRows, private IGridEventSink {
    Q_OBJECT

public:
    // XML columns 1 to 150 are kept; entry 0 of the table is never used.
    static constexpr int kMaxXmlColumns = 150;
    static constexpr int kColumnTableSize = kMaxXmlColumns + 1;
    // The replay of a reply gives other events their turn this often.
    static constexpr int kReplayTurnMs = 10;
    // Columns sized to their texts measure this many data rows at most, and
    // their data may take this share of the client width.
    static constexpr int kFittedRows = 200;
    static constexpr float kFittedShare = 0.5f;
    static constexpr qint64 kRefreshMs = 100;
    // A load's sort of at least this many rows runs on a worker.
    static constexpr int kWorkerSortRows = 5000;
    // Its keys are taken this many rows per turn of the UI thread.
    static constexpr int kSortKeySliceRows = 4096;
    // Emptying a grid of at least this many cells frees them on a worker.
    static constexpr qint64 kDisposeOnWorkerCells = 20000;
    // The properties modes.
    static constexpr unsigned kPropertiesNormal = 0x1111;
    static constexpr unsigned kPropertiesDirList = 0x100;
    static constexpr unsigned kPropertiesURL = 0x10000;
    // The grid-line colours of a listing (none shown) and of other grids.
    static constexpr quint32 kDirListLineColour = 0xFFFFFF;
    static constexpr quint32 kGridLineColour = 0xC0C0C0;

    explicit CMyGrid(QWidget* parent = nullptr);
    ~CMyGrid() override;

    // The windows around the grid. A grid belongs to a dialog until the view
    // that holds it gives it the view's site; null makes it a dialog's again.
    void SetSite(CMyGridSite* site);
    CMyGridSite& Site() const { return *m_site; }

    // Creates the grid window; "the window exists" from then on.
    bool Create(const QRect& rect, QWidget* parent, int controlId, unsigned style = 0);
    bool WindowExists() const { return m_created; }

    // Loading ---------------------------------------------------------------
    // Loads the grid from a URL of the server (none: the URL is used as it
    // is). Asynchronous unless `synchronous` is set or the caller is not the
    // UI thread. Result: whether the request went out (asynchronous) or the
    // reply parsed (synchronous); 0 when the URL is refused or a cancel is
    // pending.
    int GetData(const QString& url, CMySystem* system, bool synchronous);
    // The grid's own URL again, from the selected item's server.
    int Reload();
    int BeginLoad();
    int EndLoad();
    // Stop: cancels the grid's request and ends the load or replay that
    // runs, keeping the rows that arrived; a grid at rest is left as it is.
    void StopLoad();
    // Empties the grid; off the UI thread it asks the UI thread and waits.
    void ResetGrid();
    // Drops the last row, keeping the selection. 0 when there are no rows.
    int DeleteLastRow();
    void SetExpectedRows(int count);
    // A grid reply waits behind the client end: replays it as it arrives.
    void OnGridDataReady(CNamedPipe clientEnd);
    // Whether the pipe reader is replaying a reply.
    bool IsLoading() const { return m_fReading; }
    bool IsReading() const { return m_fReading; }
    // Whether its request waits for the server or its reply is being read.
    bool IsFetching() const;
    bool IsLoadRunning() const { return m_fLoading; }

    // While set, the end of a load leaves the grid hidden and a replay
    // stops at its next record.
    void SetHoldHidden(bool hold) { m_fHoldHidden = hold; }
    bool GetHoldHidden() const { return m_fHoldHidden; }
    // The next load selects the rows of these "[PKEY]" keys.
    void SetReselectAfterLoad(bool reselect, const QString& keys = {});
    bool GetReselectAfterLoad() const { return m_fReselectAfterLoad; }
    void SetSavePrefsOnReset(bool save) { m_fSavePrefsOnReset = save; }
    void SetAutoSizeColumns(bool autoSize) { m_fAutoSizeColumns = autoSize; }

    // The XML handlers ----------------------------------------------------
    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override;
    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override;

    // Building a grid without XML -------------------------------------------
    void AddColumn(const QString& colname, const QString& colhead, const QString& colprops);
    // One cell of the current row; the caller feeds the row's start and end.
    void AddCell(const QString& text);

    // Columns and cells -----------------------------------------------------
    void SetupColumn(int xmlCol);
    // Formats and stores the text of XML column `xmlCol` in `row`; false
    // when the column is not mapped.
    bool SetCellText(int row, int xmlCol, const QString& text);
    // Sizes the columns without a width of their own to their header and
    // the first rows loaded.
    void FitColumnsToText();
    void EqualizeHeaderLines();
    void FitRowHeight(int row, int col);
    QString GetColumnHeaderTip(int col) const override;
    void OnColumnMoved(int from, int to) override;
    // Context help, then no-sort columns, the navigator's server-side sort
    // of paged data, else a local sort by the cells' values.
    void OnHeaderRowClick(const CCellID& cell) override;
    static QString MakeAddressSortKey(const QString& text);

    // The column table and the XML-to-grid column map. The map holds grid
    // column + 1 (0: not placed) for XML columns 1 to 150; GridColToXmlCol
    // takes a grid column index and gives the XML column, 0 for none.
    const GridColumn* GetColumn(int xmlCol) const;
    const GridColumn* GetGridColumnEntry(int gridCol) const;
    int XmlColToGridCol(int xmlCol) const;
    int GridColToXmlCol(int gridCol) const;
    int SetXmlToGridColMap(int xmlCol, const QString& colname);
    int FindColumnByName(const QString& name) const;
    int SortByColName(const QString& name, bool ascending);
    void FreeRowData(int row);
    void FreeCellData(int row, int col);

    // The directory listing.
    bool IsDirList() const { return m_fDirlist; }
    void SetDirListFilter(const QString& filter) { m_strDirListFilter = filter; }
    QString GetDirListFilter() const { return m_strDirListFilter; }
    QString GetDirListPath() const { return m_strDirListPath; }
    int GetDirListNameColumn() const { return m_iXmlColDirlistName; }

    // Getters.
    bool ComputePrefKeyBase();
    QString GetPrefKeyBase() const { return m_strPrefKeyBase; }
    QString GetMenuName() const { return m_strMenuName; }
    QString GetDragType() const { return m_strDragType; }
    void SetDragType(const QString& dragType) { m_strDragType = dragType; }
    QString GetPropertiesURL() const { return m_strPropertiesURL; }
    QString GetGridURL() const { return m_strGridURL; }
    const KPROPS& GetGridProperties() const { return m_GridProperties; }
    int GetXmlRowCount() const { return m_iXmlRow; }
    int GetExpectedRows() const { return m_iExpectedRows; }
    quint32 GetServerPid() const { return m_iServerPid; }
    quint16 GetRequestId() const { return GetRequesterId(); }
    unsigned GetPropertiesMode() const { return m_dwPropertiesMode; }
    unsigned GetRowProperty() const { return m_dwRowProperty; }
    bool GetNoRows() const { return m_fNoRows; }
    bool GetSynchRowCountWithTreeItem() const { return m_fSynchRowCountWithTreeItem; }
    const CellFormatStyle& FormatStyle() const { return m_style; }
    Tooltip* GetTooltip() const { return m_tooltip.get(); }

    // Row keys and selection ------------------------------------------------
    int SelectRows(const QString& keys, const QString& property, const QString& separator,
                   const QString& joiner);
    QString GetSelectedRowsByColProp(const QString& property, int most, const QString& separator,
                                     const QString& joiner) const;
    QString GetSelectedRowsByColName(const QString& column, int& count, int most) const override;
    QString GetSelectedRowsByColProp(const QString& property,
                                     const QString& separator) const override {
        return GetSelectedRowsByColProp(property, 0, separator, QStringLiteral("@"));
    }
    int GetCellRangeRowCount() const override {
        const CCellRange range = GetCellRange();
        return range.IsValid() ? range.maxRow - range.minRow + 1 : 0;
    }
    int GetSelectedRowCount() const override { return CGridCtrl::GetSelectedRowCount(); }

    // The window messages of other programs, as methods -------------------
    // WM_GETTEXT with 1000 + column: the focused row's text; its length, -1
    // for a column out of range, -2 for no focused row.
    int GetFocusedRowText(int col, QString& text) const;
    // WM_SETTEXT: 1 looks a column up by name, 2 filters the rows with flags
    // 0x11; anything else gives 0.
    int SetTextQuery(int query, const QString& text);
    // The row filter: rows none of whose visible cells contain the text get
    // height 0 (with kFilterHide; otherwise they are only tested). A longer
    // text that extends the last one leaves the rows it hid alone. 1 when a
    // data row matched; always 1 for the empty text, which shows every row.
    static constexpr unsigned kFilterHide = 0x10;
    int FilterRows(const QString& text, unsigned flags);
    // A filter text hides rows now.
    bool IsFiltered() const { return !m_strFilter.isEmpty(); }
    // 1 when a hidden row came back.
    int ShowAllRows();
    // A hidden row back at its natural height.
    void RestoreRow(int row);
    // The first shown data row (column) whose text in the column (row)
    // equals the text, ignoring case; 0 when none (0x507).
    int FindRowByText(int col, const QString& text);
    int FindColumnByText(int row, const QString& text);
    // "Rows: n" of the shown data rows in the status bar.
    void UpdateRowCountLabel();
    // 0x500 to 0x502 and 0x505.
    int GetVisibleRowCount() const;
    int GetVisibleColumnCount() const;
    int GetFirstSelectedRow() const;
    int SelectRowRange(int first, int last);

    // Exports ---------------------------------------------------------------
    // Writes every shown row, or the selected ones, as a comma-separated
    // file; without a path asks for one. 1 when written, 0 on failure or
    // when the user cancels.
    int SaveAsCSV(bool selectedOnly, bool includeHidden, const QString& path);
    // Replaces the file atomically, UTF-8 with LF line ends; 1 or 0.
    int WriteGridFile(const QString& path, QChar separator, bool selectedOnly, bool includeHidden);
    void CollectRows(bool selectedOnly, bool withHeader, ExportRows& out) const;
    // The clipboard's text of the rows, in UTF-8.
    static QByteArray BuildCsvText(const ExportRows& rows);
    // Appends the clipboard's HTML table of the rows, in UTF-8.
    static void AppendHtmlTable(const ExportRows& rows, QByteArray& utf8);
    static QString ColorToHtml(quint32 colour);
    // The selected rows as an HTML table and as text.
    std::unique_ptr<QMimeData> ClipboardData(bool withHeader) const;
    // Edit > Copy: ClipboardData on the clipboard.
    void CopyToClipboard(bool withHeader);
    // Command 486: the grid's state and column map in a text file, opened
    // by the desktop.
    void OnDebugGrid();

    // Drag and the server's menu -------------------------------------------
    // The grid record of the selection (its size), null without one.
    QMimeData* CopySelection() override;
    // Only a grid whose server's rules let its drag type be dragged.
    void OnBeginDrag() override;
    // Adds the server's menu named by the grid to the popup, and "Debug
    // Grid..." while context debugging is on; 0 when the server has no such
    // menu.
    int BuildContextMenu(QMenu& popup, QWidget* owner);
    // The server menu's commands (40000 to 50000); the menu command's result
    // or 0.
    int OnCustomCmd(int commandId, int commandCode, qintptr extra);

    // The "Days" cell of `row` of a job list moved by a day in `direction`.
    void RewriteDaysCell(int row, int direction);

    // Notifications, keys and the column layout ----------------------------
    // Every notification of the control is logged with its outcome; the
    // codes acted on here give 1, the others the owner's answer.
    qintptr OnNotify(GridNotifyHeader* header) override;
    // The double-click on data row `row`: a listing's directory opens in the
    // World View, a second double-click on the only selected row closes the
    // panel, else the menu's "double-click" item runs.
    int HideDetail(int row);
    // The column positions, widths and sort under the key base. Nothing
    // while the grid has no rows or no key base.
    void SaveColumnPrefs() override;
    // The keys after the control's own handling (key codes as the system's).
    using CGridCtrl::OnKeyDown;
    void OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // True when Alt+Enter ran the "alt-enter" item.
    bool OnSysKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // The properties panel and the row commands ----------------------------
    // Shows, refreshes or hides the panel for the selection (main grid only).
    int UpdatePropertiesPanel(const QString& url);
    // The panel again for the current selection: the menu item that filled
    // it runs again, else the row's own properties.
    int RefreshProperties();
    int RunDoubleClickItem();
    int OnAltEnter();
    int NewRow();
    int AppendBlankRow();
    // The selected row's visible cells as the properties page; 0 (panel
    // closed) unless exactly one row is selected.
    int ShowRowProperties();
    // F1 while the title tip shows over a column head: its help opens.
    int ShowColumnHelp();
    int OnDeleteKey();
    bool IsLastRowEmpty() const;
    bool IsDirectoryRow(int row) const;
    // The command id of the menu item whose command filled the panel; 0
    // when the panel shows the grid's own page.
    void SetPropertiesPanelMenuItem(int commandId) { m_pPropertiesPanelMenuItem = commandId; }
    int GetPropertiesMenuItem() const override { return m_pPropertiesPanelMenuItem; }
    void SetPropertiesMenuItem(int commandId) override { SetPropertiesPanelMenuItem(commandId); }
    // A double-click on the only selected row closed the panel (HideDetail);
    // the next server menu entry opens it again rather than closing it.
    bool IsDetailHidden() const override { return m_fDetailHidden; }
    void ClearDetailHidden() override { m_fDetailHidden = false; }
    // The panel is being refilled by the grid itself (RefreshProperties).
    bool IsOpeningProperties() const override { return m_fRefreshingProperties; }
    // A key list for a query value: "#", "&", "+", "%", blanks and control
    // characters percent-encoded (as UTF-8), everything else, the list's own
    // separators "," and "@" included, as it is.
    static QString EncodeKeysForURL(const QString& keys);
    // "&", "<" and ">" as entities, the ampersand first.
    static QString EscapeForPropertiesPage(const QString& text);

Q_SIGNALS:
    // A replayed reply ended (the grid's load is over).
    void LoadEnded();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A header drag keeps the column map in step (OnColumnMoved); a sorting
    // header click keeps the selected rows selected.
    void OnLButtonUp(Qt::KeyboardModifiers keys, QPoint point) override;
    // The ids go to the server the grid loads from.
    void addServerPid(quint32 pid) override;
    void removeServerPid(quint32 pid) override;

private:
    struct LoadTurn;
    // The handlers on views, shared by the parser and the pipe replay.
    struct Event;
    void handleEvent(const Event& event);
    bool passesGate() const;
    bool wireDefaultHandled(const Event& event);
    void handleStart(const Event& event);
    void handleEnd(const Event& event);
    void startGrid(const Event& event);
    void startDirList(const Event& event);
    void addDirListItem(const Event& event);
    void endRow();
    void endColumnField(QStringView name, const QString& text);
    void endHeaders();
    void endChunks(const Event& event);
    void showDuringLoad();
    // Measures the first rows loaded that the fit of the columns has not
    // seen yet; forgetting them starts the measure afresh.
    void measureFittedRows();
    void forgetFittedRows();
    template <class Visit>
    void forEachFittedColumn(Visit visit);
    void feedStart(QStringView name, QStringView parent);
    void feedEnd(QStringView name, QStringView text, QStringView parent,
                 const QString* ownedText = nullptr);
    void storeCell(int row, int gridCol, const GridColumn& column, QString& text);
    void clearColumnMap();
    void setRowCountForXml();
    int placeColumn(int xmlCol, const GridColumn& column);
    bool mainGrid() const;
    // The grid columns of the XML columns whose properties hold the token.
    std::vector<int> keyColumnsInXmlOrder(const QString& property) const;
    void setStatus(int indicator, const QString& text);
    // Exports: the grid columns and the rows that go out, in order.
    struct ExportColumn {
        int col;
        const GridColumn* entry;
    };
    std::vector<ExportColumn> exportedColumns(bool includeHidden) const;
    std::vector<int> exportedRows(bool selectedOnly, bool withHeader) const;
    // The rows into the text cell by cell, each encoded piece handed to
    // `takeBytes`; false as soon as that answers false.
    bool writeDelimited(DelimitedText& text, const std::vector<int>& rows,
                        const std::vector<ExportColumn>& columns, bool columnHeads,
                        QIODevice& out) const;
    QString debugText() const;
    // The server's menu named by the grid, null when there is none.
    CContextMenu* serverMenu(CMySystem* system) const;
    // IGridEventSink
    void OnGridEvent(const CGridEvent& event) override;
    void OnGridStreamEnd(bool intact) override;
    void OnGridTurnEnd() override;
    void showTurn();
    void sortRows(int col, bool ascending);
    void sortKeepingSelection(const std::function<void()>& sort);
    void endReplay();
    void beginReplay(CNamedPipe clientEnd);
    void reportUnreadableReply();
    void notifySyncEnded();
    void reselectAfterLoad();
    // A load (or replay) is running: selection changes, resizes and sorts
    // are not the user's.
    bool loadingOrReplaying() const { return m_fLoading || m_fReading; }
    // The grid's server menu acts for this grid and the view around it.
    void bindServerMenu(CMySystem& system);
    int runMenuItem(const QString& name, bool rowPropertiesOtherwise);
    void scrollToLowestSelectedRow();
    bool storablePrefKey(const QString& key) const;
    // The column layout and, when they changed, the settings file.
    void saveLayout();
    void logNotification(const GridNotifyInfo& info, const char16_t* name,
                         const QString& outcome) const;
    int loadSynchronously(const QString& fullUrl, const QString& user, const QString& password);

    CMyGridSite* m_site;
    std::unique_ptr<CDialogGridSite> m_dialogSite;
    bool m_created = false;

    KPROPS m_GridProperties{100, 10};
    std::array<GridColumn, kColumnTableSize> m_Columns;
    std::array<int, kColumnTableSize> m_xmlToGridCol{};
    QString m_strGridURL;
    int m_iExpectedRows = 0;
    bool m_fDirlist = false;
    QString m_strDirListFilter;
    QString m_strDirListPath;
    int m_iXmlColDirlistName = 1;
    bool m_fHiddenRows = false;
    QString m_strFilter;  // lower-cased
    bool m_fSynchRowCountWithTreeItem = false;
    quint32 m_iServerPid = 0;
    QString m_strMenuName;
    QString m_strDragType;
    QString m_strPrefKeyBase;
    QString m_strPropertiesURL;
    int m_iXmlRow = 0;
    int m_iXmlCol = 0;
    unsigned m_dwRowProperty = 0;
    unsigned m_dwPropertiesMode = kPropertiesNormal;
    int m_pPropertiesPanelMenuItem = 0;
    bool m_fRefreshingProperties = false;
    bool m_fDetailHidden = false;
    // A selection change during a load waits for its end.
    bool m_fPropertiesPending = false;
    bool m_fAutoSizeColumns = false;

    // The load.
    bool m_fLoading = false;
    bool m_fNoRows = true;
    qint64 m_tLoadStart = 0;
    int m_iSortColumn = -1;
    bool m_fSortAscending = false;
    // A header click during the replay: the column (-1: none) and direction
    // that sort the rows at the end of the load. Kept here, as every row
    // that arrives clears the control's sort mark.
    int m_iSortChosenDuringLoad = -1;
    bool m_fSortChosenAscending = false;
    std::atomic<bool> m_fReading{false};
    std::atomic<bool> m_fHoldHidden{false};
    bool m_fReselectAfterLoad = false;
    QString m_strReselectKeys;
    bool m_fSavePrefsOnReset = true;
    CMySystem* m_system = nullptr;
    CellFormatStyle m_style;
    CGridEventReader m_reader{*this};
    CRepeatedTexts m_repeatedTexts;
    QElapsedTimer m_turnClock;
    unsigned m_turnEvents = 0;
    bool m_turnOpen = false;
    QElapsedTimer m_refreshClock;
    QTimer m_refreshTimer;
    int m_shownRows = 0;  // the row count the viewport last showed
    // The first data rows measured for the fit of the columns, and the
    // widest extent found in each XML column.
    int m_fittedRows = 0;
    std::array<int, kColumnTableSize> m_fittedWidths{};
    // Tells a worker that waits on a replay that it ended.
    std::function<void()> m_syncEnded;
    // Why the reply being replayed could not be read, as its download said;
    // and whether it gave the grid its columns.
    QString m_replyFailure;
    bool m_sawNumCols = false;
    std::unique_ptr<Tooltip> m_tooltip;
};
