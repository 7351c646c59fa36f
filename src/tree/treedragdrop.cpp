#include "tree/treedragdrop.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "tree/mydropinfo.h"
#include "tree/mytree.h"
#include "ui/busycursor.h"
#include "ui/dragevents.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTreeWidget>

// The insert mark (a line above the item a drop goes before) and the drop
// highlight (a frame around the item a drop goes into), drawn over the
// control's viewport without touching the items.
class CTreeDropMarker : public QWidget {
public:
    explicit CTreeDropMarker(QWidget* viewport) : QWidget(viewport) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }
    void Show(const QRect& itemRect, bool insertMark) {
        m_rect = itemRect;
        m_insertMark = insertMark;
        setGeometry(parentWidget()->rect());
        show();
        raise();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QColor colour = palette().color(QPalette::Highlight);
        if (m_insertMark) {
            painter.fillRect(QRect(m_rect.left(), m_rect.top() - 1, m_rect.width(), 2), colour);
        } else {
            painter.setPen(colour);
            painter.drawRect(m_rect.adjusted(0, 0, -1, -1));
        }
    }

private:
    QRect m_rect;
    bool m_insertMark = false;
};

namespace {

const QString kMime = QString::fromLatin1(kClipboardItemMime);

// IDs go into a query of the drop actions: what would end or change a
// parameter there is percent-encoded. The action interpreter decodes an
// action's escapes once before it sends the URL, so the escapes' own percent
// signs are escaped too, and the server still receives "%26" for "&".
QString queryEscaped(const QString& id) {
    QString escaped;
    for (const QChar c : id) {
        switch (c.unicode()) {
            case u'&':
            case u'#':
            case u'+':
            case u'%':
            case u' ':
                escaped += kFormat(u"%%25%02X", static_cast<unsigned>(c.unicode()));
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::optional<ClipboardHeader> headerOf(const QMimeData* data) {
    return CClipboardReader(data->data(kMime)).ReadHeader();
}

}  // namespace

// The pane's side ---------------------------------------------------------------

CTreeDragDrop::CTreeDragDrop(CMyTree& tree, CTreeDropSite& site) : m_tree(tree), m_site(site) {}

CTreeDragDrop::~CTreeDragDrop() = default;

void CTreeDragDrop::Attach(QTreeWidget* tree) {
    m_control = tree;
    tree->setDragEnabled(false);
    tree->viewport()->setAcceptDrops(true);
    tree->viewport()->installEventFilter(this);
    m_marker = new CTreeDropMarker(tree->viewport());
}

QTreeWidget* CTreeDragDrop::control() const {
    return m_control;
}

QTreeWidgetItem* CTreeDragDrop::itemById(quint32 id) const {
    return id != 0 ? m_tree.FindItemById(id) : nullptr;
}

QTreeWidgetItem* CTreeDragDrop::rootItem() const {
    return m_tree.GetRootItem();
}

int CTreeDragDrop::kindOf(QTreeWidgetItem* item) const {
    const CMyItem* record = m_tree.GetMyItem(item);
    return record != nullptr ? record->ItemType : 0;
}

const CMyDropInfoList* CTreeDragDrop::rulesOf(QTreeWidgetItem* item) const {
    const CServerConnection* system = m_tree.GetSystem(item);
    return system != nullptr ? system->GetDropRulesList() : nullptr;
}

QString CTreeDragDrop::targetRuleType(QTreeWidgetItem* item) const {
    const CMyItem* record = m_tree.GetMyItem(item);
    return record != nullptr ? record->GetDragType() : QString();
}

// Sources -------------------------------------------------------------------------

QMimeData* CTreeDragDrop::CreateDataSource(QTreeWidgetItem* item) const {
    const CMyItem* record = m_tree.GetMyItem(item);
    if (record == nullptr) {
        return nullptr;
    }
    auto* data = new QMimeData;
    data->setText(item->text(0));
    const QByteArray bytes = TreeItemRecord(m_tree, item);
    if (!bytes.isEmpty()) {
        SetClipboardRecord(*data, bytes);
    }
    return data;
}

void CTreeDragDrop::Copy(QTreeWidgetItem* item) {
    if (QMimeData* data = CreateDataSource(item)) {
        QGuiApplication::clipboard()->setMimeData(data);
    }
}

void CTreeDragDrop::Cut(QTreeWidgetItem* item) {
    if (QMimeData* data = CreateDataSource(item)) {
        QGuiApplication::clipboard()->setMimeData(data);
        m_site.DeleteObjects(item);
    }
}

void CTreeDragDrop::Paste(QTreeWidgetItem* target) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasFormat(kMime)) {
        kDebugLog(u"There are not any data in CLIPBOARD\n");
        return;
    }
    const std::optional<ClipboardHeader> header = headerOf(data);
    if (!header) {
        kDebugLog(u"Can`t paste object. Wrong header.\n");
        return;
    }
    // Only server file objects paste; they name items of this console.
    if (target != nullptr && header->kind == kClipDirectory &&
        header->processId == CClipboardWriter::ThisProcessId()) {
        m_site.PasteObjects(target, *header);
    }
}

void CTreeDragDrop::BeginDrag(QTreeWidgetItem* item) {
    const CMyItem* record = m_tree.GetMyItem(item);
    if (record == nullptr || control() == nullptr) {
        return;
    }
    const int kind = record->ItemType;
    bool draggable = kind == kKindFolder || kind == kKindSystem;
    if (kind == kKindComponent || kind == kKindDirectory) {
        const CMyDropInfoList* rules = rulesOf(item);
        draggable = rules != nullptr && rules->Find(record->GetDragType()).IsDraggable();
    }
    if (!draggable) {
        kDebugLog(u"LeftView: '%s' is not draggable.\n", record->GetDragType());
        return;
    }
    kDebugLog(u"LeftView: BeginDrag (%s)...\n", record->GetDragType());
    QMimeData* data = CreateDataSource(item);
    if (data == nullptr) {
        return;
    }
    m_dragSourceId = record->GetItemId();
    auto* drag = new QDrag(control());
    drag->setMimeData(data);
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction);
    QTreeWidgetItem* source = itemById(m_dragSourceId);
    m_dragSourceId = 0;
    if (result != Qt::MoveAction || source == nullptr) {
        return;
    }
    if ((QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0) {
        control()->viewport()->update();
        return;
    }
    m_tree.RemoveItem(source);
    m_tree.SetModified();
    m_tree.SelectItem(itemById(m_savedSelectionId), true);
}

// Deciding ------------------------------------------------------------------------

Qt::DropAction CTreeDragDrop::CheckDrop(const QMimeData* data, QTreeWidgetItem* target,
                                        bool& insertBefore, bool onTopEdge) {
    insertBefore = false;
    if (data == nullptr || !data->hasFormat(kMime)) {
        kDebugLog(u"LeftView: drag ignored (no data on clipboard).\n");
        return Qt::IgnoreAction;
    }
    if (target == nullptr) {
        kDebugLog(u"LeftView: drag ignored (no item under cursor).\n");
        return Qt::IgnoreAction;
    }
    const std::optional<ClipboardHeader> header = headerOf(data);
    if (!header) {
        kDebugLog(u"LeftView: drag ignored (invalid data on clipboard).\n");
        return Qt::IgnoreAction;
    }
    if (m_tree.GetMyItem(target) == nullptr) {
        kDebugLog(u"LeftView: drag ignored (invalid target).\n");
        return Qt::IgnoreAction;
    }
    switch (header->kind) {
        case kClipFolder:
        case kClipServer:
            return checkTreeRecord(*header, target, insertBefore, onTopEdge);
        case kClipWorldView:
            return kindOf(target) == kKindRoot &&
                           header->processId != CClipboardWriter::ThisProcessId()
                       ? Qt::CopyAction
                       : Qt::IgnoreAction;
        default:
            return checkServerRecord(*header, target, u"drag");
    }
}

Qt::DropAction CTreeDragDrop::checkTreeRecord(const ClipboardHeader& header,
                                              QTreeWidgetItem* target, bool& insertBefore,
                                              bool onTopEdge) const {
    const bool sameProcess = header.processId == CClipboardWriter::ThisProcessId();
    QTreeWidgetItem* source = sameProcess ? itemById(header.itemId) : nullptr;
    switch (kindOf(target)) {
        case kKindFolder:
            insertBefore = onTopEdge;
            break;
        case kKindSystem:
            insertBefore = true;
            break;
        case kKindRoot:
            if (!sameProcess) {
                return Qt::MoveAction;
            }
            return source != nullptr && m_tree.GetNextSiblingItem(source) != nullptr &&
                           m_tree.GetParentItem(source) != target
                       ? Qt::MoveAction
                       : Qt::IgnoreAction;
        default:
            return Qt::IgnoreAction;
    }
    if (!sameProcess) {
        return Qt::MoveAction;
    }
    if (source == nullptr || target == source ||
        (insertBefore && target == m_tree.GetNextSiblingItem(source)) ||
        (!insertBefore && target == m_tree.GetParentItem(source))) {
        return Qt::IgnoreAction;
    }
    // Never into its own subtree.
    for (QTreeWidgetItem* above = target; above != nullptr; above = m_tree.GetParentItem(above)) {
        if (above == source) {
            return Qt::IgnoreAction;
        }
    }
    return Qt::MoveAction;
}

Qt::DropAction CTreeDragDrop::checkServerRecord(const ClipboardHeader& header,
                                                QTreeWidgetItem* target, const char16_t* verb) {
    const CMyDropInfoList* rules = rulesOf(target);
    if (rules == nullptr) {
        kDebugLog(u"LeftView: cannot drop: no system to pull inventory from.\n");
        return Qt::IgnoreAction;
    }
    if (header.processId != CClipboardWriter::ThisProcessId()) {
        kDebugLog(u"LeftView: drag & drop from another app (not coded).\n");
        return Qt::IgnoreAction;
    }
    // Grid rows belong to the selected item; other records name their item.
    const bool grid = header.kind == kClipGrid;
    QTreeWidgetItem* source = grid ? m_tree.GetSelectedItem() : itemById(header.itemId);
    if (source == nullptr || !m_tree.SameSystem(source, target)) {
        kDebugLog(u"LeftView: %s ignored (D&D between servers not allowed).\n",
                  QString::fromUtf16(verb));
        return Qt::IgnoreAction;
    }
    const QString dragType = grid ? m_site.GridDragType() : targetRuleType(source);
    const QString targetType = targetRuleType(target);
    if (rules->Find(targetType).CanDrop(dragType)) {
        if (grid) {
            // A grid drag hovering here fetches nothing.
            m_fetchedDuringHover = true;
        }
        kDebugLog(u"LeftView: '%s' is droppable onto '%s'\n", dragType, targetType);
        return Qt::CopyAction;
    }
    kDebugLog(u"LeftView: '%s' is NOT droppable onto '%s'\n", dragType, targetType);
    return Qt::IgnoreAction;
}

// Dropping --------------------------------------------------------------------------

bool CTreeDragDrop::placement(QTreeWidgetItem* target, bool insertBefore, QTreeWidgetItem*& parent,
                              QTreeWidgetItem*& after) const {
    const int kind = kindOf(target);
    if ((kind == kKindFolder && !insertBefore) || kind == kKindRoot) {
        parent = target;
        after = nullptr;
        return true;
    }
    if (kind != kKindFolder && kind != kKindSystem) {
        return false;
    }
    parent = m_tree.GetParentItem(target);
    if (parent == nullptr) {
        return false;
    }
    const int index = parent->indexOfChild(target);
    after = index > 0 ? parent->child(index - 1) : m_tree.RootLevel();
    return true;
}

QTreeWidgetItem* CTreeDragDrop::addServer(const ClipboardServer& server, QTreeWidgetItem* parent,
                                          QTreeWidgetItem* after) {
    std::unique_ptr<CServerConnection> session = NewServerConnection();
    session->Host = server.host;
    session->WebPort = server.webPort;
    session->User = server.user;
    session->Password = server.password;
    session->ServerType = QChar(u'Q');
    return m_tree.AddSystemItem(parent, server.name, *session, after);
}

QTreeWidgetItem* CTreeDragDrop::addFolder(const ClipboardFolder& folder, QTreeWidgetItem* parent,
                                          QTreeWidgetItem* after) {
    QTreeWidgetItem* added = m_tree.AddFolderItem(parent, folder.name, after);
    if (added == nullptr) {
        return nullptr;
    }
    for (const ClipboardFolder::Child& child : folder.children) {
        if (const auto* server = std::get_if<ClipboardServer>(&child.item)) {
            addServer(*server, added, nullptr);
        } else {
            addFolder(std::get<ClipboardFolder>(child.item), added, nullptr);
        }
    }
    return added;
}

QTreeWidgetItem* CTreeDragDrop::ReadFolderStream(CClipboardReader& reader, QTreeWidgetItem* parent,
                                                 QTreeWidgetItem* after) {
    // Read whole before anything is added, so a refused stream adds nothing.
    const std::optional<ClipboardFolder> folder = reader.ReadFolderStream();
    return folder ? addFolder(*folder, parent, after) : nullptr;
}

bool CTreeDragDrop::DoDrop(const QMimeData* data, Qt::DropAction effect, QTreeWidgetItem* target,
                           bool insertBefore) {
    if (data == nullptr || !data->hasFormat(kMime)) {
        kDebugLog(u"LeftView: drop ignored (no data on clipboard).\n");
        return false;
    }
    if (target == nullptr) {
        kDebugLog(u"LeftView: drop ignored (no item under cursor).\n");
        return false;
    }
    const QByteArray bytes = data->data(kMime);
    if (bytes.isEmpty()) {
        kDebugLog(u"LeftView: drop ignored (invalid data on clipboard).\n");
        return false;
    }
    if (m_tree.GetMyItem(target) == nullptr) {
        kDebugLog(u"LeftView: drop ignored (invalid target).\n");
        return false;
    }
    CClipboardReader reader(bytes);
    const std::optional<ClipboardHeader> header = reader.ReadHeader();
    if (!header) {
        kDebugLog(u"LeftView: drop ignored (invalid data on clipboard?].\n");
        return false;
    }
    const bool sameProcess = header->processId == CClipboardWriter::ThisProcessId();
    QTreeWidgetItem* parent = nullptr;
    QTreeWidgetItem* after = nullptr;
    switch (header->kind) {
        case kClipFolder: {
            if (!placement(target, insertBefore, parent, after)) {
                return false;
            }
            QTreeWidgetItem* added = ReadFolderStream(reader, parent, after);
            if (added == nullptr) {
                return false;
            }
            if (sameProcess && m_savedSelectionId == header->itemId) {
                m_savedSelectionId = m_tree.GetMyItem(added)->GetItemId();
            }
            return true;
        }
        case kClipServer: {
            const std::optional<ClipboardServer> server = reader.ReadServer();
            if (!server || !placement(target, insertBefore, parent, after)) {
                return false;
            }
            QTreeWidgetItem* added = addServer(*server, parent, after);
            if (added != nullptr && sameProcess && m_savedSelectionId == header->itemId) {
                m_savedSelectionId = m_tree.GetMyItem(added)->GetItemId();
            }
            return added != nullptr;
        }
        case kClipWorldView:
            return !sameProcess && effect == Qt::CopyAction && dropWorldView(reader);
        default:
            if (checkServerRecord(*header, target, u"drop") == Qt::IgnoreAction) {
                return false;
            }
            return runDropActions(*header, target);
    }
}

bool CTreeDragDrop::dropWorldView(CClipboardReader& reader) {
    const std::optional<QString> xml = reader.ReadText();
    if (!xml || xml->isEmpty()) {
        return false;
    }
    // Unsaved changes are offered for saving first, and the World View is
    // replaced only by a text that reads whole.
    if (m_tree.IsModified() && !m_site.AskToSaveChanges()) {
        return false;
    }
    if (m_tree.ReplaceFromXML(*xml) == 0) {
        kDebugLog(u"LeftView: drop ignored (the World View dropped does not read).\n");
        return false;
    }
    const CMyItem* root = m_tree.GetMyItem(rootItem());
    m_savedSelectionId = root != nullptr ? root->GetItemId() : 0;
    return true;
}

bool CTreeDragDrop::runDropActions(const ClipboardHeader& header, QTreeWidgetItem* target) {
    const bool grid = header.kind == kClipGrid;
    QTreeWidgetItem* source = grid ? m_tree.GetSelectedItem() : itemById(header.itemId);
    const QString dragType = grid ? m_site.GridDragType() : targetRuleType(source);
    const QString targetType = targetRuleType(target);
    const QString targetID = queryEscaped(m_tree.GetID(target));
    const QString selection =
        grid ? kFormat(u"&Target=%s", targetID)
             : kFormat(u"&Target=%s&Selected=,%s", targetID, queryEscaped(m_tree.GetID(source)));
    const CMyDropInfo& rule = rulesOf(target)->Find(targetType);
    QString actions[CMyDropInfo::kMaxActions];
    rule.GetActions(dragType, actions[0], actions[1], actions[2]);
    KPROPS list;
    for (int i = 0; i < CMyDropInfo::kMaxActions; ++i) {
        if (actions[i].isEmpty()) {
            continue;
        }
        const QString action =
            actions[i].startsWith(u"curl:") ? actions[i] : actions[i] + selection;
        list.Add(kFormat(u"dnd%d", i + 1), action);
    }
    kDebugLog(u"LeftView: '%s' has been dropped onto '%s' (%d actions to take)\n", dragType,
              targetType, list.Count());
    m_site.RunActions(list, grid ? 'G' : 0);
    return true;
}

// The drag over the pane ----------------------------------------------------------

QTreeWidgetItem* CTreeDragDrop::targetAt(QPoint point, bool& onTopEdge) const {
    QTreeWidget* tree = control();
    QTreeWidgetItem* item = tree->itemAt(point);
    onTopEdge = false;
    if (item == nullptr) {
        return rootItem();
    }
    const QRect rect = tree->visualItemRect(item);
    onTopEdge = point.y() < rect.top() + kTopEdgePixels;
    return item;
}

QTreeWidgetItem* CTreeDragDrop::DropHighlight() const {
    return itemById(m_dropHighlightId);
}

QTreeWidgetItem* CTreeDragDrop::InsertMark() const {
    return itemById(m_insertMarkId);
}

void CTreeDragDrop::setMarks(QTreeWidgetItem* highlight, QTreeWidgetItem* insertMark) {
    const auto idOf = [this](QTreeWidgetItem* item) -> quint32 {
        const CMyItem* record = m_tree.GetMyItem(item);
        return record != nullptr ? record->GetItemId() : 0;
    };
    m_dropHighlightId = idOf(highlight);
    m_insertMarkId = idOf(insertMark);
    if (m_marker == nullptr) {
        return;
    }
    QTreeWidgetItem* marked = highlight != nullptr ? highlight : insertMark;
    if (marked == nullptr) {
        m_marker->hide();
        return;
    }
    m_marker->Show(control()->visualItemRect(marked), insertMark != nullptr);
}

Qt::DropAction CTreeDragDrop::OnDragEnter(const QMimeData* data, QPoint point) {
    const CMyItem* selected = m_tree.GetMyItem(m_tree.GetSelectedItem());
    m_savedSelectionId = selected != nullptr ? selected->GetItemId() : 0;
    m_hoverTimer.stop();
    m_fetchedDuringHover = false;
    return OnDragOver(data, point);
}

Qt::DropAction CTreeDragDrop::OnDragOver(const QMimeData* data, QPoint point) {
    QTreeWidget* tree = control();
    QTreeWidgetItem* under = tree->itemAt(point);
    const CMyItem* underRecord = m_tree.GetMyItem(under);
    const quint32 underId = underRecord != nullptr ? underRecord->GetItemId() : 0;
    if (underId != m_hoverId) {
        m_fetchedDuringHover = false;
        m_hoverTimer.start(kHoverExpandMs, this);
        m_hoverId = underId;
    }
    bool onTopEdge = false;
    QTreeWidgetItem* target = targetAt(point, onTopEdge);
    bool insertBefore = false;
    const Qt::DropAction effect = CheckDrop(data, target, insertBefore, onTopEdge);
    if (effect == Qt::IgnoreAction) {
        setMarks(nullptr, nullptr);
    } else if (insertBefore) {
        setMarks(nullptr, target);
    } else {
        setMarks(target, nullptr);
    }
    autoScroll(point);
    return effect;
}

void CTreeDragDrop::autoScroll(QPoint point) {
    QTreeWidget* tree = control();
    const int height = tree->viewport()->height();
    if (point.y() >= height - kAutoScrollPixels) {
        tree->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    } else if (point.y() < kAutoScrollPixels) {
        tree->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    }
}

void CTreeDragDrop::OnDragLeave() {
    m_hoverTimer.stop();
    m_hoverId = 0;
    setMarks(nullptr, nullptr);
    m_tree.SelectItem(itemById(m_savedSelectionId), false);
}

bool CTreeDragDrop::OnDrop(const QMimeData* data, Qt::DropAction effect, QPoint point) {
    m_hoverTimer.stop();
    m_hoverId = 0;
    CBusyCursor busy;
    bool onTopEdge = false;
    QTreeWidgetItem* target = targetAt(point, onTopEdge);
    bool insertBefore = false;
    // The drop goes where the last drag over said it would.
    if (CheckDrop(data, target, insertBefore, onTopEdge) == Qt::IgnoreAction) {
        setMarks(nullptr, nullptr);
        return false;
    }
    setMarks(nullptr, nullptr);
    m_tree.SetDropID(m_tree.GetID(itemById(m_savedSelectionId)));
    rememberGroup();
    const bool dropped = DoDrop(data, effect, target, insertBefore);
    m_tree.SetDropID(QString());
    if (dropped) {
        reselectGroup();
    }
    return dropped;
}

void CTreeDragDrop::rememberGroup() {
    m_groupId = 0;
    m_groupItemID.clear();
    const QString groupList = QStringLiteral("Group List");
    if (m_tree.FindItemByName(groupList, nullptr) == nullptr) {
        return;
    }
    QTreeWidgetItem* item = itemById(m_savedSelectionId);
    while (item != nullptr) {
        QTreeWidgetItem* parent = m_tree.GetParentItem(item);
        const CMyItem* parentRecord = m_tree.GetMyItem(parent);
        if (parentRecord == nullptr || parentRecord->GetLabel() == groupList) {
            break;
        }
        item = parent;
    }
    if (const CMyItem* record = m_tree.GetMyItem(item)) {
        m_groupId = record->GetItemId();
        m_groupItemID = m_tree.GetID(item);
    }
}

void CTreeDragDrop::reselectGroup() {
    QTreeWidgetItem* group = itemById(m_groupId);
    if (group == nullptr || m_groupItemID.isEmpty()) {
        return;
    }
    // Depth first, children in tree order.
    std::vector<QTreeWidgetItem*> pending{group};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        if (m_tree.GetID(item) == m_groupItemID) {
            m_tree.SelectItem(item, true);
            return;
        }
        for (int i = item->childCount() - 1; i >= 0; --i) {
            pending.push_back(item->child(i));
        }
    }
}

void CTreeDragDrop::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_hoverTimer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    m_hoverTimer.stop();
    onHoverTimer();
}

void CTreeDragDrop::onHoverTimer() {
    if (m_inHoverTimer) {
        return;
    }
    m_inHoverTimer = true;
    QTreeWidgetItem* item = itemById(m_hoverId);
    if (item != nullptr && !m_fetchedDuringHover) {
        m_fetchedDuringHover = true;
        m_site.ExpandItem(item);
    }
    m_inHoverTimer = false;
}

// Events of the control's viewport ---------------------------------------------------

bool CTreeDragDrop::eventFilter(QObject* watched, QEvent* event) {
    QTreeWidget* tree = control();
    if (tree == nullptr || watched != tree->viewport()) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const CMyItem* record = m_tree.GetMyItem(tree->itemAt(mouse->position().toPoint()));
            m_pressPoint = mouse->position().toPoint();
            m_pressItemId =
                mouse->button() == Qt::LeftButton && record != nullptr ? record->GetItemId() : 0;
            return false;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_pressItemId == 0 || (mouse->buttons() & Qt::LeftButton) == 0 ||
                (mouse->position().toPoint() - m_pressPoint).manhattanLength() <
                    QApplication::startDragDistance()) {
                return false;
            }
            QTreeWidgetItem* item = itemById(m_pressItemId);
            m_pressItemId = 0;
            BeginDrag(item);
            return true;
        }
        case QEvent::MouseButtonRelease:
            m_pressItemId = 0;
            return false;
        default:
            break;
    }
    const DragEventHandlers handlers{
        .enter = [this](const QMimeData* data, Qt::KeyboardModifiers,
                        QPoint point) { return OnDragEnter(data, point); },
        .over = [this](const QMimeData* data, Qt::KeyboardModifiers,
                       QPoint point) { return OnDragOver(data, point); },
        .leave = [this] { OnDragLeave(); },
        .drop = [this](const QMimeData* data, Qt::DropAction effect,
                       QPoint point) { return OnDrop(data, effect, point); },
    };
    return AnswerDragEvent(event, handlers) || QObject::eventFilter(watched, event);
}
