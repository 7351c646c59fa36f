// The command table of the action language, in the order in which the
// commands are tested: the first match wins.

#include "app/actionhelp.h"
#include "app/actioninterpreter.h"
#include "app/actions.h"
#include "app/actionwindows.h"
#include "app/clientapplauncher.h"
#include "app/history.h"
#include "app/theapp.h"
#include "frame/mainframe.h"
#include "framework/klog.h"
#include "framework/ktext.h"
#include "server/mysystem.h"
#include "settings/urlcoding.h"
#include "settings/urltext.h"
#include "settings/wholefile.h"
#include "tree/leftview.h"

#include <QFileInfo>
#include <QGuiApplication>

namespace {

CMySystem* systemOf(CMyTree& tree, QTreeWidgetItem* item) {
    return dynamic_cast<CMySystem*>(tree.GetSystem(item));
}

QStringList splitTrimmed(const QString& text, int maximum) {
    QStringList parts;
    kParseDelimedList(text, parts, maximum, u',', true);
    return parts;
}

// "name=value" split at the first "=", both trimmed; false without "=".
bool splitAssignment(const QString& text, QString& name, QString& value) {
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0) {
        return false;
    }
    name = text.left(equals).trimmed();
    value = text.mid(equals + 1).trimmed();
    return true;
}

// Deletes a file the user named; a folder is never deleted. True when there
// is no such file afterwards.
bool removeUserFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return true;
    }
    return !info.isDir() && QFile::remove(path);
}

}  // namespace

const CActionInterpreter::Command CActionInterpreter::kCommands[] = {
    {u"closeproperties", false, &CActionInterpreter::closeProperties},
    {u"navigate=", true, &CActionInterpreter::navigate},
    {u"openproperties=", true, &CActionInterpreter::openProperties},
    {u"gridmenupick=", true, &CActionInterpreter::gridMenuPick},
    {u"treemenupick=", true, &CActionInterpreter::treeMenuPick},
    {u"closewizard", false, &CActionInterpreter::closeWizard},
    {u"openwizard=", true, &CActionInterpreter::openWizard},
    {u"showhelp=", true, &CActionInterpreter::showHelp},
    {u"sleep=", true, &CActionInterpreter::sleep},
    {u"logout", false, &CActionInterpreter::logout},
    {u"login=", true, &CActionInterpreter::login},
    {u"selectfile", false, &CActionInterpreter::selectFile},
    {u"loginall", false, &CActionInterpreter::loginAll},
    {u"refresh", false, &CActionInterpreter::refresh},
    {u"refreshtab", false, &CActionInterpreter::refreshTab},
    {u"populate", false, &CActionInterpreter::populate},
    {u"refreshparent", false, &CActionInterpreter::refreshParent},
    {u"deletechildren", false, &CActionInterpreter::deleteChildren},
    {u"ok", false, &CActionInterpreter::ok},
    {u"apply", false, &CActionInterpreter::apply},
    {u"cancel", false, &CActionInterpreter::cancel},
    {u"new", false, &CActionInterpreter::newRow},
    {u"search=", true, &CActionInterpreter::search},
    {u"message=", true, &CActionInterpreter::message},
    {u"info=", true, &CActionInterpreter::message},
    {u"warning=", true, &CActionInterpreter::warning},
    {u"error=", true, &CActionInterpreter::error},
    {u"okcancel=", true, &CActionInterpreter::okCancel},
    {u"yesno=", true, &CActionInterpreter::yesNo},
    {u"synchcount", false, &CActionInterpreter::synchCount},
    {u"clearcount", false, &CActionInterpreter::clearCount},
    {u"newworldview", false, &CActionInterpreter::newWorldView},
    {u"saveworldview=", true, &CActionInterpreter::saveWorldView},
    {u"newfolder=", true, &CActionInterpreter::newFolder},
    {u"newserver=", true, &CActionInterpreter::newServer},
    {u"touch=", true, &CActionInterpreter::touch},
    {u"remove=", true, &CActionInterpreter::remove},
    {u"clearprefs", false, &CActionInterpreter::clearPrefs},
    {u"browser:", true, &CActionInterpreter::showLocator},
    {u"browsewait:", true, &CActionInterpreter::showLocator},
    {u"grid:", true, &CActionInterpreter::showLocator},
    {u"elemchooser:", true, &CActionInterpreter::showLocator},
    {u"tree:", true, &CActionInterpreter::showLocator},
    {u"list:", true, &CActionInterpreter::showLocator},
    {u"properties:", true, &CActionInterpreter::propertiesFromURL},
    {u"properties", false, &CActionInterpreter::properties},
    {u"launchbrowser:", true, &CActionInterpreter::launchBrowser},
    {u"launchdiscover:", true, &CActionInterpreter::launchDiscover},
    {u"xml:", true, &CActionInterpreter::xml},
    {u"app:", true, &CActionInterpreter::app},
    {u"set:", true, &CActionInterpreter::set},
    {u"prompt:", true, &CActionInterpreter::prompt},
    {u"gridselection=", true, &CActionInterpreter::gridSelection},
    {u"gridexportall=", true, &CActionInterpreter::gridExportAll},
    {u"gridexportselected=", true, &CActionInterpreter::gridExportSelected},
    {u"gridsort:", true, &CActionInterpreter::gridSort},
    {u"timer:", true, &CActionInterpreter::timer},
    {u"fieldchooser", false, &CActionInterpreter::fieldChooser},
    {u"tab:", true, &CActionInterpreter::tab},
    {u"setpreference:", true, &CActionInterpreter::setPreference},
};

// ---- command matching ----

int CActionInterpreter::RunCommand(CActionContext& context) {
    if (m_pageSubmitGuard.load()) {
        return kActionRefused;
    }
    if (context.command == u"Apply|Refresh") {
        m_skipNextSubmit.store(true);
    }
    if (context.window != nullptr) {
        onUi([&] { WriteCommandHelp(*context.window); });
        return kActionHelpWritten;
    }
    if (itemIsGone(context.itemId)) {
        kWarningLog(u"Action '%s' not run: its tree item is gone.\n", context.command);
        return kActionRefused;
    }
    QString lower = context.command;
    kstrlwr(lower);
    for (const Command& command : kCommands) {
        const QStringView word(command.word);
        if (command.prefix ? lower.startsWith(word) : lower == word) {
            Call call{context, context.command,
                      command.prefix ? context.command.mid(word.size()) : QString()};
            return (this->*command.run)(call);
        }
    }
    return kActionUnknown;
}

// ---- properties pane, navigator, menus, wizard, help ----

int CActionInterpreter::closeProperties(Call&) {
    onUi([this] {
        if (CMainFrame* frame = m_app.MainFrame()) {
            frame->CloseProperties();
        }
    });
    return kActionDone;
}

int CActionInterpreter::navigate(Call& call) {
    onUi([&] {
        CActionWindows& windows = m_app.ActionWindows();
        if (windows.HasNavigator()) {
            windows.Navigate(call.argument);
        }
    });
    return kActionDone;
}

int CActionInterpreter::openProperties(Call& call) {
    onUi([&] {
        if (CMainFrame* frame = m_app.MainFrame()) {
            frame->OpenProperties(call.argument);
        }
    });
    return kActionDone;
}

int CActionInterpreter::gridMenuPick(Call& call) {
    onUi([&] {
        CMySystem* system = systemOf(m_app.Tree(), itemOf(call.context.itemId));
        if (system == nullptr) {
            errorBox(QStringLiteral("No server context, thus no context menus."));
            return;
        }
        const QString menu = m_app.ActionWindows().GridMenuName();
        if (menu.isEmpty()) {
            errorBox(QStringLiteral("No grid menu is defined for the current grid."));
            return;
        }
        system->PickContextMenuItem(menu, call.argument);
    });
    return kActionDone;
}

int CActionInterpreter::treeMenuPick(Call& call) {
    onUi([&] {
        CMyTree& tree = m_app.Tree();
        QTreeWidgetItem* item = itemOf(call.context.itemId);
        CMySystem* system = systemOf(tree, item);
        if (system == nullptr) {
            errorBox(QStringLiteral("No server context, thus no context menus."));
            return;
        }
        const CMyItem* record = tree.GetMyItem(item);
        const QString menu = record != nullptr ? record->GetMenuName() : QString();
        if (menu.isEmpty()) {
            errorBox(kFormat(u"No tree menu is defined for the tree item '%s'.",
                             record != nullptr ? record->GetLabel() : QString()));
            return;
        }
        system->PickContextMenuItem(menu, call.argument);
    });
    return kActionDone;
}

int CActionInterpreter::closeWizard(Call&) {
    onUi([this] {
        CActionWindows& windows = m_app.ActionWindows();
        if (windows.IsWizardVisible()) {
            windows.ToggleWizardBar();
        }
    });
    return kActionDone;
}

int CActionInterpreter::openWizard(Call& call) {
    QString url = call.argument;
    onUi([&] {
        CActionWindows& windows = m_app.ActionWindows();
        windows.ToggleWizardBar();
        if (!IsURL(url)) {
            if (CMySystem* system = systemOf(m_app.Tree(), itemOf(call.context.itemId))) {
                url = system->GetBaseURL(false) + url;
            }
        }
    });
    m_app.History().AddToURLTrail(url);
    onUi([&] {
        CActionWindows& windows = m_app.ActionWindows();
        windows.WizardNavigate(url);
        if (!windows.IsWizardVisible()) {
            windows.ToggleWizardBar();
        }
    });
    return kActionDone;
}

int CActionInterpreter::showHelp(Call& call) {
    onUi([&] { m_app.ActionWindows().LaunchHelp(call.argument); });
    return kActionDone;
}

// ---- waiting, login, servers ----

int CActionInterpreter::sleep(Call& call) {
    const int seconds = call.trimmed().toInt();
    m_app.SetStatusText(QString(), 0);
    for (int left = seconds; left > 0; --left) {
        m_app.SetStatusText(kFormat(u"Sleeping %d seconds ...", left), 0);
        if (!m_app.Actions().Pause(std::chrono::milliseconds(1000))) {
            kDebugLog(u"sleep= ended early: stop or abort.\n");
            break;
        }
    }
    return kActionDone;
}

int CActionInterpreter::logout(Call&) {
    int result = kActionRefused;
    onUi([&] {
        CMyTree& tree = m_app.Tree();
        QTreeWidgetItem* serverItem = tree.FindSystemItem(tree.GetSelectedItem());
        if (CMySystem* system = systemOf(tree, serverItem)) {
            system->Logout(&tree, serverItem);
            result = kActionDone;
        }
    });
    return result;
}

int CActionInterpreter::login(Call& call) {
    const QString credentials = call.trimmed();
    const qsizetype slash = credentials.indexOf(u'/');
    const QString user = (slash < 0 ? credentials : credentials.left(slash)).trimmed();
    int result = kActionRefused;
    QString errorText;
    onUi([&] {
        CMyTree& tree = m_app.Tree();
        QTreeWidgetItem* serverItem = tree.FindSystemItem(tree.GetSelectedItem());
        CMySystem* system = systemOf(tree, serverItem);
        if (system == nullptr) {
            return;
        }
        system->User = user;
        if (slash >= 0) {
            system->Password = credentials.mid(slash + 1).trimmed();
        }
        result = system->Login(errorText, &tree, serverItem, false) != 0
                     ? kActionDone
                     : kActionFailed | kActionMessageShown;
    });
    if (result == (kActionFailed | kActionMessageShown)) {
        errorBox(errorText);
    }
    return result;
}

int CActionInterpreter::selectFile(Call&) {
    bool haveServer = false;
    bool chosen = false;
    QString path;
    onUi([&] {
        CMyTree& tree = m_app.Tree();
        haveServer = systemOf(tree, tree.GetSelectedItem()) != nullptr;
        if (haveServer) {
            chosen = m_app.ActionWindows().SelectFile(QStringLiteral("SelectFile"),
                                                      QStringLiteral("$KJ_HOME"), path);
        }
    });
    if (!haveServer) {
        return kActionRefused;
    }
    if (chosen) {
        box(QStringLiteral("You choose: ") + path, kPopupInformation);
    }
    return kActionDone;
}

int CActionInterpreter::loginAll(Call&) {
    onUi([this] { m_app.Services().LoginAllMatching(QString()); });
    return kActionDone;
}

// ---- tree item commands ----

int CActionInterpreter::refresh(Call& call) {
    onUi([&] {
        QTreeWidgetItem* item = itemOf(call.context.itemId);
        m_app.RefreshItemKeepSelection(item, true);
        m_app.ActionWindows().FetchAndExpand(itemOf(call.context.itemId));
    });
    m_refreshSeen.store(true);
    return kActionDone;
}

int CActionInterpreter::refreshTab(Call&) {
    onUi([this] {
        CActionWindows& windows = m_app.ActionWindows();
        if (windows.HasTabs()) {
            windows.SelectCurrentTab();
        }
    });
    return kActionDone;
}

int CActionInterpreter::populate(Call& call) {
    onUi([&] {
        CMyTree& tree = m_app.Tree();
        QTreeWidgetItem* item = itemOf(call.context.itemId);
        if (item != nullptr && !tree.ItemHasChildren(item) && m_app.IsDynamicItem(item)) {
            m_app.RefreshItemKeepSelection(item, true);
            if (QTreeWidgetItem* still = itemOf(call.context.itemId)) {
                tree.CollapseItem(still);
            }
        }
    });
    return kActionDone;
}

int CActionInterpreter::refreshParent(Call& call) {
    onUi([&] {
        CActionWindows& windows = m_app.ActionWindows();
        windows.RefreshDynamicParent(itemOf(call.context.itemId));
        windows.FetchAndExpand(itemOf(call.context.itemId));
    });
    return kActionDone;
}

int CActionInterpreter::deleteChildren(Call& call) {
    onUi([&] {
        CMyTree& tree = m_app.Tree();
        QTreeWidgetItem* item = itemOf(call.context.itemId);
        const CMyItem* record = tree.GetMyItem(item);
        if (record != nullptr && record->ItemType != kKindSystem) {
            tree.Expand(item, false);
            tree.DeleteChildren(item);
        }
    });
    return kActionDone;
}

int CActionInterpreter::synchCount(Call& call) {
    onUi([&] {
        m_app.Tree().SetItemCount(itemOf(call.context.itemId),
                                  m_app.ActionWindows().GridRowCount());
    });
    return kActionDone;
}

int CActionInterpreter::clearCount(Call& call) {
    onUi([&] { m_app.Tree().RemoveItemCount(itemOf(call.context.itemId)); });
    return kActionDone;
}

int CActionInterpreter::newWorldView(Call&) {
    onUi([this] { m_app.Services().NewWorldView(); });
    return kActionDone;
}

int CActionInterpreter::saveWorldView(Call& call) {
    onUi([&] { m_app.Prefs().SetCurrentWorldView(call.argument, std::nullopt, std::nullopt); });
    return kActionDone;
}

int CActionInterpreter::newFolder(Call& call) {
    onUi([&] { m_app.ActionWindows().NewFolder(call.argument); });
    return kActionDone;
}

int CActionInterpreter::newServer(Call& call) {
    onUi([&] { m_app.ActionWindows().NewServer(itemOf(call.context.itemId), call.argument); });
    return kActionDone;
}

// ---- properties panel submit ----

int CActionInterpreter::ok(Call&) {
    return submitProperties(false);
}

int CActionInterpreter::apply(Call&) {
    return submitProperties(true);
}

int CActionInterpreter::submitProperties(bool apply) {
    const QString submit = QStringLiteral("javascript:document.BigForm.submit();");
    m_app.History().AddToURLTrail(submit);
    const auto enablePanes = [this](bool enabled) {
        if (CMainFrame* frame = m_app.MainFrame()) {
            if (QWidget* tree = frame->GetLeftView()) {
                tree->setEnabled(enabled);
            }
            frame->RightSplitter().setEnabled(enabled);
        }
    };
    int result = kActionDone;
    onUi([&] {
        CActionWindows& windows = m_app.ActionWindows();
        windows.SetBigFormField(QStringLiteral("DirtyBit"), QStringLiteral("0"));
        // The page submits itself; nothing else may be clicked meanwhile.
        enablePanes(false);
        if (!(m_app.IsUp() && windows.IsGridUsable())) {
            windows.NavigateAndWait(submit);
            enablePanes(true);
            return;
        }
        const QString keys =
            windows.GridSelectedRowsByColProp(QStringLiteral(","), QStringLiteral("@"));
        m_app.SetCancelFlag(0);
        if (apply) {
            windows.GridSetRowsToReselect(keys);
            if (!m_skipNextSubmit.exchange(false)) {
                m_pageSubmitGuard.store(true);
                windows.NavigateAndWait(submit);
                m_pageSubmitGuard.store(false);
            }
            windows.GridSetReselectAfterLoad();
            windows.GridReload();
            if (m_app.LogoutIfUnauthorized() != 0) {
                result = kActionLoggedOut;
            }
        } else {
            m_refreshSeen.store(false);
            windows.NavigateAndWait(submit);
            if (m_app.CancelFlag() == 0) {
                if (!m_refreshSeen.load()) {
                    windows.GridReload();
                }
                windows.GridSelectRows(keys, QStringLiteral(","), QStringLiteral("@"));
                if (m_app.CancelFlag() == 0) {
                    if (CMainFrame* frame = m_app.MainFrame()) {
                        frame->CloseProperties();
                    }
                    windows.BlankBrowserPane();
                }
            }
            m_refreshSeen.store(false);
        }
        enablePanes(true);
    });
    return result;
}

int CActionInterpreter::cancel(Call& call) {
    onUi([&] {
        CActionWindows& windows = m_app.ActionWindows();
        if (!(m_app.IsUp() && windows.IsGridUsable())) {
            m_app.RefreshItemKeepSelection(itemOf(call.context.itemId), true);
            return;
        }
        windows.BlankBrowserPane();
        if (CMainFrame* frame = m_app.MainFrame()) {
            frame->CloseProperties();
        }
        if (windows.GridIsLastRowEmpty()) {
            windows.GridSelectRows(QString(), QStringLiteral(","), QStringLiteral("@"));
            windows.GridDeleteLastRow();
        }
    });
    return kActionDone;
}

int CActionInterpreter::newRow(Call&) {
    onUi([this] {
        CActionWindows& windows = m_app.ActionWindows();
        if (m_app.IsUp() && windows.IsGridUsable()) {
            windows.BlankBrowserPane();
            if (CMainFrame* frame = m_app.MainFrame()) {
                frame->CloseProperties();
            }
            windows.GridNewRow();
        }
    });
    return kActionDone;
}

int CActionInterpreter::search(Call& call) {
    onUi([&] {
        if (m_app.IsUp() && m_app.ActionWindows().IsGridUsable()) {
            m_app.ActionWindows().SetFilter(call.argument);
        }
    });
    return kActionDone;
}

// ---- pop-ups ----

int CActionInterpreter::message(Call& call) {
    box(call.argument, kPopupInformation);
    return kActionDone;
}

int CActionInterpreter::warning(Call& call) {
    box(call.argument, kPopupWarning);
    return kActionDone;
}

int CActionInterpreter::error(Call& call) {
    box(call.argument, kPopupError);
    return kActionDone;
}

int CActionInterpreter::okCancel(Call& call) {
    box(call.argument, kPopupOkCancel);
    return kActionDone;
}

int CActionInterpreter::yesNo(Call& call) {
    box(call.argument, kPopupYesNo);
    return kActionDone;
}

// ---- client files and programs ----

int CActionInterpreter::touch(Call& call) {
    const QString path = call.trimmed();
    if (WriteStringToFile(path, QString()) == 0) {
        scriptError(kFormat(u"FAILED to create: %s", path));
    }
    return kActionDone;
}

int CActionInterpreter::remove(Call& call) {
    const QString path = call.trimmed();
    if (!removeUserFile(path)) {
        scriptError(kFormat(u"FAILED to remove: %s", path));
    }
    return kActionDone;
}

int CActionInterpreter::app(Call& call) {
    CClientAppLauncher launcher;
    switch (launcher.Launch(call.trimmed(), call.context)) {
        case CClientAppLauncher::Outcome::Started:
            break;
        case CClientAppLauncher::Outcome::RecordNotWritten:
            scriptError(kFormat(u"FAILED to create: %s", launcher.RecordPath()));
            break;
        case CClientAppLauncher::Outcome::NotStarted:
            scriptError(kFormat(u"FAILED to run: %s", call.trimmed()));
            break;
    }
    return kActionDone;
}

int CActionInterpreter::clearPrefs(Call&) {
    onUi([this] {
        m_app.Prefs().Settings().Clear();
        m_app.Prefs().InitFormatLists();
    });
    return kActionDone;
}

// ---- locators, properties, browser windows, fetches ----

int CActionInterpreter::showLocator(Call& call) {
    const QString locator = withParameters(call.text, call.context);
    bool shown = false;
    onUi([&] { shown = m_app.Services().ShowCurl(locator); });
    if (!shown) {
        scriptError(kFormat(u"FAILED: %s", locator));
    }
    return kActionDone;
}

int CActionInterpreter::propertiesFromURL(Call& call) {
    bool hasGrid = false;
    bool shown = false;
    onUi([&] {
        CActionWindows& windows = m_app.ActionWindows();
        hasGrid = windows.HasGrid();
        if (!hasGrid) {
            return;
        }
        QString url = call.trimmed();
        if (url.isEmpty()) {
            url = windows.GridPropertiesURL();
        }
        if (!url.contains(u"&Target=")) {
            url += call.context.target;
        }
        shown = windows.GridUpdatePropertiesPanel(url + call.context.extra);
    });
    if (!hasGrid) {
        scriptError(kFormat(u"FAILED: %s (%s)", call.text, QStringLiteral("Grid is not active")));
    } else if (!shown) {
        scriptError(kFormat(u"FAILED: %s", call.text));
    }
    return kActionDone;
}

int CActionInterpreter::properties(Call& call) {
    bool hasGrid = false;
    bool shown = false;
    onUi([&] {
        CActionWindows& windows = m_app.ActionWindows();
        hasGrid = windows.HasGrid();
        shown = hasGrid && windows.GridShowRowProperties();
    });
    if (!hasGrid) {
        scriptError(kFormat(u"FAILED: %s (%s)", call.text, QStringLiteral("Grid is not active")));
    } else if (!shown) {
        scriptError(kFormat(u"FAILED: %s", call.text));
    }
    return kActionDone;
}

int CActionInterpreter::launchBrowser(Call& call) {
    onUi([&] {
        QString url = call.trimmed();
        if (!IsURL(url)) {
            url = m_app.GetServerURL(nullptr) + url;
        }
        url = withParameters(url, call.context);
        QString title = QStringLiteral("Quillet for Velnix by Zorvic");
        if (url.contains(u"Action=RunElementReport")) {
            title = QStringLiteral("Element Report - Quillet for Velnix by Zorvic");
        } else if (url.contains(u"Action=Ping")) {
            title = QStringLiteral("Ping - Quillet for Velnix by Zorvic");
        } else if (url.contains(u"Action=GetRunDiscover")) {
            title = QStringLiteral("Discover - Quillet for Velnix by Zorvic");
        }
        m_app.ActionWindows().LaunchBrowser(url, title);
    });
    return kActionDone;
}

int CActionInterpreter::launchDiscover(Call& call) {
    onUi([&] {
        QString url = call.trimmed();
        if (!IsURL(url)) {
            url = m_app.GetServerURL(nullptr) + url;
        }
        const qsizetype args = url.indexOf(u"&Args=");
        const qsizetype output = args < 0 ? -1 : url.indexOf(u"&output=", args + 6);
        if (output >= 0) {
            const qsizetype start = args + 6;
            url.replace(start, output - start, EncodeForURL(url.mid(start, output - start)));
        }
        m_app.ActionWindows().LaunchBrowser(
            url, QStringLiteral("Discover - Quillet for Velnix by Zorvic"));
    });
    return kActionDone;
}

int CActionInterpreter::xml(Call& call) {
    const QString url = withParameters(call.trimmed(), call.context);
    CMySystem* system = nullptr;
    onUi([&] { system = systemOf(m_app.Tree(), itemOf(call.context.itemId)); });
    if (system == nullptr) {
        scriptError(kFormat(u"FAILED: %s (%s)", call.text, QStringLiteral("No server is active")));
        return kActionDone;
    }
    // The fetch blocks this worker, not the windows.
    if (!system->FetchData(url, QString(), false)) {
        scriptError(kFormat(u"FAILED: %s", url));
    }
    return kActionDone;
}

// ---- variables and prompts ----

int CActionInterpreter::set(Call& call) {
    QString name;
    QString value;
    if (!splitAssignment(call.trimmed(), name, value)) {
        errorBox(kFormat(u"Missing = sign after '%s' (%s)", call.trimmed(), call.context.name));
        return kActionDone;
    }
    kstrlwr(name);
    m_app.SetUserVariable(name, value);
    if (name == u"actiondelaymsecs") {
        m_actionDelayMSecs.store(value.toInt());
    } else if (name == u"actionlog") {
        m_app.SetActionLogPath(value);
        // A fresh log; only a file is ever deleted here.
        if (!removeUserFile(value)) {
            kWarningLog(u"set:actionlog: %s is kept; it is not a file that can be removed.\n",
                        value);
        }
    }
    if (call.context.result != nullptr) {
        *call.context.result = 0;
    }
    return kActionDone;
}

int CActionInterpreter::prompt(Call& call) {
    QString name;
    QString text;
    if (!splitAssignment(call.trimmed(), name, text)) {
        errorBox(kFormat(u"Missing = sign after '%s' (%s)", call.trimmed(), call.context.name));
        return kActionDone;
    }
    bool answered = false;
    QString answer;
    onUi([&] { answered = m_app.ActionWindows().Prompt(text, answer); });
    if (!answered) {
        m_app.AddToCancelFlag();
        return kActionDone;
    }
    const QString encoded = EncodeForURL(answer);
    call.context.extra += u'&' + kFormat(u"%s=%s", name, encoded);
    if (call.context.list != nullptr) {
        call.context.list->Add(name, encoded);
    }
    return kActionDone;
}

int CActionInterpreter::setPreference(Call& call) {
    QString name;
    QString value;
    if (!splitAssignment(call.trimmed(), name, value)) {
        errorBox(kFormat(u"setpreference: Missing = sign after '%s' (%s)", call.trimmed(),
                         call.context.name));
        return kActionDone;
    }
    onUi([&] { m_app.Prefs().SetString(name, value); });
    return kActionDone;
}

// ---- main grid ----

int CActionInterpreter::gridSelection(Call& call) {
    if (!gridUsable()) {
        return gridNotActive(call);
    }
    int matched = 0;
    onUi([&] {
        matched = m_app.ActionWindows().GridSelectRows(call.trimmed(), QStringLiteral(","),
                                                       QStringLiteral("@"));
    });
    if (matched == 0) {
        errorBox(kFormat(u"No grid rows found for: %s", call.trimmed()));
    }
    return kActionDone;
}

int CActionInterpreter::gridExportAll(Call& call) {
    return gridExport(call, false);
}

int CActionInterpreter::gridExportSelected(Call& call) {
    return gridExport(call, true);
}

int CActionInterpreter::gridExport(Call& call, bool selectedOnly) {
    if (!gridUsable()) {
        return gridNotActive(call);
    }
    bool written = false;
    onUi([&] {
        const bool modifierHeld = (QGuiApplication::queryKeyboardModifiers() &
                                   (Qt::ControlModifier | Qt::ShiftModifier)) != 0;
        written = m_app.ActionWindows().GridSaveAsCSV(call.trimmed(), selectedOnly, modifierHeld);
    });
    return written ? kActionDone : kActionFailed;
}

int CActionInterpreter::gridSort(Call& call) {
    if (!gridUsable()) {
        return gridNotActive(call);
    }
    const QStringList parts = splitTrimmed(call.trimmed(), 3);
    if (parts.size() != 2) {
        errorBox(QStringLiteral("Wrong number of args for 'GridSort:' action."));
        return kActionDone;
    }
    bool sorted = false;
    onUi([&] { sorted = m_app.ActionWindows().GridSortByColName(parts[0], parts[1] == u"1"); });
    if (!sorted) {
        errorBox(QStringLiteral(
            "Could not complete 'GridSort:' action.\nPlease check the arguments and try again."));
    }
    return kActionDone;
}

int CActionInterpreter::fieldChooser(Call& call) {
    onUi([&] {
        CActionWindows& windows = m_app.ActionWindows();
        if (!(m_app.IsUp() && windows.IsGridUsable()) || m_app.IsAbortedThread()) {
            errorBox(kFormat(u"Cannot process '%s': Main Grid is NOT ACTIVE.", call.text));
        } else if (!windows.GridHasFieldChooser()) {
            errorBox(kFormat(u"Cannot process '%s': this Grid has no Field Chooser.", call.text));
        } else {
            windows.GridOpenFieldChooser();
        }
    });
    return kActionDone;
}

// ---- timers, tabs ----

int CActionInterpreter::timer(Call& call) {
    const QStringList parts = splitTrimmed(call.trimmed(), 3);
    const QString verb = parts.isEmpty() ? QString() : parts[0].toLower();
    if (verb == u"clear" && parts.size() == 1) {
        m_app.Timers() = CTimerList();
        return kActionDone;
    }
    if (parts.size() != 2) {
        errorBox(QStringLiteral("Wrong number of args for 'timer:' action."));
    } else if (verb == u"start") {
        m_app.Timers().StartTimer(parts[1]);
    } else if (verb == u"stop") {
        m_app.Timers().StopTimer(parts[1]);
    } else if (verb == u"dump") {
        m_app.DumpTimers(parts[1]);
    } else {
        errorBox(QStringLiteral("Invalid args after 'timer:' action."));
    }
    return kActionDone;
}

int CActionInterpreter::tab(Call& call) {
    const QStringList parts = splitTrimmed(call.trimmed(), 3);
    if (!parts.isEmpty() && parts[0] == u"add") {
        const QString label =
            parts.size() > 1 && !parts[1].isEmpty() ? parts[1] : QStringLiteral("{missing label}");
        const QString action = parts.size() > 2 && !parts[2].isEmpty()
                                   ? parts[2]
                                   : QStringLiteral("curl:error=missing action");
        onUi([&] {
            QTreeWidgetItem* item = itemOf(0);
            m_app.ActionWindows().AddPart(item, label, action);
            m_app.RefreshItemKeepSelection(item, true);
        });
        return kActionDone;
    }
    bool selected = false;
    onUi([&] { selected = m_app.ActionWindows().SelectTabByLabel(call.trimmed()); });
    if (!selected) {
        errorBox(kFormat(u"Invalid tab specification: %s", call.trimmed()));
    }
    return kActionDone;
}
