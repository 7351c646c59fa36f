#pragma once

// The program's one top-level window. It owns every bar and pane: the menu
// bar with the busy animation, the toolbars, the status bar with its four
// panes, the hidden wizard dock, and the two splitters that hold the World
// View pane on the left and the four right-hand rows (tabs, view, editor,
// browser). It answers the private messages that reach the windows, keeps the
// window title, opens and closes the properties row, and runs the exit
// sequence when it closes. UI thread only.

#include "frame/panelmanager.h"

#include <QMainWindow>
#include <QString>

class CAnimateCtrl;
class CBrowserView;
class CDialogView;
class CEditor;
class CFrameSite;
class CMyView;
class CStatusBar;
class QDockWidget;
class QMenuBar;
class QToolBar;
class QTreeWidget;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
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
    QTreeWidget* GetLeftView() const;
    CDialogView* GetDialogView() const;
    CMyView* GetMyView() const;
    CEditor* GetEditor() const;
    CBrowserView* GetBrowserView() const;

    CPanelManager& OuterSplitter() { return *m_outerSplitter; }
    CPanelManager& RightSplitter() { return *m_rightSplitter; }
    CStatusBar& StatusPanes() { return *m_statusBar; }
    CAnimateCtrl& Throbber() { return *m_throbber; }
    // The bars that the toolbar, navigation and filter code fill.
    QToolBar& StandardBar() { return *m_standardBar; }
    QToolBar& NavigationBar() { return *m_navigationBar; }
    QToolBar& FilterBar() { return *m_filterBar; }
    QDockWidget& WizardBar() { return *m_wizardBar; }

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createBars();
    bool createClient();
    void installMessageHandlers();
    void restorePlacement();
    void runExitSequence();

    CFrameSite& m_site;
    CPanelManager* m_outerSplitter = nullptr;
    CPanelManager* m_rightSplitter = nullptr;
    QDockWidget* m_wizardBar = nullptr;
    CStatusBar* m_statusBar = nullptr;
    QToolBar* m_standardBar = nullptr;
    QToolBar* m_navigationBar = nullptr;
    QToolBar* m_filterBar = nullptr;
    CAnimateCtrl* m_throbber = nullptr;
    QString m_propertiesUrl;
    bool m_propertiesOpen = false;
    bool m_exited = false;
};
