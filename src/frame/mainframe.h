#pragma once

// The program's one top-level window. It owns every bar and pane: the menu
// bar with the busy animation, the toolbars, the status bar with its four
// panes, the hidden wizard dock, and the two splitters that hold the World
// View pane on the left and the four right-hand rows (tabs, view, editor,
// browser). It answers the private messages that reach the windows, keeps the
// window title, opens and closes the properties row, and runs the exit
// sequence when it closes. UI thread only.

#include "frame/cmdui.h"
#include "frame/iebar.h"
#include "frame/panelmanager.h"
#include "net/treechunkreader.h"
#include "tree/treehost.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <memory>

class CAnimateCtrl;
class CFrameCommands;
class CMenuBar;
class CQVxReBar;
class CQVxToolBar;
class CQVXNavBar;
class CSearchToolbar;
class CBrowserView;
class CDialogView;
class CEditor;
class CFrameSite;
class CMyView;
class CStatusBar;
class CTabs;
class CFolderList;
class CLeftView;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

class CMainGridSite;
class CMyGrid;

class CMainFrame : public QMainWindow, public CTreeHost, private ITreeChunkSink {
    Q_OBJECT
public:
    // The frame's timers.
    static constexpr int kRefreshTimerId = 33166;
    static constexpr int kRowCounterTimerId = 1037;
    // The panes that take the keyboard focus in turn.
    enum FocusPaneId {
        kNoPane = -1,
        kWorldViewPane = 0,
        kPanelPane = 1,
        kFolderListPane = 2,
        kGridPane = 3,
        kBrowserPane = 4
    };

    // Fixed rows of the right-hand splitter.
    enum RightHandRow { kTabsRow = 0, kMyViewRow = 1, kEditorRow = 2, kBrowserRow = 3 };
    static constexpr int kRightHandRows = 4;
    static constexpr int kLeftViewWidth = 250;

    // What the title shows of the selected item: its label, the user of its
    // server connection and the label of the server item that encloses it.
    struct TitleFacts {
        QString label;
        QString user;
        QString serverLabel;
    };

    explicit CMainFrame(CFrameSite& site);
    ~CMainFrame() override;

    // Whether the window was closed: its exit sequence has run.
    bool HasExited() const { return m_exited; }

    // The panes; null when a pane is missing or of another class. Rows are
    // found by their fixed index whether shown or hidden.
    CLeftView* GetLeftView() const;
    // Widens the World View pane to what its shown labels need, up to a
    // third of the window, until the user has placed it.
    void FitWorldViewPane();
    CDialogView* GetDialogView() const;
    CMyView* GetMyView() const;
    CEditor* GetEditor() const;
    CBrowserView* GetBrowserView() const;

    CPanelManager& OuterSplitter() { return *m_outerSplitter; }
    CPanelManager& RightSplitter() { return *m_rightSplitter; }
    CFolderList* GetFolderList() const;
    // The primary grid of the view.
    CMyGrid* GetGrid() const;
    CFrameSite& Site() { return m_site; }
    CStatusBar& StatusPanes() { return *m_statusBar; }
    CAnimateCtrl& Throbber() { return *m_throbber; }
    // The bars and the actions of every command they show.
    CFrameCommands& Commands() { return *m_commands; }
    CMenuBar& MenuBar() { return *m_menuBar; }
    CQVxReBar& ReBar() { return *m_rebar; }
    CQVxToolBar& StandardBar() { return *m_standardBar; }
    CQVXNavBar& NavigationBar() { return *m_navigationBar; }
    CSearchToolbar& FilterBar() { return *m_filterBar; }
    IEBar& WizardBar() { return *m_wizardBar; }
    // Shows the wizard bar when hidden, hides it when shown.
    void OnToggleWizardBar();
    // The filter field is usable while the primary grid is shown, not
    // loading and holds rows; run with the commands' idle update.
    void UpdateFilterField();

    void StartThrobber();
    void StopThrobber();

    // Window title and status text for the selected item.
    void UpdateTitle(const TitleFacts& facts);

    // Opens the browser row below the view with the properties page; 0
    // without a selected item or browser pane. The same URL again only
    // keeps the split.
    int OpenProperties(const QString& url);
    // Closes the properties row, remembering its height; 0 without a
    // selected item or browser pane.
    int CloseProperties();
    bool PropertiesOpen() const { return m_propertiesOpen; }
    QString PropertiesURL() const { return m_propertiesUrl; }

    // ---- rendering the right-hand side ----
    // Builds the right-hand side for the selected World View item; 0 on the
    // aborted thread or after a 401 while its children were fetched.
    int ConstructRHS();
    // ConstructRHS after the refresh timer is stopped.
    int RebuildRHS();
    // Renders a curl locator; noTabs keeps the tabs row hidden. 1 when it
    // was rendered; 0 when refused, malformed, or its grid met a 401. Any
    // thread: off the UI thread the UI thread renders.
    int ShowCurl(const QString& locator, bool noTabs = false);
    int Render(const QString& locator, bool noTabs);
    // The URL made absolute against the item's server (null: the selected
    // item); recorded in the URL trail when asked.
    QString GetFullURL(const QString& url, QTreeWidgetItem* item, bool recordInTrail);
    void BlankBrowserPane();

    // ---- commands ----
    // Carries out a command of the menus, bars and keys; true when something
    // took it. The filter field, the focused pane's view and then the frame
    // are asked in turn.
    bool OnCommand(int commandId);
    // Whether OnCommand would carry the command out now; runs nothing.
    bool HasCommandHandler(int commandId);
    // Fills the state of a command's menu items and buttons. `inActionsMenu`
    // is true for the menu bar's "&Actions" popup and the toolbars.
    void UpdateCommandUI(int commandId, CCmdUI& state, bool inActionsMenu = true);
    // Before a popup of the menu bar opens: the states of its items, and for
    // the "&Actions" popup its rebuild from the focused pane.
    void OnInitMenuPopup(QMenu* popup);
    // Fills the menu with the focused pane's menu (the "Actions" menu).
    void BuildActionsMenu(QMenu* menu);
    // Merges the source menu's items into the destination; false on failure.
    static bool MergeMenu(QMenu* destination, const QMenu* source, bool topLevel);

    // New World View: after the save question, an empty World View with
    // one new server (from a server token in a window title when there is one).
    void NewWorldView();
    // Open World View: after the save question, a file chosen by the user.
    void OpenWorldView();
    // Loads a World View file as the current one; false with its error shown.
    bool OpenWorldViewFile(const QString& path);
    // The server descriptor of a "[>scheme://host:port<]" token; empty for a
    // token that is not a plain http or https address with a valid port.
    static QString ServerDescriptorOfToken(const QString& token);
    bool NewWorldViewUnsaved() const { return m_newWorldViewUnsaved; }
    void ClearNewWorldViewUnsaved() { m_newWorldViewUnsaved = false; }

    // ---- focus ----
    int GetFocusPane() const;
    bool FocusPane(int pane);
    bool FocusNextPane(int start);

    // ---- timers and Stop ----
    void SetRefreshTimer(int seconds);
    void KillRefreshTimer();
    bool RefreshTimerRunning() const { return m_refreshTimer.isActive(); }
    // The grid's row counter while it loads.
    void StartRowCounter();
    void StopRowCounter();
    bool RowCounterRunning() const { return m_rowCounterTimer.isActive(); }
    void OnTimer(int timerId);
    void OnStop();
    // Alt+F4 pressed in the window.
    void OnCloseKey();
    // F1: a visible grid's column help first, else the World View item's help.
    void OnHelpKey();

    // CTreeHost
    bool IsProgressCancelled() const override;
    QTreeWidgetItem* PaneCurrentItem() const override;
    int SendTreeRequest(quint16& requesterId, const QString& url, const QString& user,
                        const QString& password, quint32 itemId) override;
    void CancelTreeRequests(quint16 requesterId) override;
    int LogoutIfUnauthorized(CMyTree& tree, QTreeWidgetItem* fetched) override;
    int OnItemSelected(CMyTree& tree, QTreeWidgetItem* item) override;
    int RefreshItemKeepSelection(QTreeWidgetItem* item, bool collapse) override;
    void OnItemLabelChanged(QTreeWidgetItem* item) override;
    // A tree reply waits behind the client end.
    void ReadTreeReply(CNamedPipe clientEnd);
    // A tree request is out whose reply is still unread.
    bool IsTreeReplyAwaited() const { return m_treeRequestOpen; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createBars();
    bool createClient();
    void installMessageHandlers();
    void restorePlacement();
    void runExitSequence();
    void OnTreeStreamEnd(const QString& text, bool intact) override;
    // The end of a tree reply once its last slice is in: the parent's expand
    // button and expansion, and a folder list waiting for its children.
    void treeReplyAdded(QTreeWidgetItem* parent, bool loadedRoot);
    void showContentOfItem(QTreeWidgetItem* selected, const QString& url);
    int renderLocator(const QString& locator, bool noTabs);
    int renderViewParts(unsigned flags, int panelCode, const QString& url, QTreeWidgetItem* item);
    void clearPanes();
    void updateUserPane();
    // The view while it takes commands: the program is up and it is shown.
    CMyView* commandView() const;
    // Who carries a command out now, in the order OnCommand asks them.
    CommandHandler commandHandlerOf(int commandId);
    CommandHandler frameHandlerOf(int commandId);
    CommandHandler barHandlerOf(int commandId);
    bool barCommandUI(int commandId, CCmdUI& state);
    void addBands();
    void printSelected();
    void onRefreshTimer();
    void onRowCounterTimer();
    // Whether the main grid waits for its reply or reads it.
    bool gridFetching() const;
    bool askSaveWorldView();

    CFrameSite& m_site;
    CPanelManager* m_outerSplitter = nullptr;
    CPanelManager* m_rightSplitter = nullptr;
    IEBar* m_wizardBar = nullptr;
    CStatusBar* m_statusBar = nullptr;
    CFrameCommands* m_commands = nullptr;
    CMenuBar* m_menuBar = nullptr;
    CQVxReBar* m_rebar = nullptr;
    QToolBar* m_menuBand = nullptr;
    CQVxToolBar* m_standardBar = nullptr;
    CQVXNavBar* m_navigationBar = nullptr;
    CSearchToolbar* m_filterBar = nullptr;
    CAnimateCtrl* m_throbber = nullptr;
    QString m_propertiesUrl;
    bool m_propertiesOpen = false;
    bool m_exited = false;
    QTimer m_refreshTimer;
    QTimer m_rowCounterTimer;
    QTimer m_userPaneTimer;
    // What the user pane was last given for the selected server.
    QString m_userPaneText;
    QTimer m_fitPaneTimer;
    bool m_inRefreshTick = false;
    int m_viewStyleCalls = 0;
    bool m_newWorldViewUnsaved = false;
    CTreeChunkReader* m_treeReader = nullptr;
    std::unique_ptr<CMainGridSite> m_gridSite;
    // The tree request that is out: the item its reply goes under (0: the
    // selected item) and the pane's target when it was sent; a reply that
    // comes after the target changed is dropped, and so is one whose request
    // was cancelled.
    quint32 m_treeRequestItemId = 0;
    quint32 m_treeRequestTargetId = 0;
    bool m_treeRequestOpen = false;
};
