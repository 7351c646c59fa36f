#include "app/theapp.h"

#include "app/appcontextmenuhost.h"
#include "app/appleftviewhost.h"
#include "frame/loginpanels.h"
#include "tree/leftview.h"

#include "app/actioninterpreter.h"
#include "app/actionrunner.h"
#include "app/actions.h"
#include "app/appactionwindows.h"
#include "app/appbrowsersite.h"
#include "app/appchoosersite.h"
#include "app/appframesite.h"
#include "app/appmysystemsite.h"
#include "app/appnetreceiver.h"
#include "app/apppreferencessite.h"
#include "app/appprogressbarsite.h"
#include "app/appwireservices.h"
#include "app/appworldviewsite.h"
#include "app/history.h"
#include "app/theappservices.h"
#include "dialogs/chooserpanels.h"
#include "dialogs/progressbar.h"
#include "frame/iebar.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "frame/statusbar.h"
#include "framework/kcrash.h"
#include "framework/kfile.h"
#include "framework/klog.h"
#include "framework/kpath.h"
#include "framework/ktime.h"
#include "net/xmltext.h"
#include "platform/filetypes.h"
#include "resources/strings.h"
#include "server/mysystem.h"
#include "settings/settingsfolder.h"
#include "settings/uithreadcall.h"
#include "settings/wholefile.h"
#include "settings/windowtitletoken.h"
#include "ui/busycursor.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSessionManager>
#include <QTimer>
#include <QTreeWidget>

namespace {

CTheApp* g_theApp = nullptr;

}  // namespace

CTheApp& theApp() {
    Q_ASSERT(g_theApp != nullptr);
    return *g_theApp;
}

bool HaveTheApp() {
    return g_theApp != nullptr;
}

CTheApp::CTheApp()
    : m_popups(
          m_bridge,
          {.suppressed =
               [this] { return GetUserVariable(QStringLiteral("suppressallpopups")).toInt() != 0; },
           .owner = [this]() -> QWidget* { return MainFrame(); },
           .countError = [this] { AddToCancelFlag(); },
           .cancelProgress =
               [this] {
                   if (m_services->IsProgressActive()) {
                       m_services->CancelProgress();
                   }
               }}),
      m_singleInstance(Getlocalsettingsdir()),
      m_netReceiver(std::make_unique<CAppNetReceiver>(*this)),
      m_services(std::make_unique<CTheAppServices>(*this)),
      m_wireServices(std::make_unique<CAppWireServices>(*this)),
      m_prefsSite(std::make_unique<CAppPreferencesSite>(*this)),
      m_mySystemSite(std::make_unique<CAppMySystemSite>(*this)),
      m_frameSite(std::make_unique<CAppFrameSite>(*this)),
      m_worldViewSite(std::make_unique<CAppWorldViewSite>(*this)),
      m_browserSite(std::make_unique<CAppBrowserSite>(*this)),
      m_leftViewHost(std::make_unique<CAppLeftViewHost>(*this)),
      m_contextMenuHost(std::make_unique<CAppContextMenuHost>(*this)),
      m_progressSite(std::make_unique<CAppProgressBarSite>(*this)),
      m_chooserSite(std::make_unique<CAppChooserSite>(*this)),
      m_actionWindows(std::make_unique<CAppActionWindows>(*this)),
      m_history(std::make_unique<CHistory>()),
      m_interpreter(std::make_unique<CActionInterpreter>(*this)),
      m_runner(std::make_unique<CActionRunner>(*this)) {
    g_theApp = this;
    SetUiServices(this);
    const QString settingsFolder = Getlocalsettingsdir();
    const QString logPath = PathJoin(settingsFolder, u"Quillex.log");
    const QString debugPath = PathJoin(settingsFolder, u"Quillex.dbg");
    addFile(debugPath, QStringLiteral("FILE|debug flag"));
    addFile(logPath, QStringLiteral("FILE|debug log"));
    kInit(QStringLiteral("ZRM"), logPath, debugPath, 0);
    kInstallCrashHandler();
    kDebugLog(u"CTheApp -- constructor...\n");
    m_modulePath = QCoreApplication::applicationFilePath();
    kDebugLog(u"CTheApp -- constructor (done).\n");

    m_prefs.SetSite(m_prefsSite.get());
    RegisterLoginPanels(m_panels, m_tree, m_prefs);
    RegisterChooserPanels(m_panels, *m_chooserSite);
    m_worldViewFile.SetSite(m_worldViewSite.get());
    SetActiveLangPack(&m_langPack);
    m_langPack.SetErrorBox([this](const QString& text) { ErrorBox(text); });
    m_popups.SetWaitHook([this](bool open) { boxWaits(open); });
    SetWireServices(m_wireServices.get());
    SetMySystemSite(m_mySystemSite.get());
    SetBrowserSite(m_browserSite.get());
    m_dispatcher.UiBridge().SetContext(this);
    m_dispatcher.UiBridge().SetReceiver(m_netReceiver.get());
    m_dispatcher.UiBridge().SetLogout(m_netReceiver.get());
    SetContextMenuHost(m_contextMenuHost.get());
    SetSettingsUiRunner(
        [this](const UiWork& work, qintptr* result) { return m_bridge.Call(work, result); });
    qApp->installEventFilter(this);

    m_history->SetServerLookup([this] {
        CHistory::TrailServer server;
        if (const CServerConnection* system = m_tree.GetSystem(m_tree.GetSelectedItem())) {
            server = {true, system->User, system->Password, system->GetBaseURL(false)};
        }
        return server;
    });
    m_history->SetReplay([this](const QString& locator) { return DispatchCurl(locator); });
    m_actions = std::make_unique<CActions>(
        *this, [this](CActionContext& context) { m_interpreter->CurlPath(context); });
}

CTheApp::~CTheApp() {
    // Workers must find every window call refused before anything they
    // might wait on goes away.
    m_bridge.BeginExit();
    // The worker ends after its running action; the rest are dropped.
    m_actions.reset();
    qApp->removeEventFilter(this);
    m_dispatcher.UiBridge().SetReceiver(nullptr);
    m_dispatcher.UiBridge().SetLogout(nullptr);
    m_dispatcher.UiBridge().SetContext(nullptr);
    SetContextMenuHost(nullptr);
    m_tree.SetHost(nullptr);
    m_progressBar.reset();
    m_floatingBars.reset();
    m_mainFrame.reset();
    ForgetSmartCardLogin();
    SetSettingsUiRunner({});
    // The request workers read the wire services: they stop before those go.
    m_dispatcher.DropAllSessions();
    SetBrowserSite(nullptr);
    SetMySystemSite(nullptr);
    SetWireServices(nullptr);
    SetActiveLangPack(nullptr);
    m_prefs.SetSite(nullptr);
    m_worldViewFile.SetSite(nullptr);
    SetUiServices(nullptr);
    g_theApp = nullptr;
}

void CTheApp::SetServices(std::unique_ptr<CAppServices> services) {
    if (services == nullptr) {
        qFatal("CTheApp::SetServices: no CAppServices given");
    }
    m_services = std::move(services);
}

CImageLists& CTheApp::ImageLists() {
    m_imageLists.CreateImageLists();
    return m_imageLists;
}

void CTheApp::addFile(const QString& path, const QString& role) {
    const std::lock_guard lock(m_listMutex);
    m_fileList.Add(path, role);
}

KPROPS CTheApp::FileListCopy() const {
    const std::lock_guard lock(m_listMutex);
    KPROPS copy(100, 10);
    copy.Merge(&m_fileList);
    return copy;
}

QString CTheApp::GetUserVariable(const QString& name) const {
    const std::lock_guard lock(m_listMutex);
    return m_userVariables.GetValue(name);
}

void CTheApp::SetUserVariable(const QString& name, const QString& value) {
    const std::lock_guard lock(m_listMutex);
    m_userVariables.Add(name, value);
}

bool CTheApp::IsAbortedThread() const {
    const Qt::HANDLE aborted = m_abortThread.load();
    return aborted != nullptr && aborted == QThread::currentThreadId();
}

// ---- start-up ----

bool CTheApp::InitInstance(const QStringList& arguments) {
    kDebugLog(u"CTheApp::InitInstance...\n");
    // The command line is the argument as given: quotes in it belong to the path.
    const QString commandLine = arguments.isEmpty() ? QString() : arguments.first();
    if (arguments.size() > 1) {
        kWarningLog(u"CTheApp: only the first argument is used; %d more ignored.\n",
                    static_cast<int>(arguments.size() - 1));
    }
    if (!m_terminationSignals.Install([this](int signalNumber) { closeOnSignal(signalNumber); })) {
        kWarningLog(u"CTheApp: termination signals end the program unsaved: %s\n",
                    m_terminationSignals.ErrorText());
    }
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager& manager) { closeForSessionEnd(manager); });
    const bool anotherIsStarting = !m_singleInstance.AcquireStartupLock();
    if (anotherIsStarting && commandLine.contains(QStringLiteral(".curl")) &&
        handOffScript(commandLine)) {
        return false;
    }
    listenForHandOffs();

    kDebugLog(u":: ParseCommandLine()...\n");
    m_prefs.RestorePrefs();

    kDebugLog(u":: ProcessShellCommand()...\n");
    m_mainFrame = std::make_unique<CMainFrame>(*m_frameSite);
    m_floatingBars = std::make_unique<IEBar_Manager>(*m_mainFrame, m_prefs);
    m_tree.AttachTreeCtrl(m_mainFrame->GetLeftView());
    m_tree.SetHost(m_mainFrame.get());
    // The World View pane's tree: the window keeps running while a large
    // World View is read into it.
    m_tree.SetMainTree(true);
    m_progressBar = std::make_unique<CProgressBar>(ProgressSite(), m_mainFrame.get());
    m_progressBar->SetStatusBar(&m_mainFrame->StatusPanes(), CStatusBar::kProgressPane);
    kDebugLog(u":: CreateFont()...\n");
    m_fixedFont = QFont(QStringLiteral("Courier New"));
    m_fixedFont.setStyleHint(QFont::TypeWriter);
    m_fixedFont.setFixedPitch(true);
    m_fixedFont.setPixelSize(15);

    const CBusyCursor busy;
    RegisterCurlFileType();
    m_prefs.Apply();
    m_services->ShowCurl(QStringLiteral("browser:about:blank"));
    m_services->AddRootItem(m_langPack.Lookup(QStringLiteral("World View")));
    m_mainFrame->show();

    restoreOrStartFirstRun(commandLine);
    if (closedDuringStartup()) {
        return false;
    }
    // The pane is as wide as the labels of the World View it opens with.
    m_mainFrame->FitWorldViewPane();

    kDebugLog(u":: app is up.\n");
    SetUp(true);

    if (!commandLine.isEmpty() && !openCommandLineFile(commandLine)) {
        return false;
    }
    if (closedDuringStartup()) {
        return false;
    }
    m_singleInstance.ReleaseStartupLock();
    kDebugLog(u"CTheApp::InitInstance(done).\n");
    return true;
}

bool CTheApp::handOffScript(const QString& commandLine) {
    if (m_singleInstance.HandOff(commandLine)) {
        kDebugLog(u"CTheApp: handed %s to the running instance.\n", commandLine);
        return true;
    }
    // The other instance could not take it: run it here rather than lose it.
    kWarningLog(u"CTheApp: could not hand %s to the running instance (%s); running it here.\n",
                commandLine, m_singleInstance.ErrorText());
    return false;
}

void CTheApp::listenForHandOffs() {
    const bool listening = m_singleInstance.Listen([this](const QString& path) {
        // Without a main frame the path is refused and stays with the sender.
        if (m_mainFrame == nullptr || m_bridge.IsExiting()) {
            return false;
        }
        // The sender gets its answer first: a script may run far longer than
        // it waits, and a sender left without an answer runs the script too.
        // Then the path arrives as the private message of a second instance.
        QTimer::singleShot(0, this, [this, path] {
            m_bridge.Send(UiMessage::RunScript, reinterpret_cast<quintptr>(&path));
        });
        return true;
    });
    if (!listening) {
        kDebugLog(u"CTheApp: not taking hand-offs: %s\n", m_singleInstance.ErrorText());
    }
}

void CTheApp::restoreOrStartFirstRun(const QString& commandLine) {
    kDebugLog(u":: restoring WorldView...\n");
    // A large World View takes seconds to read: the window answers meanwhile.
    m_restoringAtStartup = true;
    const bool restored = m_services->RestoreWorldView();
    m_restoringAtStartup = false;
    if (restored || m_mainFrame->HasExited()) {
        return;
    }
    kDebugLog(u":: no WorldView to restore...\n");
    m_services->ShowCurl(QStringLiteral("browser:about:blank"));
    const QString token = FindWindowTitleToken();
    if (commandLine.isEmpty() && token.isEmpty()) {
        PopupMessage(LoadResourceString(548) + m_langPack.Lookup(QStringLiteral("World View")) +
                         QStringLiteral("."),
                     kPopupInformation);
    }
    m_services->NewWorldView();
}

bool CTheApp::openCommandLineFile(const QString& path) {
    // A file named as a World View is one even when it cannot be read as one:
    // its fault is shown, never run as a script.
    const bool namedWorldView = QFileInfo(path).suffix().compare(u"zwv", Qt::CaseInsensitive) == 0;
    QString text;
    if (!namedWorldView) {
        ReadTextFile(path, text);
    }
    if (!namedWorldView && XmlSimpleValue(text, QStringLiteral("tree"), true).isEmpty()) {
        kDebugLog(u":: running command line: %s\n", path);
        RunActionScript(path);
        return false;
    }
    kDebugLog(u":: starting app with WorldView: %s\n", path);
    m_services->OpenWorldView(path);
    return true;
}

bool CTheApp::closedDuringStartup() const {
    if (!m_mainFrame->HasExited()) {
        return false;
    }
    kDebugLog(u"CTheApp: the main window was closed during start-up.\n");
    return true;
}

void CTheApp::closeOnSignal(int signalNumber) {
    kDebugLog(u"CTheApp: signal %d: closing the main window without asking.\n", signalNumber);
    // Nobody is there to answer: the exit sequence must not wait on a
    // question, and no open box may keep its own loop, and the program, going.
    m_popups.DismissAll();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(window);
            dialog != nullptr && dialog->isVisible()) {
            dialog->reject();
        }
    }
    closeMainWindowAndQuit();
}

void CTheApp::closeForSessionEnd(QSessionManager& manager) {
    kDebugLog(u"CTheApp: the session ends: closing the main window.\n");
    // Asking to save a new World View is only fair while the session manager
    // lets us talk to the user; a refused close keeps the session going.
    const bool mayAsk = manager.allowsInteraction();
    closeMainWindowAndQuit();
    if (mayAsk) {
        manager.release();
    }
    if (m_mainFrame != nullptr && !m_mainFrame->HasExited()) {
        manager.cancel();
    }
}

void CTheApp::closeMainWindowAndQuit() {
    if (m_mainFrame != nullptr && !m_mainFrame->HasExited()) {
        m_mainFrame->close();
    }
    // Other windows may still be open; the program ends all the same. During
    // start-up no loop runs, and start-up itself sees the closed window.
    QCoreApplication::quit();
}

int CTheApp::ExitInstance() {
    kDebugLog(u"CTheApp::ExitInstance()\n");
    return 0;
}

int CTheApp::RegisterCurlFileType() {
    CDesktopFileTypes fileTypes(m_modulePath);
    if (!fileTypes.Register()) {
        kWarningLog(u"RegisterCurlFileType: %s\n", fileTypes.ErrorText());
        return 0;
    }
    return 1;
}

bool CTheApp::RunActionScript(const QString& path) {
    return m_services->RunActionScript(path);
}

int CTheApp::DispatchCurl(const QString& action) {
    CActionContext context;
    context.command = action;
    return m_interpreter->DispatchCurl(context);
}

void CTheApp::SetActionWindows(std::unique_ptr<CActionWindows> windows) {
    if (windows == nullptr) {
        qFatal("CTheApp::SetActionWindows: no CActionWindows given");
    }
    m_actionWindows = std::move(windows);
}

bool CTheApp::IsDynamicItem(QTreeWidgetItem* item) {
    const CMyItem* record = m_tree.GetMyItem(item);
    return !m_tree.IsBuilding() && record != nullptr && record->HasContent();
}

CMySystem* CTheApp::GetSystem(QTreeWidgetItem* item) {
    return dynamic_cast<CMySystem*>(
        m_tree.GetSystem(item != nullptr ? item : m_tree.GetSelectedItem()));
}

QString CTheApp::GetServerURL(QTreeWidgetItem* item) {
    return m_tree.GetServerURL(item != nullptr ? item : m_tree.GetSelectedItem(), true);
}

bool CTheApp::eventFilter(QObject* watched, QEvent* event) {
    // In context-help mode the World View pane shows no tool tips.
    if (event->type() == QEvent::ToolTip && m_contextHelpMode && m_mainFrame != nullptr) {
        const QTreeWidget* tree = m_mainFrame->GetLeftView();
        if (tree != nullptr && (watched == tree || watched == tree->viewport())) {
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && m_mainFrame != nullptr) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const CMyView* view = m_mainFrame->GetMyView();
        if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ControlModifier) &&
            view != nullptr && view->PanelHasFocus()) {
            m_services->NextPane();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// ---- UI-thread services ----

void CTheApp::PumpMessages(bool force) {
    if (!(IsUp() || m_restoringAtStartup) || IsAbortedThread() || !m_bridge.onUiThread()) {
        return;
    }
    const std::time_t now = std::time(nullptr);
    if (!force && m_lastPump != 0 && now <= m_lastPump) {
        return;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_lastPump = now;
    if (m_restoringAtStartup && m_mainFrame->HasExited()) {
        // Closed while its World View was read: the rest of the file is not
        // read into a window that is gone, nor does it log in or render.
        m_restoringAtStartup = false;
        AddToCancelFlag();
    }
}

void CTheApp::SetStatusText(const QString& text, int indicatorId) {
    const int pane = CStatusBar::PaneOfIndicator(indicatorId);
    if (pane < 0) {
        return;
    }
    if (!m_bridge.onUiThread()) {
        m_bridge.Call([this, &text, indicatorId] {
            SetStatusText(text, indicatorId);
            return qintptr{0};
        });
        return;
    }
    if (!text.isEmpty()) {
        if (pane == 0) {
            kDebugLog(u"STATUS BAR: %s\n", text);
        } else {
            kDebugLog(u"INDICATOR%d: %s\n", pane, text);
        }
    }
    if (m_mainFrame != nullptr) {
        m_mainFrame->StatusPanes().SetPaneText(pane, text);
        if (!text.isEmpty()) {
            PumpMessages(true);
        }
    }
}

int CTheApp::BeginBusy() {
    if (!m_bridge.onUiThread()) {
        // The throbber and cursor belong to the UI thread.
        m_bridge.Send(UiMessage::Busy, kBusyBegins);
        return BusyCount();
    }
    const int count = ++m_busyCount;
    if (count == 1 && m_mainFrame != nullptr && m_boxesWaiting == 0) {
        m_mainFrame->StartThrobber();
    }
    updateCursor();
    return count;
}

int CTheApp::EndBusy() {
    if (!m_bridge.onUiThread()) {
        m_bridge.Send(UiMessage::Busy, kBusyEnds);
        return BusyCount();
    }
    if (m_busyCount.load() <= 0) {
        return 0;
    }
    const int count = --m_busyCount;
    if (count < 1 && IsUp() && m_mainFrame != nullptr) {
        m_mainFrame->StopThrobber();
        m_mainFrame->StatusPanes().SetPaneText(0, QString());
    }
    updateCursor();
    return count;
}

bool CTheApp::IsBusy(bool beep) const {
    const bool busy = m_busyCount.load() > 0 || m_services->IsProgressActive();
    if (busy && beep) {
        QApplication::beep();
    }
    return busy;
}

void CTheApp::SetContextHelpMode(bool on) {
    m_contextHelpMode = on;
    updateCursor();
}

// A box waiting for the user (the first-run introduction, say) is no busy
// work: the animation would only burn processor time behind it, and the
// wait cursor would tell the user to wait for the program that waits for them.
void CTheApp::boxWaits(bool open) {
    m_boxesWaiting += open ? 1 : -1;
    if (m_mainFrame != nullptr && m_boxesWaiting == 0 && m_busyCount.load() > 0) {
        m_mainFrame->StartThrobber();
    } else if (m_mainFrame != nullptr && m_boxesWaiting > 0) {
        m_mainFrame->StopThrobber();
    }
    updateCursor();
}

void CTheApp::updateCursor() {
    // The help cursor in context-help mode, the wait cursor while busy, on
    // the main window: bars with a cursor of their own (the navigation bar,
    // whose Stop button must stay easy to aim at) keep it.
    if (m_mainFrame == nullptr) {
        return;
    }
    const bool wanted = m_contextHelpMode || (IsBusy(false) && m_boxesWaiting == 0);
    if (wanted) {
        m_mainFrame->setCursor(m_contextHelpMode ? Qt::WhatsThisCursor : Qt::WaitCursor);
    } else {
        m_mainFrame->unsetCursor();
    }
}

int CTheApp::WaitForBrowser(int target, int seconds) {
    const QDeadlineTimer deadline{std::chrono::seconds(seconds)};
    for (;;) {
        if (BusyCount() <= target) {
            return 1;
        }
        kDebugLog(u"waiting for animation count (%u) to reach %u ...\n",
                  static_cast<unsigned>(BusyCount()), static_cast<unsigned>(target));
        if (CancelFlag() > 0) {
            kDebugLog(u"errors detected.\n");
            return 0;
        }
        if (deadline.hasExpired()) {
            kDebugLog(u"GAVE UP!  We waited %lu seconds!\n", static_cast<unsigned long>(seconds));
            return 0;
        }
        PumpMessages(false);
        QEventLoop pause;
        QTimer::singleShot(250, &pause, &QEventLoop::quit);
        pause.exec();
    }
}

void CTheApp::SetActionLogPath(const QString& path) {
    const std::lock_guard lock(m_listMutex);
    m_actionLogPath = path;
}

int CTheApp::LogAction(const QString& text) {
    QString path;
    {
        const std::lock_guard lock(m_listMutex);
        path = m_actionLogPath;
    }
    if (path.isEmpty()) {
        return 0;
    }
    const QString line =
        kFormat(u"%s | %s\n", kFormTimestamp(50, std::time(nullptr)), text.trimmed());
    KFILE file;
    if (file.Open(u"%s", u"a", path) == 0 || file.Write(line + u'\n') == 0) {
        ErrorBox(kFormat(u"Could not write to: %s", path));
        return 0;
    }
    return 1;
}

int CTheApp::ScriptError(const QString& text) {
    LogAction(text);
    if ((ActionRunFlags() & 1U) == 0) {
        return 0;
    }
    AddToCancelFlag();
    if (m_services->IsProgressActive()) {
        m_services->CancelProgress();
    }
    PopupMessage(text, kPopupError);
    return 0;
}

qintptr CTheApp::sendToFrame(UiMessage message, quintptr wParam, quintptr lParam) {
    qintptr result = 0;
    m_bridge.Send(message, wParam, lParam, &result);
    return result;
}

qintptr CTheApp::RenderTabsOnUIThread(int templateId) {
    return sendToFrame(UiMessage::RenderTabs, static_cast<quintptr>(templateId));
}

qintptr CTheApp::RenderMyViewOnUIThread(quintptr first, quintptr second) {
    return sendToFrame(UiMessage::RenderMyView, first, second);
}

CProgressBarSite& CTheApp::ProgressSite() {
    return *m_progressSite;
}

qintptr CTheApp::ShowProgressOnUIThread() {
    return sendToFrame(UiMessage::ShowProgress);
}

qintptr CTheApp::HideProgressOnUIThread() {
    return sendToFrame(UiMessage::HideProgress);
}

qintptr CTheApp::NavigatePostOnUIThread(CNavigateArgs& args) {
    return sendToFrame(UiMessage::NavigatePost, reinterpret_cast<quintptr>(&args));
}

qintptr CTheApp::Navigate2OnUIThread(CNavigateArgs& args) {
    return sendToFrame(UiMessage::Navigate2, reinterpret_cast<quintptr>(&args));
}

QString CTheApp::GetFormFieldOnUIThread(const QString& field, const QString& form) {
    CStringTriple request{field, QString(), form};
    QString result;
    sendToFrame(UiMessage::GetFormField, reinterpret_cast<quintptr>(&request),
                reinterpret_cast<quintptr>(&result));
    return result;
}

QString CTheApp::SetFormFieldOnUIThread(const QString& field, const QString& value,
                                        const QString& form) {
    CStringTriple request{field, value, form};
    QString result;
    sendToFrame(UiMessage::SetFormField, reinterpret_cast<quintptr>(&request),
                reinterpret_cast<quintptr>(&result));
    return result;
}

QString CTheApp::MakeTempFilePath(const QString& extension, const QString& tag) {
    QString name = QStringLiteral("Quillex");
    if (!tag.isEmpty()) {
        name += u'-' + tag;
    }
    if (!extension.startsWith(u'.')) {
        name += u'.';
    }
    name += extension.isEmpty() ? QStringLiteral("tmp") : extension;
    const QString path = PathJoin(Getlocalsettingsdir(), name);
    addFile(path, QStringLiteral("FILE|temp file"));
    return path;
}

QRect CTheApp::GetCascadeRect() {
    return cascadeRect(m_cascade);
}

QRect CTheApp::cascadeRect(CCascade& cascade) {
    if (m_mainFrame == nullptr) {
        return {};
    }
    const auto onScreen = [](const QWidget* widget) {
        return widget != nullptr ? QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size())
                                 : QRect();
    };
    return cascade.Next(onScreen(m_mainFrame->GetLeftView()),
                        onScreen(&m_mainFrame->RightSplitter()));
}

int CTheApp::AllocMenuCommandId() {
    return m_menuCommandIds.Alloc(m_services->SelectedServerId());
}

void CTheApp::FreeMenuCommandIds() {
    const quint64 server = m_services->SelectedServerId();
    if (server != 0) {
        m_menuCommandIds.Free(server);
    }
}

CLeftViewHost& CTheApp::LeftViewHost() {
    return *m_leftViewHost;
}

int CTheApp::LogoutIfUnauthorized() {
    return ::LogoutIfUnauthorized(m_tree);
}

int CTheApp::RefreshItemKeepSelection(const void* item, bool collapse) {
    const CBusyCursor busy;
    return m_services->RefreshItemKeepSelection(item, collapse);
}

bool CTheApp::IsLanguagePackActive() const {
    return !m_prefs.GetString(QStringLiteral("LanguagePack")).isEmpty();
}
