#include "tree/leftview.h"

#include "framework/klog.h"
#include "resources/menus.h"
#include "tree/contextmenu.h"
#include "tree/debugtreeitem.h"
#include "tree/leftviewhost.h"
#include "tree/mytree.h"
#include "tree/treeimages.h"
#include "tree/treenode.h"
#include "tree/treetexts.h"
#include "ui/busycursor.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

namespace {

// The open image of a closed folder image, and back; -1 for other images.
int swappedFolderImage(int image, bool expanded) {
    struct Pair {
        int closed;
        int open;
    };
    constexpr Pair kPairs[] = {{kImageFolderClosed, kImageFolderOpen},
                               {kImageVFolder, kImageFolderOpen2}};
    for (const Pair& pair : kPairs) {
        if (expanded && image == pair.closed) {
            return pair.open;
        }
        if (!expanded && image == pair.open) {
            return pair.closed;
        }
    }
    return -1;
}

void addDebugLine(QListWidget* list, const QString& line) {
    if (list != nullptr) {
        list->addItem(line);
    }
}

}  // namespace

CLeftView::CLeftView(CMyTree& tree, CLeftViewHost& host, QWidget* parent)
    : QTreeWidget(parent),
      m_tree(tree),
      m_host(host),
      m_dragDrop(tree, *this),
      m_widestLabel(*this, [this](QTreeWidgetItem* item) {
          return ItemTextRect(item).right() + 1 + horizontalOffset();
      }) {
    setObjectName(QStringLiteral("VERT_LEFTVIEW"));
    setItemDelegate(&m_painter);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true);
    // The selection stays as visible while another pane has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { onCurrentItemChanged(current); });
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { onItemExpansion(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { onItemExpansion(item, false); });
    connect(this, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { onItemChanged(item); });
    m_tooltip.Create(this);
    m_dragDrop.Attach(this);
}

CLeftView::~CLeftView() {
    clear();
}

// ---- target item and hit test ----

CMyItem* CLeftView::recordOf(QTreeWidgetItem* item) const {
    return CTreeNode::RecordOf(item);
}

QTreeWidgetItem* CLeftView::GetTargetItem() const {
    return m_tree.FindItemById(m_targetId);
}

CMyItem* CLeftView::SetTargetItem(QTreeWidgetItem* item) {
    CMyItem* record = recordOf(item);
    m_targetId = record != nullptr ? record->GetItemId() : 0;
    m_hitFlags = record != nullptr ? unsigned{kHitOnLabel} : unsigned{kHitNowhere};
    return record;
}

void CLeftView::OnModelSelection(QTreeWidgetItem* item) {
    SetTargetItem(item);
}

QTreeWidgetItem* CLeftView::commandItem(QTreeWidgetItem* item) const {
    if (item != nullptr) {
        return item;
    }
    if (QTreeWidgetItem* target = GetTargetItem()) {
        return target;
    }
    return currentItem();
}

bool CLeftView::itemLayout(QTreeWidgetItem* item, QRect& icon, QRect& label) const {
    icon = label = QRect();
    const QModelIndex index = indexFromItem(item);
    const QRect cell = visualRect(index);
    if (cell.isEmpty()) {
        return false;
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = cell;
    option = m_painter.PaintOption(option, index);
    const QStyle* itemStyle = style();
    if ((option.features & QStyleOptionViewItem::HasDecoration) != 0) {
        icon = itemStyle->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
    }
    // The style's text area runs to the cell's end; the label is the text
    // drawn at its start, with the style's text margin on either side. A
    // label cut by the pane's edge reaches past it.
    const QRect area = itemStyle->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    const int margin = itemStyle->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, this) + 1;
    const int text = QFontMetrics(option.font).horizontalAdvance(option.text) + 2 * margin;
    label = QRect(area.left(), area.top(), text, area.height());
    return true;
}

QRect CLeftView::ItemTextRect(QTreeWidgetItem* item) const {
    QRect icon;
    QRect label;
    if (item == nullptr || !itemLayout(item, icon, label)) {
        return {};
    }
    return icon.isEmpty() ? label : icon.united(label);
}

int CLeftView::FittingWidth() {
    // A label takes some 15 us to lay out: a few milliseconds a turn.
    constexpr int kRowsPerTurn = 300;
    const int right = m_widestLabel.Right(kRowsPerTurn);
    if (topLevelItemCount() == 0) {
        return 0;
    }
    return right + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

void CLeftView::StopFitting() {
    m_widestLabel.Stop();
}

void CLeftView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_widestLabel.Restart();
    }
    QTreeWidget::changeEvent(event);
}

QTreeWidgetItem* CLeftView::HitTest(QPoint point, unsigned& flags) const {
    flags = kHitNowhere;
    // The row is found wherever on it the point lies, the indent included.
    QTreeWidgetItem* item = itemAt(QPoint(viewport()->width() - 1, point.y()));
    QRect icon;
    QRect label;
    if (item == nullptr || !itemLayout(item, icon, label)) {
        return item;
    }
    const int start = icon.isEmpty() ? label.left() : icon.left();
    const bool hasButton =
        item->childCount() > 0 || item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
    if (hasButton && point.x() < start && point.x() >= start - indentation()) {
        flags = kHitOnButton;
    } else if (icon.contains(point)) {
        flags = kHitOnIcon;
    } else if (label.contains(point)) {
        flags = kHitOnLabel;
    }
    return item;
}

// ---- selection, click, button press ----

void CLeftView::onCurrentItemChanged(QTreeWidgetItem* current) {
    // The target follows the selection at once: a tree reply checks it.
    const CMyItem* record = SetTargetItem(current);
    if (!m_host.IsAppUp() || m_host.OnAbortedThread()) {
        return;
    }
    kDebugLog(u"Tree Selection Now: '%s'\n", record != nullptr ? record->GetLabel() : QString());
    if (m_keySelection && current != nullptr) {
        // Consumed here, so the selection SelectItem makes comes back
        // without driving anything.
        m_keySelection = false;
        const CBusyCursor busy;
        m_host.StopRunningWork();
        m_tree.SelectItem(current, false);
    }
    viewport()->update();
}

void CLeftView::mousePressEvent(QMouseEvent* event) {
    if (m_host.IsAborting()) {
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        // The popup selects the item it is for; beside a label the right
        // button selects nothing.
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    unsigned flags = kHitNowhere;
    QTreeWidgetItem* item = HitTest(event->position().toPoint(), flags);
    SetTargetItem(item);
    m_hitFlags = flags;
    m_tree.CancelRequests();
    if ((flags & kHitOnButton) != 0) {
        // The pane opens and closes items itself, so that the press never
        // moves the selection.
        onButtonPress(item);
        event->accept();
        return;
    }
    if ((flags & kHitOnItem) == 0) {
        // Beside a label is not on the item: the row is not selected.
        event->accept();
        return;
    }
    if (m_host.InContextHelpMode()) {
        showContextHelp(item);
        event->accept();
        return;
    }
    m_tree.EndLabelEdit();
    QTreeWidget::mousePressEvent(event);
}

void CLeftView::onButtonPress(QTreeWidgetItem* item) {
    if (m_host.InContextHelpMode()) {
        showContextHelp(item);
        return;
    }
    const CMyItem* record = recordOf(item);
    if (record == nullptr) {
        return;
    }
    if (item->childCount() == 0 && !record->TreeURL.isEmpty()) {
        const quint32 itemId = record->GetItemId();
        const CBusyCursor busy;
        m_tree.AddItemsFromURL(record->TreeURL, item, false);
        item = m_tree.FindItemById(itemId);
        // A reply still on its way sets the button when it comes.
        if (item != nullptr && item->childCount() == 0 && !m_tree.GetSystem(item)) {
            m_tree.SetHasChildren(item, false);
        }
        return;
    }
    item->setExpanded(!item->isExpanded());
}

void CLeftView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || m_host.IsAborting()) {
        return;
    }
    m_host.AbortActions();
    unsigned flags = kHitNowhere;
    QTreeWidgetItem* item = HitTest(event->position().toPoint(), flags);
    QTreeWidgetItem* target = GetTargetItem();
    if (target == nullptr || item != target || (m_hitFlags & kHitOnItem) == 0 ||
        (flags & kHitOnItem) == 0 || m_host.InContextHelpMode()) {
        return;
    }
    const CBusyCursor busy;
    m_tree.SelectItem(target, false);
}

void CLeftView::onItemExpansion(QTreeWidgetItem* item, bool expanded) {
    CMyItem* record = recordOf(item);
    const int image = record != nullptr ? swappedFolderImage(record->ImageIdx, expanded) : -1;
    if (image < 0) {
        return;
    }
    m_tree.SetItemImage(item, image);
    m_host.UpdateListImage(record, image);
}

void CLeftView::ExpandItem(QTreeWidgetItem* item) {
    CMyItem* record = recordOf(item);
    if (record == nullptr || item->isExpanded()) {
        return;
    }
    const quint32 itemId = record->GetItemId();
    if (item->childCount() > 0) {
        item->setExpanded(true);
    } else if (!record->TreeURL.isEmpty() && !m_hoverFetched) {
        m_hoverFetched = true;
        const CBusyCursor busy;
        m_tree.AddItemsFromURL(record->TreeURL, item, false);
        const CServerConnection* system = m_tree.GetSystem(m_tree.FindItemById(itemId));
        if (system != nullptr && system->LoginExpired) {
            return;
        }
        item = m_tree.FindItemById(itemId);
        if (item == nullptr) {
            return;
        }
    }
    if (record->ImageIdx == kImageFolderClosed) {
        m_tree.SetItemImage(item, kImageFolderOpen);
    }
    m_tree.SetHasChildren(item, item->childCount() > 0);
}

// ---- keys ----

bool CLeftView::event(QEvent* event) {
    // F1 on a shown item tip is the pane's, not the main window's help key:
    // the key is marked before the window's shortcut can take it.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && IsInfoTipShown()) {
        // Help asked for while the tip shows is the help of the item under it.
        SetTargetItem(m_tree.FindItemById(m_hoverId));
        m_f1OnInfoTip = true;
        event->accept();
        return true;
    }
    return QTreeWidget::event(event);
}

void CLeftView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            kDebugLog(u"Directional Arrow Pressed on Tree!\n");
            break;
        case Qt::Key_Delete:
            onDeleteKey();
            break;
        case Qt::Key_F1:
            if (m_f1OnInfoTip) {
                m_f1OnInfoTip = false;
                OnCommand(kHelp);
                event->accept();
                return;
            }
            break;
        case Qt::Key_F2:
            RenameItem(currentItem());
            break;
        case Qt::Key_F10:
            if ((event->modifiers() & Qt::ShiftModifier) != 0) {
                QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(-1, -1), QPoint(-1, -1));
                contextMenuEvent(&menu);
                return;
            }
            break;
        default:
            break;
    }
    // Every selection the keys make drives the right-hand side.
    m_keySelection = true;
    QTreeWidget::keyPressEvent(event);
    m_keySelection = false;
}

void CLeftView::onDeleteKey() {
    kDebugLog(u"DELETE Pressed on Tree!\n");
    QTreeWidgetItem* item = currentItem();
    const CMyItem* record = SetTargetItem(item);
    if (record == nullptr) {
        return;
    }
    switch (record->ItemType) {
        case kKindFolder:
            DeleteFolder(item);
            break;
        case kKindSystem:
            DeleteServer(item);
            break;
        case kKindComponent: {
            QMenu popup;
            BuildPopupMenu(popup, item);
            if (CContextMenu* menu = GetItemMenu(item)) {
                menu->PickItem(QStringLiteral("Delete"));
            }
            break;
        }
        default:
            return;
    }
    SetTargetItem(currentItem());
    m_tree.SelectItem(currentItem(), false);
}

// ---- popup menus ----

void CLeftView::contextMenuEvent(QContextMenuEvent* event) {
    if (m_host.IsAborting()) {
        return;
    }
    if (event->reason() == QContextMenuEvent::Mouse) {
        unsigned flags = kHitNowhere;
        QTreeWidgetItem* item = HitTest(event->pos(), flags);
        if ((flags & kHitOnItem) == 0) {
            QTreeWidget::contextMenuEvent(event);
            return;
        }
        kDebugLog(u"LeftView::OnContextMenu: setting position of popup menu by hit test...\n");
        showPopup(item, false);
    } else {
        kDebugLog(
            u"LeftView::OnContextMenu: setting position of popup menu by selected tree item...\n");
        showPopup(currentItem(), true);
    }
    event->accept();
}

void CLeftView::showPopup(QTreeWidgetItem* item, bool) {
    const CMyItem* record = recordOf(item);
    if (record == nullptr) {
        return;
    }
    scrollToItem(item);
    const QPoint at = viewport()->mapToGlobal(ItemTextRect(item).bottomLeft());
    kDebugLog(u"LeftView::OnContextMenu: show menu for item '%s'...\n", record->GetLabel());
    if (item != currentItem()) {
        setCurrentItem(item);
        m_menuSelected = true;
    }
    SetTargetItem(item);
    QMenu popup(this);
    if (!BuildPopupMenu(popup, item)) {
        return;
    }
    m_host.TranslateMenu(&popup);
    m_menuTracked = true;
    const QAction* chosen = popup.exec(at);
    const int commandId = static_cast<int>(MenuCommandId(chosen));
    kDebugLog(u"pPopup->TrackPopupMenu() is called, returned %d \n", commandId);
    if (commandId != 0) {
        m_host.SendCommand(commandId);
        kDebugLog(u"SendNotifyMessage is called, returned %d \n", 1);
        return;
    }
    QTreeWidgetItem* last = m_tree.GetLastSelection();
    if (last != nullptr && last != currentItem()) {
        setCurrentItem(last);
    }
    m_menuSelected = false;
}

bool CLeftView::BuildPopupMenu(QMenu& menu, QTreeWidgetItem* item, QListWidget* debugList) {
    addDebugLine(debugList, QStringLiteral("CLeftView::BuildPopupMenu..."));
    const CMyItem* record = recordOf(item);
    if (record == nullptr) {
        return false;
    }
    unsigned resource = 0;
    switch (record->ItemType) {
        case kKindComponent:
        case kKindDirectory:
            resource = IDR_POPUP_COMPONENT;
            addDebugLine(debugList, QStringLiteral(" [x] IDR_POPUP_COMPONENT"));
            break;
        case kKindFolder:
            resource = IDR_POPUP_TREE_FOLDER;
            addDebugLine(debugList, QStringLiteral(" [x] IDR_POPUP_TREE_FOLDER"));
            break;
        case kKindRoot:
            resource = IDR_POPUP_TREE_ROOT;
            addDebugLine(debugList, QStringLiteral(" [x] IDR_POPUP_TREE_ROOT"));
            break;
        case kKindSystem:
            resource = IDR_POPUP_TREE_SERVER;
            addDebugLine(debugList, QStringLiteral(" [x] IDR_POPUP_TREE_SERVER"));
            break;
        default:
            addDebugLine(debugList, QStringLiteral(" [-] new item type??"));
            break;
    }
    if (resource != 0) {
        const std::unique_ptr<QMenu> loaded(LoadMenuResource(resource));
        // A resource without a popup (the component menu) gives an empty one.
        if (QMenu* popup = loaded != nullptr ? FirstSubMenu(loaded.get()) : nullptr) {
            for (QAction* action : popup->actions()) {
                popup->removeAction(action);
                action->setParent(&menu);
                menu.addAction(action);
            }
        }
    }
    if (QAction* save = FindMenuCommand(&menu, kSaveWorldView)) {
        save->setEnabled(m_tree.IsModified());
    }
    if (const CServerConnection* system = ConnectionOf(record)) {
        if (QAction* gone = FindMenuCommand(&menu, system->LoggedIn ? kLogIn : kLogOut)) {
            menu.removeAction(gone);
            delete gone;
        }
    }
    if (CContextMenu* xml = GetItemMenu(item)) {
        xml->AddXmlDrivenMenuItems(menu, nullptr, this);
        addDebugLine(debugList, QStringLiteral(" [x] from XML: ") + record->GetMenuName());
    } else {
        addDebugLine(debugList, QStringLiteral(" [-] no XML menu"));
    }

    const bool dynamic = m_tree.IsDynamicItem(item);
    const bool refresh = dynamic || record->ItemType == kKindComponent;
    const bool help = !record->GetHelpURL().isEmpty();
    const bool debug = m_host.IsContextDebugging();
    if ((refresh || help || debug) && !menu.actions().isEmpty()) {
        menu.addSeparator();
        addDebugLine(debugList, QStringLiteral(" [x] separator"));
    }
    if (refresh) {
        QAction* action = menu.addAction(QStringLiteral("Refresh\tF5"));
        action->setData(static_cast<unsigned>(kRefreshPopup));
        action->setEnabled(dynamic);
        addDebugLine(debugList, QStringLiteral(" [X] Refresh [F5]"));
    }
    if (help) {
        const QString text = TranslatedResourceString(468);
        menu.addAction(text)->setData(static_cast<unsigned>(kHelp));
        addDebugLine(debugList, QStringLiteral(" [X] ") + text);
    }
    if (debug) {
        menu.addAction(TranslatedResourceString(507))->setData(static_cast<unsigned>(kDebug));
        addDebugLine(debugList, QStringLiteral(" [X] Debug"));
    }
    return true;
}

bool CLeftView::BuildSelectionMenu(QMenu& menu) {
    QTreeWidgetItem* item = currentItem();
    const CMyItem* record = recordOf(item);
    if (record == nullptr || record->ItemType == kKindUnclassified) {
        return false;
    }
    return BuildPopupMenu(menu, item);
}

CContextMenu* CLeftView::GetItemMenu(QTreeWidgetItem* item) {
    const CMyItem* record = recordOf(item);
    CServerConnection* system = m_tree.GetSystem(item);
    if (record == nullptr || system == nullptr || record->GetMenuName().isEmpty()) {
        return nullptr;
    }
    return system->GetItemMenu(record->GetMenuName());
}

int CLeftView::AddItemMenuItems(QMenu& menu, CMenuGridRows* grid, QWidget* owner) {
    CContextMenu* xml = GetItemMenu(commandItem(nullptr));
    return xml != nullptr ? xml->AddXmlDrivenMenuItems(menu, grid, owner) : 0;
}

int CLeftView::RunItemMenuCommand(int commandId) {
    if (commandId < kFirstXmlCommand || commandId > kLastXmlCommand) {
        return 0;
    }
    CContextMenu* xml = GetItemMenu(commandItem(nullptr));
    if (xml == nullptr) {
        return 0;
    }
    xml->SetOwners(nullptr, this);
    return xml->RunItem(commandId, 0, 0);
}

// ---- help ----

QString CLeftView::GetHelpURL(QTreeWidgetItem* item) const {
    const CMyItem* record = recordOf(commandItem(item));
    return record != nullptr ? record->GetHelpURL() : QString();
}

void CLeftView::showContextHelp(QTreeWidgetItem* item) {
    const CMyItem* record = recordOf(item);
    if (record == nullptr) {
        return;
    }
    if (!record->GetHelpURL().isEmpty()) {
        m_host.LaunchHelp(record->GetHelpURL());
    } else if (!record->GetHoverText().isEmpty()) {
        m_tooltip.SetText(record->GetHoverText());
        m_tooltip.ShowAtCursor();
    }
}

bool CLeftView::viewportEvent(QEvent* event) {
    // The pane's own tip is its one tip: the view's item tips would show a
    // second one beside it.
    if (event->type() == QEvent::ToolTip) {
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

bool CLeftView::IsInfoTipShown() const {
    return m_hoverId != 0 && m_tooltip.IsShown();
}

void CLeftView::mouseMoveEvent(QMouseEvent* event) {
    trackHover(event->position().toPoint());
    QTreeWidget::mouseMoveEvent(event);
}

void CLeftView::leaveEvent(QEvent* event) {
    m_tooltip.Hide();
    m_hoverId = 0;
    QTreeWidget::leaveEvent(event);
}

void CLeftView::trackHover(QPoint point) {
    unsigned flags = kHitNowhere;
    QTreeWidgetItem* item = HitTest(point, flags);
    const CMyItem* record = (flags & kHitOnItem) != 0 ? recordOf(item) : nullptr;
    if (record == nullptr || record->GetHoverText().isEmpty()) {
        if (m_hoverId != 0) {
            m_tooltip.Hide();
            m_hoverId = 0;
        }
        return;
    }
    if (record->GetItemId() != m_hoverId) {
        m_tooltip.Hide();
        m_hoverId = record->GetItemId();
        m_hoverPending = true;
        m_hoverFetched = false;
    }
    m_tooltip.HideLater(Tooltip::kHideDelayMs);
    if (m_hoverPending) {
        m_hoverPending = false;
        QString tip = record->GetHoverText();
        if (!record->GetHelpURL().isEmpty()) {
            tip += LookupText(QStringLiteral("\tClick F1 for help..."));
        }
        m_tooltip.SetText(tip);
        const QRect text = ItemTextRect(item);
        QRect below(viewport()->mapToGlobal(text.topLeft()), text.size());
        below.translate(0, text.height());
        m_tooltip.ShowLater(Tooltip::kShowDelayMs, false, &below);
    }
}
