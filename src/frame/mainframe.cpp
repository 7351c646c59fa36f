#include "frame/mainframe.h"

#include "tree/leftview.h"

#include "frame/animatectrl.h"
#include "frame/browserview.h"
#include "frame/dialogview.h"
#include "frame/editor.h"
#include "frame/folderlist.h"
#include "frame/framecommands.h"
#include "frame/framesite.h"
#include "frame/maingridsite.h"
#include "frame/myview.h"
#include "frame/navigateargs.h"
#include "frame/sizingcontrolbar.h"
#include "frame/statusbar.h"
#include "framework/klog.h"
#include "grid/mygrid.h"
#include "net/wireservices.h"
#include "resources/strings.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "settings/urltext.h"
#include "tree/mytree.h"
#include "ui/stringtriple.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QTreeWidget>

CMainFrame::CMainFrame(CFrameSite& site) : m_site(site) {
    m_refreshTimer.setObjectName(QStringLiteral("MY_REFRESH_TIMER"));
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] { OnTimer(kRefreshTimerId); });
    m_rowCounterTimer.setInterval(50);
    connect(&m_rowCounterTimer, &QTimer::timeout, this, [this] { OnTimer(kRowCounterTimerId); });
    // Status pane 1 follows the current server as the idle update kept it.
    m_userPaneTimer.setInterval(500);
    connect(&m_userPaneTimer, &QTimer::timeout, this, [this] { updateUserPane(); });
    m_userPaneTimer.start();
    m_treeReader = new CTreeChunkReader(*this, this);
    auto* closeKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
    connect(closeKey, &QShortcut::activated, this, &CMainFrame::OnCloseKey);
    createBars();
    if (!createClient()) {
        kErrorLog(u"CMainFrame: the panes could not be built.\n");
    }
    UpdateTitle({});
    restorePlacement();
    installMessageHandlers();
}

CMainFrame::~CMainFrame() {
    // The commands go first: the panes' destruction moves the focus, and a
    // focus change must not ask a half-destroyed frame for command states.
    delete m_commands;
    m_commands = nullptr;
    if (!HaveUiServices()) {
        return;
    }
    CUiBridge& bridge = UiServices().Bridge();
    for (UiMessage message :
         {UiMessage::RunScript, UiMessage::StatusText, UiMessage::Busy, UiMessage::RenderTabs,
          UiMessage::RenderMyView, UiMessage::ShowProgress, UiMessage::HideProgress,
          UiMessage::NavigatePost, UiMessage::Navigate2, UiMessage::GetFormField,
          UiMessage::SetFormField}) {
        bridge.RemoveHandler(message);
    }
}

bool CMainFrame::createClient() {
    kDebugLog(u"START: CMainFrame::OnCreateClient()\n");
    m_outerSplitter = new CPanelManager(this);
    if (!m_outerSplitter->CreateStatic(1, 2)) {
        kErrorLog(u"MAIN PANEL CREATION FAILED.\n");
        return false;
    }
    m_outerSplitter->setProperty("controlId", CExtSplitter::kFirstPaneId);
    setCentralWidget(m_outerSplitter);

    kDebugLog(u"creating: %s ...\n", u"VERT_LEFTVIEW");
    auto* leftView = new CLeftView(m_site.Tree(), m_site.LeftViewHost());
    m_outerSplitter->CreateView(0, 0, leftView, kLeftViewWidth);
    // Labels that come later, a server's tree after login or an item
    // opened, widen the pane too, once the event that brought them is done.
    m_fitPaneTimer.setSingleShot(true);
    connect(&m_fitPaneTimer, &QTimer::timeout, this, &CMainFrame::FitWorldViewPane);
    const auto fitLater = [this] { m_fitPaneTimer.start(0); };
    connect(leftView->model(), &QAbstractItemModel::rowsInserted, this, fitLater);
    connect(leftView, &QTreeWidget::itemExpanded, this, fitLater);

    kDebugLog(u":: creating RHS panel ...\n");
    m_rightSplitter = new CPanelManager;
    if (!m_rightSplitter->CreateStatic(kRightHandRows, 1)) {
        kErrorLog(u"RHS PANEL CREATION FAILED.\n");
        return false;
    }
    m_rightSplitter->SetTabsRowFixed(true);
    m_outerSplitter->CreateView(0, 1, m_rightSplitter, 1);

    struct Row {
        const char16_t* name;
        QWidget* view;
    };
    CTabsHost tabsHost{m_site.Tree(), m_site.Prefs(),
                       [this](const QString& locator) { return ShowCurl(locator, false); },
                       [this] {
                           m_site.AbortActions();
                           m_site.ClearCancelFlag();
                       }};
    auto* myView = new CMyView(m_site.Tree(), m_site.Prefs(), m_site.Panels());
    connect(myView, &CMyView::ItemActivated, this,
            [this](QTreeWidgetItem* item) { m_site.Tree().SelectItem(item, false); });
    connect(myView, &CMyView::CommandChosen, this, [this](int commandId) { OnCommand(commandId); });
    connect(myView, &CMyView::RefreshRequested, this,
            [this](QTreeWidgetItem* item) { m_site.RefreshItemKeepSelection(item, false); });
    m_gridSite = std::make_unique<CMainGridSite>(*myView, *this, m_site);
    myView->SetGridSite(m_gridSite.get());
    const Row rows[kRightHandRows] = {{u"RHS_TABS", new CDialogView(tabsHost)},
                                      {u"RHS_MYVIEW", myView},
                                      {u"RHS_EDITOR", new CEditor},
                                      {u"RHS_BROWSER1", new CBrowserView}};
    for (int row = 0; row < kRightHandRows; ++row) {
        kDebugLog(u"creating: %s ...\n", rows[row].name);
        rows[row].view->setObjectName(QString::fromUtf16(rows[row].name));
        if (!m_rightSplitter->CreateView(row, 0, rows[row].view, 0)) {
            kErrorLog(u"CREATION FAILED: %s.\n", rows[row].name);
            return false;
        }
    }
    m_outerSplitter->SetColumnInfo(1, 1, 0);
    m_outerSplitter->SetActivePane(0, 0);
    m_outerSplitter->RecalcLayout();
    // The user's placing of the World View pane is a setting of its own: it
    // is kept even when nothing else changed.
    connect(m_outerSplitter, &QSplitter::splitterMoved, this, [this] {
        m_site.Prefs().SetInt(QStringLiteral("Splitter1"),
                              m_outerSplitter->GetColumnInfo(0).current);
    });
    kDebugLog(u"END: CMainFrame::OnCreateClient()\n");
    return true;
}

void CMainFrame::installMessageHandlers() {
    CUiBridge& bridge = UiServices().Bridge();
    bridge.SetHandler(UiMessage::RunScript, [this](quintptr path, quintptr) -> qintptr {
        m_site.RunActionScript(*reinterpret_cast<const QString*>(path));
        return 0;
    });
    bridge.SetHandler(UiMessage::StatusText, [](quintptr text, quintptr) -> qintptr {
        UiServices().SetStatusText(*reinterpret_cast<const QString*>(text),
                                   CStatusBar::kMessagePane);
        return 0;
    });
    bridge.SetHandler(UiMessage::RenderTabs, [this](quintptr templateId, quintptr) -> qintptr {
        CDialogView* tabs = GetDialogView();
        return tabs != nullptr ? tabs->RenderOnUIThread(static_cast<int>(templateId)) : 0;
    });
    bridge.SetHandler(
        UiMessage::RenderMyView, [this](quintptr locator, quintptr context) -> qintptr {
            CMyView* view = GetMyView();
            return view != nullptr
                       ? view->RenderOnUIThread(*reinterpret_cast<const QString*>(locator),
                                                reinterpret_cast<QTreeWidgetItem*>(context))
                       : 0;
        });
    bridge.SetHandler(UiMessage::ResetGrid, [this](quintptr, quintptr) -> qintptr {
        if (CMyGrid* grid = GetGrid()) {
            grid->ResetGrid();
        }
        return 0;
    });
    bridge.SetHandler(UiMessage::ShowProgress, [this](quintptr, quintptr) -> qintptr {
        return m_statusBar->ShowProgressControl() ? 1 : 0;
    });
    bridge.SetHandler(UiMessage::HideProgress, [this](quintptr, quintptr) -> qintptr {
        m_statusBar->HideProgressControl();
        return 1;
    });
    const auto navigate = [this](quintptr args, quintptr) -> qintptr {
        if (CBrowserView* browser = GetBrowserView()) {
            browser->Navigate(*reinterpret_cast<const CNavigateArgs*>(args));
        }
        return 0;
    };
    bridge.SetHandler(UiMessage::NavigatePost, navigate);
    bridge.SetHandler(UiMessage::Navigate2, navigate);
    bridge.SetHandler(UiMessage::GetFormField, [this](quintptr request, quintptr result) {
        const auto* fields = reinterpret_cast<const CStringTriple*>(request);
        if (CBrowserView* browser = GetBrowserView()) {
            *reinterpret_cast<QString*>(result) =
                browser->GetFormFieldValue(fields->first, fields->third);
        }
        return qintptr(0);
    });
    bridge.SetHandler(UiMessage::SetFormField, [this](quintptr request, quintptr result) {
        const auto* fields = reinterpret_cast<const CStringTriple*>(request);
        if (CBrowserView* browser = GetBrowserView()) {
            *reinterpret_cast<QString*>(result) =
                browser->SetFormFieldValue(fields->first, fields->second, fields->third);
        }
        return qintptr(0);
    });
    bridge.SetHandler(UiMessage::Busy, [](quintptr state, quintptr) -> qintptr {
        if (state == kBusyBegins) {
            UiServices().BeginBusy();
        } else if (state == kBusyEnds) {
            UiServices().EndBusy();
        }
        return 0;
    });
}

void CMainFrame::restorePlacement() {
    const CPreferences& prefs = m_site.Prefs();
    QRect rect;
    if (prefs.RestoreMainFramePosition(rect) != 0) {
        setGeometry(rect);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // First run: a comfortable share of the desktop.
        resize(screen->availableGeometry().size() * 3 / 4);
    }
    setWindowState(prefs.GetSavedWindowState(QStringLiteral("Main")));
}

void CMainFrame::FitWorldViewPane() {
    CLeftView* pane = GetLeftView();
    if (pane == nullptr) {
        return;
    }
    // A width the user gave the pane stays as it is.
    if (!m_site.Prefs().GetString(QStringLiteral("Splitter1")).isEmpty()) {
        pane->StopFitting();
        return;
    }
    const int current = m_outerSplitter->GetColumnInfo(0).current;
    const int wanted = qMin(pane->FittingWidth(), width() / 3);
    if (wanted > current) {
        m_outerSplitter->SetColumnInfo(0, wanted, m_outerSplitter->GetColumnInfo(0).minimum);
        m_outerSplitter->RecalcLayout();
    }
    // The rest of many new rows are measured in the next turns.
    if (pane->FittingPending()) {
        m_fitPaneTimer.start(0);
    }
}

CLeftView* CMainFrame::GetLeftView() const {
    return qobject_cast<CLeftView*>(m_outerSplitter->GetPane(0, 0));
}

CDialogView* CMainFrame::GetDialogView() const {
    return qobject_cast<CDialogView*>(m_rightSplitter->GetRowPane(kTabsRow));
}

CMyView* CMainFrame::GetMyView() const {
    return qobject_cast<CMyView*>(m_rightSplitter->GetRowPane(kMyViewRow));
}

CFolderList* CMainFrame::GetFolderList() const {
    const CMyView* view = GetMyView();
    return view != nullptr ? view->GetFolderList() : nullptr;
}

CMyGrid* CMainFrame::GetGrid() const {
    const CMyView* view = GetMyView();
    return view != nullptr ? view->GetGrid() : nullptr;
}

CEditor* CMainFrame::GetEditor() const {
    return qobject_cast<CEditor*>(m_rightSplitter->GetRowPane(kEditorRow));
}

CBrowserView* CMainFrame::GetBrowserView() const {
    return qobject_cast<CBrowserView*>(m_rightSplitter->GetRowPane(kBrowserRow));
}

void CMainFrame::StartThrobber() {
    m_throbber->setEnabled(true);
    m_throbber->show();
    m_throbber->Play();
}

void CMainFrame::StopThrobber() {
    m_throbber->Stop();
}

void CMainFrame::UpdateTitle(const TitleFacts& facts) {
    const QString product = LoadResourceString(457);
    const QString by = LoadResourceString(463);
    static const QString newServer = QStringLiteral("New Server");
    if (facts.serverLabel.isEmpty() || facts.label.isEmpty() ||
        (facts.serverLabel == newServer && facts.label == newServer)) {
        setWindowTitle(kFormat(u"%s %s", product, by));
        return;
    }
    if (!facts.user.isEmpty()) {
        setWindowTitle(kFormat(u"%s - %s@%s - %s %s", facts.label, facts.user, facts.serverLabel,
                               product, by));
    } else {
        setWindowTitle(kFormat(u"%s - %s - %s %s", facts.label, facts.serverLabel, product, by));
    }
    UiServices().SetStatusText(
        kFormat(u"%s: %s ... (%s)", LangLookup(QStringLiteral("Loading")), facts.label,
                LangLookup(QStringLiteral("Press Stop Button in Toolbar to Cancel"))),
        CStatusBar::kMessagePane);
}

int CMainFrame::OpenProperties(const QString& url) {
    if (!m_site.HasSelectedItem()) {
        return 0;
    }
    WireServices().RecordUrlTrail(url);
    // The URL goes on as it is: re-encoding it through a code page would
    // corrupt every character outside that code page.
    const QString fullUrl = IsURL(url) ? url : m_site.SelectedServerBaseURL() + url;
    CBrowserView* browser = GetBrowserView();
    if (browser == nullptr) {
        return 0;
    }
    if (!m_rightSplitter->IsRowVisible(kBrowserRow)) {
        m_rightSplitter->ShowRow(kBrowserRow);
        const int height = m_rightSplitter->PaneSpace();
        const int browserHeight = (height / 2) * 4 / 3;
        m_rightSplitter->SetRowInfo(kMyViewRow, height - browserHeight, 0);
        m_rightSplitter->SetRowInfo(kBrowserRow, browserHeight, 0);
        m_rightSplitter->RecalcLayout();
        m_propertiesOpen = true;
    }
    if (fullUrl != m_propertiesUrl) {
        browser->Navigate2(fullUrl);
    }
    m_propertiesUrl = fullUrl;
    return 1;
}

int CMainFrame::CloseProperties() {
    CBrowserView* browser = GetBrowserView();
    if (!m_site.HasSelectedItem() || browser == nullptr) {
        return 0;
    }
    if (m_propertiesOpen || m_rightSplitter->IsRowVisible(kBrowserRow)) {
        m_site.Prefs().SetInt(
            QStringLiteral("SplitterPropsView"),
            m_rightSplitter->PaneSpace() - m_rightSplitter->GetRowInfo(kMyViewRow).current);
    }
    m_propertiesUrl.clear();
    m_rightSplitter->HideRow(kBrowserRow);
    const CMyView* view = GetMyView();
    m_rightSplitter->SetRowInfo(kMyViewRow, view != nullptr ? view->height() : 0, 0);
    browser->Navigate2(QStringLiteral("about:blank"));
    m_rightSplitter->RecalcLayout();
    m_propertiesOpen = false;
    return 1;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_exited) {
        runExitSequence();
    }
    event->accept();
}

void CMainFrame::runExitSequence() {
    m_exited = true;
    kDebugLog(u"CMainFrame: exit...\n");
    m_site.SetUp(false);
    KillRefreshTimer();
    if (CBrowserView* browser = GetBrowserView()) {
        browser->Stop();
    }
    if (!m_site.SelectedItemHasBrowserPart()) {
        if (m_propertiesOpen) {
            CloseProperties();
        }
        m_rightSplitter->HideRow(kBrowserRow);
    }
    const QString fullCurl = m_site.SelectedItemFullCurl();
    m_site.LogoutAllServers();
    if (!fullCurl.isEmpty()) {
        m_site.Prefs().SetString(QStringLiteral("CurrentCurl"), fullCurl);
    }
    m_site.SaveRebarLayout();
    m_site.AskSaveWorldViewOnExit();
    m_site.SaveColumnPreferences();
    // The placement is a change of its own: a moved or resized window is
    // saved even when no setting changed.
    m_site.Prefs().SaveWindowPlacement(QStringLiteral("Main"), *this);
    m_site.Prefs().SavePrefs(0);
    // From here on workers get no more window work done.
    UiServices().Bridge().BeginExit();
}
