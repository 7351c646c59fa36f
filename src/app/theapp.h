#pragma once

// The one application object. It owns the program-wide singletons for the
// whole run (preferences, language pack, UI bridge, timers, user variables,
// file list, images, menu-command ids, the single-instance guard and the
// main frame), starts the logging framework, brings the program up in
// InitInstance and offers the services that every window and worker uses:
// message pump, status text, busy counter, pop-up boxes, marshalling of
// window work onto the UI thread and a few text and path helpers.
//
// Made in main after the QApplication and destroyed before it.

#include "app/appservices.h"
#include "app/cascade.h"
#include "app/singleinstance.h"
#include "frame/navigateargs.h"
#include "frame/panelfactory.h"
#include "framework/kprops.h"
#include "net/netdispatcher.h"
#include "platform/terminationsignals.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "tree/imagelists.h"
#include "tree/mytree.h"
#include "tree/worldviewfile.h"
#include "ui/menucommandids.h"
#include "ui/popupmessages.h"
#include "ui/stringtriple.h"
#include "ui/timerlist.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>

#include <atomic>
#include <ctime>
#include <memory>
#include <mutex>

class CMainFrame;
class CActionInterpreter;
class CActionRunner;
class CActions;
class CActionWindows;
class CHistory;
class CMySystem;
class CAppWireServices;
class CAppFrameSite;
class CAppWorldViewSite;
class CAppMySystemSite;
class CAppPreferencesSite;
class CAppNetReceiver;
class CAppChooserSite;
class CAppProgressBarSite;
class CProgressBar;
class CProgressBarSite;
class CAppBrowserSite;
class CWebWnd;
class IEBar_Manager;
class CLeftViewHost;
class CAppLeftViewHost;
class CAppContextMenuHost;
class QSessionManager;

class CTheApp : public QObject, public CUiServices {
    Q_OBJECT
public:
    CTheApp();
    ~CTheApp() override;
    CTheApp(const CTheApp&) = delete;
    CTheApp& operator=(const CTheApp&) = delete;

    // Brings the program up; `arguments` are the command line after the
    // program name. False when the program is to end at once (a script was
    // handed over or run, or the main frame could not be made).
    bool InitInstance(const QStringList& arguments);
    // After the main loop; the program's exit code.
    int ExitInstance();
    // Tells the desktop that the program opens ".curl" and ".zwv" files; 1
    // when every file was written.
    int RegisterCurlFileType();

    // The singletons.
    CUiBridge& Bridge() override { return m_bridge; }
    CNetDispatcher& Dispatcher() { return m_dispatcher; }
    CPreferences& Prefs() { return m_prefs; }
    CMyTree& Tree() { return m_tree; }
    CWorldViewFile& WorldViewFile() { return m_worldViewFile; }
    CLangPack& LangPack() { return m_langPack; }
    CTimerList& Timers() override { return m_timers; }
    CImageLists& ImageLists() override;
    CMenuCommandIds& MenuCommandIds() override { return m_menuCommandIds; }
    CPopupMessages& Popups() override { return m_popups; }
    CSingleInstance& SingleInstance() { return m_singleInstance; }
    // What start-up, the exit sequence and the services ask of the program's
    // parts; the program's own unless a test installs its own.
    CAppServices& Services() { return *m_services; }
    // The panels of the right-hand view by panel code; each part that
    // brings a panel registers its maker here before the main frame exists.
    CPanelFactory& Panels() { return m_panels; }
    void SetServices(std::unique_ptr<CAppServices> services);
    // What the action language asks of the windows; the program's own unless
    // a test installs its own.
    CActionWindows& ActionWindows() { return *m_actionWindows; }
    void SetActionWindows(std::unique_ptr<CActionWindows> windows);
    // The action language: interpreter, list runner, queue and worker, and
    // the URL history and trail.
    CActionInterpreter& Interpreter() { return *m_interpreter; }
    CActionRunner& Runner() { return *m_runner; }
    CActions& Actions() { return *m_actions; }
    CHistory& History() { return *m_history; }
    const QFont& FixedFont() const { return m_fixedFont; }
    QString ModulePath() const { return m_modulePath; }
    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    // The main frame's status-bar progress display, null before the main
    // frame exists; the site every progress display of the program uses.
    CProgressBar* ProgressBar() const { return m_progressBar.get(); }
    CProgressBarSite& ProgressSite();
    // Every file the program made: name = path, value = its role.
    KPROPS FileListCopy() const;

    // The app-is-up flag: set at the end of start-up, cleared when exit begins.
    bool IsUp() const { return m_appIsUp.load(); }
    void SetUp(bool up) { m_appIsUp.store(up); }
    // Set while the World View is restored at start-up or opened.
    bool IsRestoring() const { return m_restoring.load(); }
    void SetRestoring(bool restoring) { m_restoring.store(restoring); }
    // What the World View pane needs of the application.
    CLeftViewHost& LeftViewHost();

    // The global cancel flag: every parse and read loop stops while it is
    // not 0; error boxes, Cancel and No answers count it up.
    int CancelFlag() const { return m_cancelFlag.load(); }
    void AddToCancelFlag() { ++m_cancelFlag; }
    void SetCancelFlag(int value) { m_cancelFlag.store(value); }

    // The action worker thread being aborted, null when none.
    void SetAbortThread(Qt::HANDLE thread) { m_abortThread.store(thread); }
    bool IsAbortingWorker() const override { return m_abortThread.load() != nullptr; }
    bool IsAbortedThread() const;

    // Bit 0: show script errors in a box.
    void SetActionRunFlags(unsigned flags) { m_actionRunFlags.store(flags); }
    unsigned ActionRunFlags() const { return m_actionRunFlags.load(); }

    // The variables of the "set:" action; any thread.
    QString GetUserVariable(const QString& name) const;
    void SetUserVariable(const QString& name, const QString& value);

    // Handles the UI thread's waiting events, at most once a second unless
    // forced; nothing off the UI thread, on the thread being aborted, or
    // while the app is not up, except while start-up restores the World View
    // into the shown window.
    void PumpMessages(bool force = false);
    // Sets the text of the status pane of an indicator id (0 is the message
    // pane); other ids do nothing.
    void SetStatusText(const QString& text, int indicatorId = 0) override;

    // The busy counter; the throbber runs while it is above 0. Both return
    // the new count and may be called from any thread.
    int BeginBusy() override;
    int EndBusy() override;
    int BusyCount() const { return m_busyCount.load(); }
    bool IsBusy(bool beep = false) const;
    void SetContextHelpMode(bool on);
    bool InContextHelpMode() const { return m_contextHelpMode; }
    // Waits, handling events, until the busy counter is at or below the
    // target: 1 when it got there, 0 on errors counted or after `seconds`.
    int WaitForBrowser(int target, int seconds);

    // Pop-up boxes (see CPopupMessages); any thread.
    int PopupMessage(const QString& text, int type) { return m_popups.PopupMessage(text, type); }
    int WarningBox(const QString& text) { return m_popups.WarningBox(text); }
    int ErrorBox(const QString& text) { return m_popups.ErrorBox(text); }
    int OkCancelBox(const QString& text) { return m_popups.OkCancelBox(text); }
    int YesNoBox(const QString& text) { return m_popups.YesNoBox(text); }
    // The script-error box when the running action list asks for it; always 0.
    int ScriptError(const QString& text);
    // Appends a time-stamped line to the action log; 1 when written.
    int LogAction(const QString& text);
    void SetActionLogPath(const QString& path);

    // Window work from the action worker, carried out on the UI thread.
    qintptr RenderTabsOnUIThread(int templateId);
    qintptr RenderMyViewOnUIThread(quintptr first, quintptr second);
    qintptr ShowProgressOnUIThread();
    qintptr HideProgressOnUIThread();
    qintptr NavigatePostOnUIThread(CNavigateArgs& args);
    qintptr Navigate2OnUIThread(CNavigateArgs& args);
    QString GetFormFieldOnUIThread(const QString& field, const QString& form);
    QString SetFormFieldOnUIThread(const QString& field, const QString& value, const QString& form);

    // ---- server content outside the browser pane ----
    // A server page in a new floating browser window; a URL with a query
    // (or post data) goes through the local auto-posting page. 0 without a
    // right-hand view.
    int LaunchBrowser(const QString& url, const QString& title, const QString& postData = {});
    // The help page (none: the selected server's help) in the help window,
    // which is reused while it is open; 0 when there is no server to ask.
    int LaunchHelp(const QString& page = {});
    // A server's pop-up window: through the server's pop-up service for the
    // server product, else a window opened by a script page. 0 without a
    // right-hand view.
    int ShowPopupWindow(const QString& url);
    // Runs the script in a page of its own in the wizard bar; 0 when the
    // page could not be written.
    int ShowScriptPage(const QString& script);
    // The properties page filled from the server's template (fetched again
    // after 30 seconds or for another server) with the list; in a pop-up
    // window or the properties pane. 0 on failure, with the error shown.
    int ShowProperties(CMySystem* system, const KPROPS& properties, bool inPopup,
                       const QString& title = {});
    // The floating browser windows; null before the main frame exists.
    IEBar_Manager* FloatingBars() const { return m_floatingBars.get(); }

    // Writes the timers as CSV; 1 when written.
    int DumpTimers(const QString& path) const { return m_timers.DumpTimers(path); }
    // "<settings folder>/Quillex[-tag].<extension or tmp>", recorded in the file list.
    QString MakeTempFilePath(const QString& extension, const QString& tag = {});
    // Where the next cascading window opens, in screen coordinates.
    QRect GetCascadeRect();

    // Menu command ids of the selected item's server.
    int AllocMenuCommandId();
    void FreeMenuCommandIds();
    // After a 401 from the server: the selected item's server is logged out; 1.
    int LogoutIfUnauthorized();
    int RefreshItemKeepSelection(const void* item, bool collapse);
    bool IsLanguagePackActive() const;
    // Runs an action script file (a handed-over or command-line script);
    // true when it was read and ran without errors.
    bool RunActionScript(const QString& path);
    // Runs or queues one action of the action language; any thread.
    int DispatchCurl(const QString& action);
    // Whether the item's record has content to be filled from; false while
    // the tree is being built. UI thread.
    bool IsDynamicItem(QTreeWidgetItem* item);
    // The server that owns the item (null: the selected item), or null.
    CMySystem* GetSystem(QTreeWidgetItem* item);
    // The base URL of the item's server (null: the selected item).
    QString GetServerURL(QTreeWidgetItem* item);

    // Ctrl+Tab while a panel has the focus moves to the next pane; in
    // context-help mode the World View pane shows no tool tips.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addFile(const QString& path, const QString& role);
    bool handOffScript(const QString& commandLine);
    void listenForHandOffs();
    void restoreOrStartFirstRun(const QString& commandLine);
    bool openCommandLineFile(const QString& commandLine);
    // True, with a log line, when the main window was closed while start-up
    // still ran: the exit sequence has run and the program must end.
    bool closedDuringStartup() const;
    // A termination signal, or the end of the desktop session, closes the
    // main window as its close box does; a signal has nobody to answer, so
    // it first dismisses every open box and the exit sequence asks nothing.
    void closeOnSignal(int signalNumber);
    void closeForSessionEnd(QSessionManager& manager);
    void closeMainWindowAndQuit();
    void updateCursor();
    void boxWaits(bool open);
    qintptr sendToFrame(UiMessage message, quintptr wParam = 0, quintptr lParam = 0);
    QRect cascadeRect(CCascade& cascade);

    QString m_modulePath;
    mutable std::mutex m_listMutex;  // the file list and the user variables
    KPROPS m_fileList{100, 10};
    KPROPS m_userVariables{100, 10};
    QString m_actionLogPath;
    CTimerList m_timers;
    CPreferences m_prefs;
    CMyTree m_tree;
    CWorldViewFile m_worldViewFile{m_prefs, m_tree};
    CLangPack m_langPack;
    QFont m_fixedFont;
    CImageLists m_imageLists;
    CMenuCommandIds m_menuCommandIds;
    CCascade m_cascade;
    CCascade m_barCascade;  // floating browser bars
    int m_popupStep = 0;    // server pop-up windows, 1..15
    QPointer<CWebWnd> m_helpWindow;
    // The server and time (seconds) of the last properties template fetch.
    const CMySystem* m_propsTemplateServer = nullptr;
    qint64 m_propsTemplateTime = 0;
    CUiBridge m_bridge;
    CPopupMessages m_popups;
    CSingleInstance m_singleInstance;
    CPanelFactory m_panels;
    CTerminationSignals m_terminationSignals;
    // After the bridge: the dispatcher's workers are stopped first.
    CNetDispatcher m_dispatcher;
    std::unique_ptr<CAppNetReceiver> m_netReceiver;
    std::unique_ptr<CAppServices> m_services;
    std::unique_ptr<CAppWireServices> m_wireServices;
    std::unique_ptr<CAppPreferencesSite> m_prefsSite;
    std::unique_ptr<CAppMySystemSite> m_mySystemSite;
    std::unique_ptr<CAppFrameSite> m_frameSite;
    std::unique_ptr<CAppWorldViewSite> m_worldViewSite;
    std::unique_ptr<CAppBrowserSite> m_browserSite;
    std::unique_ptr<CAppLeftViewHost> m_leftViewHost;
    std::unique_ptr<CAppContextMenuHost> m_contextMenuHost;
    std::unique_ptr<CMainFrame> m_mainFrame;
    std::unique_ptr<CAppProgressBarSite> m_progressSite;  // made with the application
    std::unique_ptr<CAppChooserSite> m_chooserSite;
    // Goes before the main frame whose status bar it draws in.
    std::unique_ptr<CProgressBar> m_progressBar;
    // Its bars are windows of the main frame: it goes first.
    std::unique_ptr<IEBar_Manager> m_floatingBars;
    std::unique_ptr<CActionWindows> m_actionWindows;
    std::unique_ptr<CHistory> m_history;
    std::unique_ptr<CActionInterpreter> m_interpreter;
    std::unique_ptr<CActionRunner> m_runner;
    // Last: its worker runs actions that use everything above.
    std::unique_ptr<CActions> m_actions;

    std::atomic<int> m_cancelFlag{0};
    std::atomic<bool> m_appIsUp{false};
    std::atomic<bool> m_restoring{false};
    std::atomic<int> m_busyCount{0};
    std::atomic<unsigned> m_actionRunFlags{0};
    std::atomic<Qt::HANDLE> m_abortThread{nullptr};
    bool m_contextHelpMode = false;
    int m_boxesWaiting = 0;  // UI thread only
    std::time_t m_lastPump = 0;
    // While start-up reads the World View into the shown window; UI thread only.
    bool m_restoringAtStartup = false;
};

// The application object; only while one exists.
CTheApp& theApp();
bool HaveTheApp();
