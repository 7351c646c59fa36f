#pragma once

// The interpreter of the action language. DispatchCurl routes an action: the
// three words that open windows run at once on the UI thread, everything else
// is queued for the action worker. CurlPath prepares the text (prefixes, URL
// escapes, trailing "/", "${column}" references of the main grid) and tries
// the command table; text that no command knows is walked as a path of World
// View items. RunCommand is the command table.
//
// The interpreter runs on the action worker for queued actions. Tree, login,
// dialog, grid and window steps are handed to the UI thread through the UI
// bridge while the worker waits; fetches, "sleep=", "app:", files and timers
// stay on the worker. A worker abandoned by an abort has its later UI steps
// refused.

#include "app/actioncontext.h"

#include <QString>

#include <atomic>
#include <functional>

class CTheApp;
class CActionWindows;
class QTreeWidget;
class QTreeWidgetItem;

class CActionInterpreter {
public:
    explicit CActionInterpreter(CTheApp& app);
    CActionInterpreter(const CActionInterpreter&) = delete;
    CActionInterpreter& operator=(const CActionInterpreter&) = delete;

    // Runs or queues the action; a queued action is 1 at once. `ticket`
    // receives the queue's number for a queued action, 0 otherwise.
    int DispatchCurl(CActionContext& context, quint64* ticket = nullptr);
    int CurlPath(CActionContext& context);
    int RunCommand(CActionContext& context);

    // A page submit of the properties panel is under way: the page's own
    // "curl:" links must not run meanwhile.
    bool IsPageSubmitGuarded() const { return m_pageSubmitGuard.load(); }

    // The delay after each action of a list, in milliseconds ("set:").
    int ActionDelayMSecs() const { return m_actionDelayMSecs.load(); }

private:
    struct Call {
        CActionContext& context;
        QString text;      // as given
        QString argument;  // after the prefix, as given
        QString trimmed() const { return argument.trimmed(); }
    };
    using Handler = int (CActionInterpreter::*)(Call&);
    struct Command {
        const char16_t* word;
        bool prefix;
        Handler run;
    };
    static const Command kCommands[];

    // Runs the work on the UI thread (directly when already there); false
    // when it was refused.
    bool onUi(const std::function<void()>& work);
    // The context's item on the UI thread: the selected item for id 0, null
    // when it is gone.
    QTreeWidgetItem* itemOf(quint32 itemId) const;
    bool itemIsGone(quint32 itemId);
    QString expandGridReferences(const QString& text);
    void walkTreePath(const QString& text, bool fromRoot);
    bool walkComponent(const QString& component, const QString& text, quint32& current);
    bool selectForced(const QString& label, const QString& text, quint32 item);
    int scriptError(const QString& text);
    int errorBox(const QString& text);
    // A box of one of the PopupType types, shown through the application's
    // counting wrappers.
    int box(const QString& text, int type);
    bool inScriptMode() const;
    // The locator parameters that a command adds to a URL it builds.
    static QString withParameters(const QString& url, const CActionContext& context);
    bool gridUsable();
    int gridNotActive(const Call& call);

    int closeProperties(Call& call);
    int navigate(Call& call);
    int openProperties(Call& call);
    int gridMenuPick(Call& call);
    int treeMenuPick(Call& call);
    int closeWizard(Call& call);
    int openWizard(Call& call);
    int showHelp(Call& call);
    int sleep(Call& call);
    int logout(Call& call);
    int login(Call& call);
    int selectFile(Call& call);
    int loginAll(Call& call);
    int refresh(Call& call);
    int refreshTab(Call& call);
    int populate(Call& call);
    int refreshParent(Call& call);
    int deleteChildren(Call& call);
    int ok(Call& call);
    int apply(Call& call);
    int submitProperties(bool apply);
    int cancel(Call& call);
    int newRow(Call& call);
    int search(Call& call);
    int message(Call& call);
    int warning(Call& call);
    int error(Call& call);
    int okCancel(Call& call);
    int yesNo(Call& call);
    int synchCount(Call& call);
    int clearCount(Call& call);
    int newWorldView(Call& call);
    int saveWorldView(Call& call);
    int newFolder(Call& call);
    int newServer(Call& call);
    int touch(Call& call);
    int remove(Call& call);
    int clearPrefs(Call& call);
    int showLocator(Call& call);
    int propertiesFromURL(Call& call);
    int properties(Call& call);
    int launchBrowser(Call& call);
    int launchDiscover(Call& call);
    int xml(Call& call);
    int app(Call& call);
    int set(Call& call);
    int prompt(Call& call);
    int gridSelection(Call& call);
    int gridExportAll(Call& call);
    int gridExportSelected(Call& call);
    int gridExport(Call& call, bool selectedOnly);
    int gridSort(Call& call);
    int timer(Call& call);
    int fieldChooser(Call& call);
    int tab(Call& call);
    int setPreference(Call& call);

    CTheApp& m_app;
    std::atomic<int> m_actionDelayMSecs{0};
    std::atomic<bool> m_pageSubmitGuard{false};
    std::atomic<bool> m_skipNextSubmit{false};
    std::atomic<bool> m_refreshSeen{false};
};
