#include "frame/myview.h"

#include "frame/folderlist.h"
#include "frame/myviewdlg.h"
#include "frame/panelfactory.h"
#include "framework/klog.h"
#include "grid/fieldchooserdialog.h"
#include "grid/gridnavigator.h"
#include "grid/mygrid.h"
#include "resources/menus.h"
#include "server/mysystem.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "tree/myitem.h"
#include "tree/mytree.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QResizeEvent>

CMyView::CMyView(CMyTree& tree, CPreferences& prefs, CPanelFactory& panels, QWidget* parent)
    : QWidget(parent), m_tree(tree), m_prefs(prefs), m_panels(panels) {
    kDebugLog(u"one-time creation of the primary Gridctrl object...\n");
    m_grid = new CMyGrid(this);
    m_grid->Create(rect(), this, 100);
    m_grid->hide();
    m_folderList = new CFolderList(this);
    m_folderList->SetMode(m_prefs.GetListViewMode());
    m_folderList->hide();
    connect(m_folderList, &CFolderList::RowActivated, this, [this](int row) {
        if (QTreeWidgetItem* item = m_folderList->ItemOfRow(row)) {
            Q_EMIT ItemActivated(item);
        }
    });
}

CMyView::~CMyView() = default;

void CMyView::SetGridSite(CMyGridSite* site) {
    m_grid->SetSite(site);
}

CGridNavigator* CMyView::Navigator() const {
    return qobject_cast<CGridNavigator*>(m_navigator.data());
}

bool CMyView::IsGridUsable() const {
    return m_grid->isVisible() && !UiServices().IsAbortingWorker();
}

void CMyView::SetRequest(unsigned showFlags, int panelCode, int kind) {
    m_showFlags = showFlags;
    m_panelCode = panelCode;
    m_kind = kind;
}

void CMyView::makeActive(QWidget* part, bool show, bool& shownFlag) {
    shownFlag = show;
    if (part != nullptr) {
        part->setVisible(show);
    }
}

int CMyView::ShowParts(const QString& locator, QTreeWidgetItem* context) {
    makeActive(m_panel, false, m_panelShown);
    makeActive(m_navigator, false, m_navigatorShown);
    makeActive(m_grid, false, m_gridShown);
    makeActive(m_folderList, false, m_listShown);
    update();

    if ((m_showFlags & kShowGrid) != 0) {
        if (m_panelCode != kNavigatorCode) {
            m_grid->ResetGrid();
        }
        m_gridShown = true;
    }
    if ((m_showFlags & kShowList) != 0) {
        if (fillFolderList(locator, context) == 0) {
            return 0;
        }
        m_listShown = true;
    }
    if ((m_showFlags & kShowPanel) != 0) {
        if (Render(locator, context) == 0) {
            return 0;
        }
        m_panelShown = true;
    }
    if ((m_showFlags & kShowPanelHidden) != 0 && Render(locator, context) == 0) {
        return 0;
    }
    RecalcLayout();
    if (m_gridShown) {
        m_grid->show();
    }
    if (m_listShown) {
        m_folderList->show();
    }
    if (m_panelShown && m_panel != nullptr) {
        m_panel->show();
        m_panel->OnPanelShown();
    }
    if (m_navigatorShown && Navigator() != nullptr) {
        m_navigator->show();
        Navigator()->OnPanelShown();
    }
    return 1;
}

int CMyView::Render(const QString& locator, QTreeWidgetItem* context) {
    CUiBridge& bridge = UiServices().Bridge();
    if (!bridge.onUiThread()) {
        // The UI thread's own answer goes back: a panel that could not be
        // made fails the render on the worker too.
        qintptr result = 0;
        bridge.Send(UiMessage::RenderMyView, reinterpret_cast<quintptr>(&locator),
                    reinterpret_cast<quintptr>(context), &result);
        return static_cast<int>(result);
    }
    return RenderOnUIThread(locator, context);
}

void CMyView::replaceWidget(QPointer<CMyViewDlg>& slot, CMyViewDlg* made) {
    delete slot.data();
    slot = made;
}

int CMyView::RenderOnUIThread(const QString& locator, QTreeWidgetItem* context) {
    const CPanelRequest request{m_panelCode, locator, this, context};
    if (m_panelCode == kNavigatorCode) {
        makeNavigator();
        return 1;
    }
    replaceWidget(m_panel, nullptr);
    if (!m_panels.Knows(m_panelCode)) {
        UiServices().SetStatusText(QStringLiteral("BUG in Render() logic."));
    }
    replaceWidget(m_panel, m_panels.Create(request));
    return m_panel != nullptr ? 1 : 0;
}

void CMyView::makeNavigator() {
    // A new navigator goes on where the last one was: same chunk, same order.
    const CGridNavigator* old = Navigator();
    const int chunk = old != nullptr ? old->GetChunk() : 0;
    const QString sortColumn = old != nullptr ? old->GetSortColumn() : QString();
    const bool ascending = old != nullptr ? old->GetAscending() : true;
    delete m_navigator.data();
    auto* navigator = new CGridNavigator(this, chunk, sortColumn, ascending, &m_grid->Site());
    navigator->setProperty("controlId", kNavigatorCode);
    navigator->SetGrid(m_grid);
    navigator->hide();
    m_navigator = navigator;
}

int CMyView::LoadGrid(const QString& url, QTreeWidgetItem* item) {
    auto* system = dynamic_cast<CMySystem*>(m_tree.GetSystem(item));
    m_grid->GetData(url, system, false);
    return LogoutIfUnauthorized(m_tree) != 0 ? 0 : 1;
}

int CMyView::ShowNavigator(bool show) {
    makeActive(m_navigator, show, m_navigatorShown);
    RecalcLayout();
    return show ? 1 : 0;
}

void CMyView::RecalcLayout() {
    const QRect area = rect();
    const bool panelOnTop = m_panelShown && m_panel != nullptr;
    const bool navigatorOnTop = m_navigatorShown && m_navigator != nullptr;
    if ((panelOnTop || navigatorOnTop) && m_gridShown) {
        int top = area.top();
        for (QWidget* part : {panelOnTop ? static_cast<QWidget*>(m_panel.data()) : nullptr,
                              navigatorOnTop ? m_navigator.data() : nullptr}) {
            if (part != nullptr) {
                const int height = std::min(part->sizeHint().height(), area.bottom() - top + 1);
                part->setGeometry(area.left(), top, area.width(), std::max(height, 0));
                top += part->height();
            }
        }
        m_grid->setGeometry(area.left(), top, area.width(), std::max(area.bottom() - top + 1, 0));
        return;
    }
    if (panelOnTop) {
        m_panel->setGeometry(area);
        return;
    }
    if (m_gridShown) {
        m_grid->setGeometry(area);
    } else if (m_listShown) {
        m_folderList->setGeometry(area);
    }
}

void CMyView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    kDebugLog(u"CMyView::OnSize\n");
    if (!UiServices().IsAbortingWorker()) {
        RecalcLayout();
    }
}

CMyViewDlg* CMyView::GetElemChooser() const {
    return m_panelCode == kElemChooserCode || m_panelCode == kNodeChooserCode ? m_panel.data()
                                                                              : nullptr;
}

CMyViewDlg* CMyView::GetJobChooser() const {
    return m_panelCode == kJobChooserCode ? m_panel.data() : nullptr;
}

bool CMyView::PanelHasFocus() const {
    const QWidget* focus = QApplication::focusWidget();
    if (m_panel == nullptr || focus == nullptr) {
        return false;
    }
    // The panel itself or a window at most four parent steps below it.
    for (int steps = 0; steps <= 4 && focus != nullptr; ++steps) {
        if (focus == m_panel) {
            return true;
        }
        focus = focus->parentWidget();
    }
    return false;
}

int CMyView::fillFolderList(const QString& url, QTreeWidgetItem* item) {
    m_folderList->DeleteAllItems();
    if (!url.isEmpty()) {
        if (m_tree.GetChildItem(item) != nullptr) {
            kDebugLog(u"Not a valid url to check tree or already populated from server.");
        } else {
            kDebugLog(u"populating from server...");
            m_tree.AddItemsFromURL(url, item, false);
            if (LogoutIfUnauthorized(m_tree) != 0) {
                m_folderList->DeleteAllItems();
                return 0;
            }
        }
    }
    m_folderList->FillFromChildren(m_tree, item);
    m_folderList->SetColumns(m_kind, m_folderList->width() > 0 ? m_folderList->width() : width());
    m_folderList->FillDetails(m_tree, m_prefs);
    return 1;
}

int CMyView::ListViewMode() const {
    return m_folderList->Mode();
}

int CMyView::ModifyListStyle(int mode) {
    m_folderList->SetMode(mode);
    m_prefs.SetListViewMode(m_folderList->Mode());
    return 1;
}

QMenu* CMyView::BuildListMenu(QWidget* parent) const {
    const int mark = m_folderList->SelectionMark();
    if (m_folderList->SelectedRows().isEmpty() || mark < 0) {
        return nullptr;
    }
    const CMyItem* record = m_tree.GetMyItem(m_folderList->ItemOfRow(mark));
    if (record == nullptr) {
        return nullptr;
    }
    switch (record->ItemType) {
        case kKindComponent:
            return LoadMenuResource(IDR_POPUP_COMPONENT, parent);
        case kKindDirectory:
            return LoadMenuResource(IDR_POPUP_SERVER_FILES, parent);
        case kKindFolder:
            return LoadMenuResource(IDR_POPUP_TREE_FOLDER, parent);
        case kKindSystem:
            return LoadMenuResource(IDR_POPUP_TREE_SERVER, parent);
        default:
            return nullptr;
    }
}

bool CMyView::OnServerCommand(int commandId) {
    if (!IsGridUsable()) {
        return false;
    }
    const int handled = m_grid->OnCustomCmd(commandId, 0, 0);
    if (handled <= 0) {
        return false;
    }
    kDebugLog(u"CMyView::OnCmdMsg(nID=%d): handled by %d panel components.\n", commandId, handled);
    return true;
}

CommandHandler CMyView::CommandHandlerOf(int commandId) {
    switch (commandId) {
        case 57634:  // Copy
            if (PanelHasFocus()) {
                return [this] { m_panel->EditCopy(); };
            }
            if (m_folderList->HasFocusInside()) {
                return [this] { CopyListSelection(); };
            }
            if (!IsGridUsable()) {
                return {};
            }
            return [this] { m_grid->CopyToClipboard(false); };
        case 57637:  // Paste: only a panel's field takes it.
            if (!PanelHasFocus()) {
                return {};
            }
            return [this] {
                kDebugLog(u"CMyView::OnEditPaste ()\n");
                m_panel->EditPaste();
            };
        case 57642:  // Select All
            if (!IsGridUsable()) {
                return {};
            }
            return [this] { m_grid->SelectAllCells(); };
        case 32836:
            return [this] { m_grid->ShowRowProperties(); };
        case 32790:
        case 32791:
            return [this, commandId] {
                // Ctrl or Shift held also writes the hidden columns.
                const bool modifierHeld = (QGuiApplication::queryKeyboardModifiers() &
                                           (Qt::ControlModifier | Qt::ShiftModifier)) != 0;
                m_grid->SaveAsCSV(commandId == 32790, modifierHeld, {});
            };
        case 486:
            return [this] { m_grid->OnDebugGrid(); };
        case 32769:
            return [this] { refreshKeepingSelection(); };
        case 57607:
            // A grid that cannot be touched leaves Print to the main frame.
            if (!IsGridUsable()) {
                return {};
            }
            return [this] { m_grid->Print(); };
        case 32833:
            return [this] { m_grid->Print(); };
        case 32841:
            return [this] { RunFieldChooser(*m_grid, this); };
        default:
            return {};
    }
}

void CMyView::CopyListSelection() {
    const QString text = m_folderList->SelectedText();
    if (!text.isEmpty()) {
        QApplication::clipboard()->setText(text);
    }
}

void CMyView::refreshKeepingSelection() {
    QTreeWidgetItem* selected = m_tree.GetSelectedItem();
    if (selected == nullptr) {
        return;
    }
    const CCellRange range = m_grid->GetSelectedCellRange();
    Q_EMIT RefreshRequested(selected);
    m_grid->setFocus();
    m_grid->SetSelectedRange(range, true);
}

void CMyView::keyPressEvent(QKeyEvent* event) {
    QWidget::keyPressEvent(event);
    const Qt::KeyboardModifiers keys = event->modifiers();
    kDebugLog(u"CMyView::OnKeyDown nChar=%u, nRepCnt=%u, nFlags=%u %s%s%s\n",
              static_cast<unsigned>(event->key()), 1U, 0U,
              (keys & Qt::ShiftModifier) != 0 ? u"[Shift]" : u"",
              (keys & Qt::ControlModifier) != 0 ? u"[Ctrl]" : u"",
              (keys & Qt::AltModifier) != 0 ? u"[Alt]" : u"");
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if ((keys & Qt::AltModifier) != 0 && enter && m_grid->isVisible() &&
        m_grid->GetSelectedRowCount() > 0) {
        kDebugLog(u"CMyView::OnKeyDown(): invoking the alt-enter pick...");
        m_grid->OnAltEnter();
    }
}

void CMyView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (m_grid->isVisible()) {
        showGridMenu(event->globalPos());
    } else if (m_folderList->isVisible()) {
        kDebugLog(u"CMyView::OnContextMenu(NM_RCLICK): right-mouse-click on ListCtrl\n");
    } else {
        kDebugLog(
            u"CMyView::OnContextMenu(NM_RCLICK): right-mouse-click somewhere on right "
            u"pane.\n");
    }
}

QMenu* CMyView::BuildGridMenu(QWidget* parent) {
    QMenu* loaded = LoadMenuResource(IDR_POPUP_GRID, parent);
    if (QMenu* menu = FirstSubMenu(loaded)) {
        m_grid->BuildContextMenu(*menu, this);
    }
    return loaded;
}

void CMyView::showGridMenu(QPoint globalPos) {
    const CCellID cell = m_grid->GetCellFromPt(m_grid->viewport()->mapFromGlobal(globalPos), true);
    kDebugLog(u"CMyView::OnContextMenu(NM_RCLICK): right-mouse-click on Grid[col=%d,row=%d]\n",
              cell.col, cell.row);
    std::unique_ptr<QMenu> loaded;
    if (cell.row == 0) {
        kDebugLog(u"RMC on a grid column header.\n");
        if (cell.col >= 0 &&
            !m_grid->GetGridProperties().GetValue(QStringLiteral("field-chooser")).isEmpty()) {
            loaded.reset(LoadMenuResource(IDR_POPUP_GRID_HEADER));
        }
    } else {
        if (cell.row > 0 && cell.col >= 0 &&
            (m_grid->GetSelectedRowCount() == 0 || !m_grid->IsRowSelected(cell.row))) {
            kDebugLog(u"--> forced single-row selection under RMC location.\n");
            m_grid->SetSelectedRange(cell.row, 0, cell.row, m_grid->GetColumnCount() - 1, true);
        }
        loaded.reset(BuildGridMenu(nullptr));
    }
    QMenu* menu = FirstSubMenu(loaded.get());
    if (menu == nullptr) {
        return;
    }
    const CLangPack* pack = ActiveLangPack();
    if (pack != nullptr && !m_prefs.GetString(QStringLiteral("LanguagePack")).isEmpty()) {
        pack->TranslateMenu(menu);
    }
    const QAction* chosen = menu->exec(globalPos);
    if (chosen != nullptr) {
        Q_EMIT CommandChosen(static_cast<int>(MenuCommandId(chosen)));
    } else if (m_grid->GetLastClickedRow() >= 0) {
        const int row = m_grid->GetLastClickedRow();
        m_grid->SetSelectedRange(row, 0, row, m_grid->GetColumnCount() - 1, true);
    }
}
