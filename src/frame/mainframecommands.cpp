// The main frame's commands: the contract the menus, bars and keys use
// (carry out, state, popup preparation, the Actions menu), the World View
// file commands, printing, the list styles and the pane focus.

#include "frame/browserview.h"
#include "frame/folderlist.h"
#include "frame/framecommands.h"
#include "frame/framesite.h"
#include "frame/mainframe.h"
#include "frame/menubar.h"
#include "frame/myview.h"
#include "frame/myviewdlg.h"
#include "frame/qvxtoolbar.h"
#include "frame/searchtoolbar.h"
#include "framework/klog.h"
#include "grid/mygrid.h"
#include "net/wireservices.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "server/mysystem.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "settings/settingsfolder.h"
#include "settings/windowtitletoken.h"
#include "tree/leftview.h"
#include "tree/myitem.h"
#include "tree/mytree.h"
#include "tree/worldviewfile.h"
#include "ui/popupmessages.h"
#include "ui/uiservices.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTreeWidget>
#include <QUrl>

namespace {

// The World View item commands enabled by the selected item's kind letter.
struct KindRule {
    int commandId;
    const char16_t* kinds;
};
constexpr KindRule kKindRules[] = {
    {32776, u"FSR"}, {32822, u"FSR"}, {32777, u"S"}, {32779, u"S"},
    {32773, u"RF"},  {32823, u"RF"},  {32774, u"F"}, {32775, u"F"},
};

const KindRule* kindRuleOf(int commandId) {
    for (const KindRule& rule : kKindRules) {
        if (rule.commandId == commandId) {
            return &rule;
        }
    }
    return nullptr;
}

// Commands the World View pane carries out as they are (32770 is F2, its
// rename).
constexpr int kTreePaneCommands[] = {32776, 32822, 32777, 32773, 32823, 32797, 32769,
                                     32784, 32802, 32803, 32804, 32805, 32806, 32807,
                                     472,   57670, 32830, 32820, 32770};
// The server menu entries of the World View pane's popups.
constexpr int kFirstTreeMenuCommand = 40000;
constexpr int kLastTreeMenuCommand = 50000;
// Copy, Cut and Paste.
constexpr int kEditCommands[] = {57634, 57635, 57637};
// The Edit menu's commands: they act on whatever has the focus, so each is
// offered only while the focused pane or field can take it.
constexpr int kFocusedEditCommands[] = {57634, 57635, 57637, 57642, 57643};
// Commands the pane carries out after which the right-hand side changes.
constexpr int kTreePaneRebuildCommands[] = {32779, 32774, 32775};

template <std::size_t N>
bool isOneOf(int commandId, const int (&ids)[N]) {
    return std::find(std::begin(ids), std::end(ids), commandId) != std::end(ids);
}

constexpr int kFirstListStyle = 59408;
constexpr int kLineUpIcons = 59412;
constexpr int kArrangeByName = 59413;
constexpr int kLastListStyle = kArrangeByName;

// The folder list mode of a list style command, -1 for the others.
int listModeOfCommand(int commandId) {
    switch (commandId) {
        case 59408:
            return CFolderList::kSmallIcon;
        case 59409:
            return CFolderList::kIcon;
        case 59410:
            return CFolderList::kList;
        case 59411:
            return CFolderList::kDetails;
        default:
            return -1;
    }
}

QString textWithoutAmpersands(const QAction* action) {
    QString text = action->text();
    text.remove(u'&');
    return text;
}

}  // namespace

bool CMainFrame::OnCommand(int commandId) {
    // The grid's server menu commands go to the view first.
    CMyView* view = commandView();
    if (view != nullptr && view->OnServerCommand(commandId)) {
        return true;
    }
    return RunCommandHandler(commandHandlerOf(commandId));
}

bool CMainFrame::HasCommandHandler(int commandId) {
    return static_cast<bool>(commandHandlerOf(commandId));
}

CMyView* CMainFrame::commandView() const {
    CMyView* view = GetMyView();
    return view != nullptr && m_site.IsUp() && view->isVisible() ? view : nullptr;
}

CommandHandler CMainFrame::commandHandlerOf(int commandId) {
    // A focused filter field takes its edit commands first.
    if (m_filterBar->HasFieldFocus()) {
        if (CommandHandler handler = m_filterBar->Field().CommandHandlerOf(commandId)) {
            return handler;
        }
    }
    // Copy, Cut and Paste act on the World View pane while it has the focus.
    if (GetFocusPane() == kWorldViewPane && isOneOf(commandId, kEditCommands)) {
        return [this, commandId] { m_site.TreePaneCommand(commandId); };
    }
    // The view next: the list, the grid, the panel's edit commands.
    if (CMyView* view = commandView()) {
        if (CommandHandler handler = view->CommandHandlerOf(commandId)) {
            return handler;
        }
    }
    return frameHandlerOf(commandId);
}

CommandHandler CMainFrame::frameHandlerOf(int commandId) {
    if (isOneOf(commandId, kTreePaneCommands) ||
        (commandId >= kFirstTreeMenuCommand && commandId <= kLastTreeMenuCommand)) {
        return [this, commandId] { m_site.TreePaneCommand(commandId); };
    }
    if (isOneOf(commandId, kTreePaneRebuildCommands)) {
        return [this, commandId] {
            m_site.TreePaneCommand(commandId);
            RebuildRHS();
        };
    }
    if (commandId >= kFirstListStyle && commandId < kArrangeByName) {
        return [this, commandId] {
            kDebugLog(u"CMainFrame::OnViewStyle(): %06d\n", ++m_viewStyleCalls);
            CMyView* view = GetMyView();
            if (view == nullptr) {
                return;
            }
            switch (commandId) {
                case kLineUpIcons:
                    view->GetFolderList()->LineUpIcons();
                    return;
                default:
                    view->ModifyListStyle(listModeOfCommand(commandId));
                    return;
            }
        };
    }
    switch (commandId) {
        case 32793:
            return [this] {
                CMyTree& tree = m_site.Tree();
                const CMyItem* record = tree.GetMyItem(tree.GetSelectedItem());
                m_site.TreePaneCommand(
                    record != nullptr && record->ItemType == kKindFolder ? 32823 : 32822);
            };
        case 32796:
        case 32864:
            return [this] { NewWorldView(); };
        case 32866:
        case 32862:
            return [this] { OpenWorldView(); };
        case 32819:
        case 32852:
            return [this] { m_site.WorldViewFile().SaveWorldView(false); };
        case 32859:
        case 32861:
            return [this] { m_site.WorldViewFile().SaveWorldView(true); };
        case 57607:
            return [this] { printSelected(); };
        case 57665:
            return [this] { close(); };
        case 32778:
        case 32780:
            return [this, commandId] { m_site.HistoryStep(commandId == 32780); };
        case 32782:
            return [this] { OnStop(); };
        case 32810:
        case 57664:
        case 32851:
            return [this, commandId] { m_site.ShowDialog(commandId); };
        case 32818:
            return [this] { m_site.LaunchHelp(QString()); };
        case 32871:
            return [this] {
                CMyTree& tree = m_site.Tree();
                if (const auto* system =
                        dynamic_cast<const CMySystem*>(tree.GetSystem(tree.GetSelectedItem()))) {
                    m_site.LaunchHelp(system->GetVoiceHelpURL());
                }
            };
        case 57669:
            return [this] { m_site.SetContextHelpMode(!m_site.InContextHelpMode()); };
        case 32815:
            return [this] { FocusNextPane(GetFocusPane()); };
        case 32855:
            return [this] {
                CMyTree& tree = m_site.Tree();
                if (tree.GetSystem(tree.GetSelectedItem()) != nullptr) {
                    m_site.ShowPreferencesPanel();
                } else {
                    UiServices().Popups().ErrorBox(
                        QStringLiteral("Cannot show INI parms: need to be attached to a server "
                                       "(for style sheets)."));
                }
            };
        case 32798:
            // "Export Data" exports every row of the grid shown.
            return [this] {
                if (CMyView* view = GetMyView()) {
                    RunCommandHandler(view->CommandHandlerOf(32791));
                }
            };
        case 32839:
            // Never enabled; taken so that a send of it is no wiring fault.
            return [] {};
        default:
            return barHandlerOf(commandId);
    }
}

void CMainFrame::UpdateCommandUI(int commandId, CCmdUI& state, bool inActionsMenu) {
    CMyTree& tree = m_site.Tree();
    QTreeWidgetItem* selected = tree.GetSelectedItem();
    const CMyItem* record = tree.GetMyItem(selected);
    if (const KindRule* rule = kindRuleOf(commandId)) {
        if (inActionsMenu) {
            state.enabled =
                record != nullptr && QStringView(rule->kinds).contains(QChar(record->ItemType));
        }
        return;
    }
    if (commandId >= kFirstListStyle && commandId <= kLastListStyle) {
        const CMyView* view = GetMyView();
        state.radio = true;
        state.checked = false;
        if (!m_site.IsUp() || view == nullptr || !view->IsListShown()) {
            state.enabled = false;
            return;
        }
        const int mode = view->ListViewMode();
        if (commandId == kArrangeByName) {
            // Arranging by name has nothing to do here: never offered.
            state.enabled = false;
            return;
        }
        if (commandId == kLineUpIcons) {
            state.enabled = mode == CFolderList::kIcon || mode == CFolderList::kSmallIcon;
            return;
        }
        state.enabled = true;
        state.checked = listModeOfCommand(commandId) == mode;
        return;
    }
    if (barCommandUI(commandId, state)) {
        return;
    }
    if (isOneOf(commandId, kFocusedEditCommands)) {
        state.enabled = HasCommandHandler(commandId);
        return;
    }
    switch (commandId) {
        case 32770:
            // F2 renames in the World View pane; elsewhere it stays the key
            // of the focused grid or field.
            state.enabled = GetFocusPane() == kWorldViewPane;
            return;
        case 32819:
            state.enabled = tree.IsModified();
            return;
        case 57607:
        case 32798:
            state.enabled = record != nullptr && (record->PanelParts & kPanelGrid) != 0;
            return;
        case 32784:
            state.enabled = record != nullptr && !tree.IsBuilding() && record->HasContent();
            return;
        case 32778:
            state.enabled = m_site.HistoryPosition() > 1;
            return;
        case 32780:
            state.enabled = m_site.HistoryPosition() < m_site.HistoryCount();
            return;
        case 32782:
            state.enabled = (m_site.IsBusy() || gridFetching()) && WireServices().CancelFlag() == 0;
            return;
        case 32839:
            state.enabled = false;
            return;
        case 57669:
            state.checked = m_site.InContextHelpMode();
            return;
        case 32871: {
            // Only a server that named a voice help page offers it.
            const auto* system = dynamic_cast<const CMySystem*>(tree.GetSystem(selected));
            state.enabled = system != nullptr && !system->GetVoiceHelpURL().isEmpty();
            return;
        }
        default:
            state.enabled = true;
            return;
    }
}

void CMainFrame::OnInitMenuPopup(QMenu* popup) {
    if (popup == nullptr) {
        return;
    }
    // The menu bar's second popup is "&Actions", and the Actions button
    // opens the same menu: rebuilt from the focused pane each time it opens.
    const QList<QAction*> barMenus = m_menuBar->actions();
    const bool isActions = (barMenus.size() > 1 && barMenus[1]->menu() == popup) ||
                           popup == m_standardBar->ActionsMenu();
    if (isActions) {
        BuildActionsMenu(popup);
    }
    // A second pack translates the resource texts, never the first pack's.
    CFrameCommands::RestoreResourceTexts(m_menuBar);
    const CLangPack* pack = ActiveLangPack();
    if (pack != nullptr && !m_site.Prefs().GetString(QStringLiteral("LanguagePack")).isEmpty()) {
        pack->TranslateMenu(m_menuBar);
        if (popup == m_standardBar->ActionsMenu()) {
            pack->TranslateMenu(popup);
        }
    }
    for (QAction* action : popup->actions()) {
        const unsigned commandId = MenuCommandId(action);
        if (commandId == 0) {
            continue;
        }
        CCmdUI state;
        UpdateCommandUI(static_cast<int>(commandId), state, isActions);
        action->setEnabled(state.enabled);
        if (state.checked || action->isCheckable()) {
            action->setCheckable(true);
            action->setChecked(state.checked);
        }
    }
}

void CMainFrame::BuildActionsMenu(QMenu* menu) {
    if (menu == nullptr) {
        return;
    }
    std::unique_ptr<QMenu> built;
    switch (GetFocusPane()) {
        case kWorldViewPane:
            // The World View pane builds its item's menu; until it does the
            // general one serves.
            break;
        case kFolderListPane:
            built.reset(GetMyView()->BuildListMenu(nullptr));
            break;
        case kGridPane:
            built.reset(GetMyView()->BuildGridMenu(nullptr));
            break;
        default:
            break;
    }
    if (built == nullptr) {
        built.reset(LoadMenuResource(IDR_POPUP_TREE_ROOT));
    }
    menu->clear();
    MergeMenu(menu, FirstSubMenu(built.get()), false);
}

bool CMainFrame::MergeMenu(QMenu* destination, const QMenu* source, bool topLevel) {
    if (source == nullptr || source->actions().isEmpty()) {
        return true;
    }
    if (!topLevel && !destination->actions().isEmpty()) {
        destination->addSeparator();
    }
    for (QAction* item : source->actions()) {
        if (QMenu* sourcePopup = item->menu()) {
            QMenu* target = nullptr;
            QAction* before = nullptr;
            if (topLevel) {
                const QString name = textWithoutAmpersands(item);
                for (QAction* existing : destination->actions()) {
                    if (existing->menu() != nullptr && textWithoutAmpersands(existing) == name) {
                        target = existing->menu();
                        break;
                    }
                    const QString existingName = textWithoutAmpersands(existing);
                    if (before == nullptr && (existingName == u"Window" || existingName == u"?" ||
                                              existingName == u"Help")) {
                        before = existing;
                    }
                }
            }
            if (target != nullptr) {
                if (!MergeMenu(target, sourcePopup, false)) {
                    return false;
                }
                continue;
            }
            auto* popup = new QMenu(item->text(), destination);
            if (before != nullptr) {
                destination->insertMenu(before, popup);
            } else {
                destination->addMenu(popup);
            }
            if (!MergeMenu(popup, sourcePopup, false)) {
                return false;
            }
            continue;
        }
        if (item->isSeparator()) {
            destination->addSeparator();
            continue;
        }
        QAction* copy = destination->addAction(item->text());
        copy->setData(item->data());
        copy->setEnabled(item->isEnabled());
        copy->setCheckable(item->isCheckable());
        copy->setChecked(item->isChecked());
    }
    return true;
}

bool CMainFrame::askSaveWorldView() {
    if (!m_site.Tree().IsModified()) {
        return true;
    }
    switch (UiServices().Popups().PopupMessage(LangLookup(LoadResourceString(561)),
                                               kPopupYesNoCancel)) {
        case kAnswerYes:
            return m_site.WorldViewFile().SaveWorldView(false) != 0;
        case kAnswerNo:
            return true;
        default:
            return false;
    }
}

QString CMainFrame::ServerDescriptorOfToken(const QString& token) {
    const qsizetype colon = token.indexOf(u':');
    if (colon < 0) {
        return {};
    }
    const QString scheme = token.left(colon);
    // Only a web address may name a server: anything else ("javascript:")
    // would make one of whatever a window title says.
    if (scheme != u"http" && scheme != u"https") {
        return {};
    }
    const QString rest = token.mid(colon + 1);
    const qsizetype portColon = rest.indexOf(u':');
    QString host = portColon < 0 ? rest : rest.left(portColon);
    QString port = portColon < 0 ? QString() : rest.mid(portColon + 1);
    host.remove(u'/');
    port.remove(u'/');
    static const QRegularExpression hostPattern(QStringLiteral("^[A-Za-z0-9.\\-]+$"));
    if (!hostPattern.match(host).hasMatch()) {
        return {};
    }
    if (port.isEmpty()) {
        return kFormat(u"%s/%s/%s", host, scheme, host);
    }
    bool isNumber = false;
    const int portNumber = port.toInt(&isNumber);
    if (!isNumber || portNumber < 1 || portNumber > 65535) {
        return {};
    }
    return kFormat(u"%s/%s/%s/%s", host, scheme, host, port);
}

void CMainFrame::NewWorldView() {
    if (!askSaveWorldView()) {
        return;
    }
    CMyTree& tree = m_site.Tree();
    tree.DeleteChildren(tree.GetRootItem());
    RebuildRHS();
    tree.SetModified();
    m_newWorldViewUnsaved = true;
    m_site.NewServer(ServerDescriptorOfToken(FindWindowTitleToken()));
}

void CMainFrame::OpenWorldView() {
    if (!askSaveWorldView()) {
        return;
    }
    const QString path =
        QFileDialog::getOpenFileName(this, QString(), Getlocalsettingsdir(),
                                     QStringLiteral("Zorvic World View (*.zwv);;All Files (*)"));
    if (!path.isEmpty()) {
        OpenWorldViewFile(path);
    }
}

bool CMainFrame::OpenWorldViewFile(const QString& path) {
    CWorldViewFile& file = m_site.WorldViewFile();
    // A new request of the user's: an earlier error box must not stop it.
    m_site.ClearCancelFlag();
    if (file.LoadWorldView(path) == 0) {
        UiServices().Popups().ErrorBox(file.GetErrorText());
        return false;
    }
    m_newWorldViewUnsaved = false;
    m_site.Prefs().SetCurrentWorldView(path, std::nullopt, std::nullopt);
    CMyTree& tree = m_site.Tree();
    tree.SelectItem(tree.GetRootItem(), true);
    return true;
}

void CMainFrame::printSelected() {
    CMyTree& tree = m_site.Tree();
    const CMyItem* record = tree.GetMyItem(tree.GetSelectedItem());
    if (record == nullptr) {
        return;
    }
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if ((record->PanelParts & kPanelGrid) != 0) {
        if (CMyGrid* grid = GetGrid()) {
            grid->Print(&dialog);
        }
    } else if ((record->PanelParts & kPanelBrowser) != 0) {
        if (CBrowserView* browser = GetBrowserView()) {
            browser->print(&printer);
        }
    } else if ((record->PanelParts & kPanelList) != 0) {
        if (CFolderList* list = GetFolderList()) {
            QPainter painter(&printer);
            list->CurrentView()->render(&painter);
        }
    }
}

int CMainFrame::GetFocusPane() const {
    const QWidget* focus = QApplication::focusWidget();
    const CMyView* view = GetMyView();
    if (view == nullptr || focus == nullptr) {
        return kNoPane;
    }
    const QTreeWidget* worldView = GetLeftView();
    if (worldView != nullptr && (focus == worldView || worldView->isAncestorOf(focus))) {
        return kWorldViewPane;
    }
    if (view->PanelHasFocus()) {
        return kPanelPane;
    }
    if (view->GetFolderList()->HasFocusInside()) {
        return kFolderListPane;
    }
    const CMyGrid* grid = view->GetGrid();
    if (focus == grid || grid->isAncestorOf(focus)) {
        return kGridPane;
    }
    const CBrowserView* browser = GetBrowserView();
    if (browser != nullptr && (focus == browser || browser->isAncestorOf(focus))) {
        return kBrowserPane;
    }
    return kNoPane;
}

bool CMainFrame::FocusPane(int pane) {
    QTreeWidget* worldView = GetLeftView();
    CMyView* view = GetMyView();
    if (worldView == nullptr || view == nullptr) {
        return false;
    }
    switch (pane) {
        case kWorldViewPane:
            worldView->setFocus(Qt::TabFocusReason);
            return true;
        case kPanelPane:
            if (view->Panel() == nullptr || !view->Panel()->isVisible()) {
                return false;
            }
            view->Panel()->setFocus(Qt::TabFocusReason);
            return true;
        case kFolderListPane: {
            CFolderList* list = view->GetFolderList();
            if (!list->isVisible()) {
                return false;
            }
            if (list->SelectedRows().isEmpty() && list->RowCount() > 0) {
                list->SelectRow(0);
            }
            list->CurrentView()->setFocus(Qt::TabFocusReason);
            return true;
        }
        case kGridPane: {
            CMyGrid* grid = view->GetGrid();
            if (!grid->isVisible()) {
                return false;
            }
            const int firstRow = grid->GetFixedRowCount();
            const int firstCol = grid->GetFixedColumnCount();
            if (grid->GetSelectedCellRange().minRow < 0 && firstRow < grid->GetRowCount()) {
                grid->SetSelectedRange(firstRow, 0, firstRow, grid->GetColumnCount() - 1, true);
                grid->SetFocusCell(firstRow, firstCol);
            }
            grid->setFocus(Qt::TabFocusReason);
            return true;
        }
        case kBrowserPane: {
            CBrowserView* browser = GetBrowserView();
            if (browser == nullptr || !browser->isVisible()) {
                return false;
            }
            browser->setFocus(Qt::TabFocusReason);
            return true;
        }
        default:
            return false;
    }
}

bool CMainFrame::FocusNextPane(int start) {
    constexpr int kPanes = 5;
    for (int step = 1; step <= kPanes; ++step) {
        const int pane = ((start + step) % kPanes + kPanes) % kPanes;
        if (FocusPane(pane)) {
            return true;
        }
    }
    return false;
}
