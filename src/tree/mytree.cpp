#include "tree/mytree.h"

#include "framework/klog.h"
#include "net/wireservices.h"
#include "tree/treehost.h"
#include "tree/treeimages.h"
#include "tree/treenode.h"
#include "tree/treetexts.h"

#include <QApplication>
#include <QRegularExpression>
#include <QThread>
#include <QTreeWidget>

#include <algorithm>

namespace {

// A label cut at its first "(" and stripped of trailing blanks.
QString WithoutSuffix(const QString& label) {
    QString text = label;
    const qsizetype paren = text.indexOf(u'(');
    if (paren >= 0) {
        text.truncate(paren);
    }
    while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t' ||
                               text.back() == u'\r' || text.back() == u'\n')) {
        text.chop(1);
    }
    return text;
}

}  // namespace

CMyTree::CMyTree() = default;

CMyTree::~CMyTree() {
    // Items waiting for their slice belong to no control yet.
    qDeleteAll(m_slices.items.sliced(m_slices.next));
}

void CMyTree::SetHost(CTreeHost* host) {
    m_host = host;
}

void CMyTree::AttachTreeCtrl(QTreeWidget* tree) {
    const CWireBusy busy;
    m_tree = tree;
    m_countItemId = 0;
    m_lastSelectionId = 0;
    if (m_tree != nullptr) {
        m_tree->clear();
    }
}

QTreeWidgetItem* CMyTree::RootLevel() const {
    return m_tree != nullptr ? m_tree->invisibleRootItem() : nullptr;
}

bool CMyTree::onUiThread() const {
    return QThread::currentThread() == qApp->thread();
}

QTreeWidgetItem* CMyTree::resolve(QTreeWidgetItem* item) const {
    if (m_tree == nullptr) {
        return nullptr;
    }
    if (item == nullptr) {
        return m_tree->currentItem();
    }
    if (item == RootLevel()) {
        return m_tree->topLevelItem(0);
    }
    return item;
}

QTreeWidgetItem* CMyTree::insertionParent(QTreeWidgetItem* parent) const {
    return parent != nullptr ? parent : RootLevel();
}

CMyItem* CMyTree::GetMyItem(QTreeWidgetItem* item) const {
    return CTreeNode::RecordOf(resolve(item));
}

QTreeWidgetItem* CMyTree::GetRootItem() const {
    return m_tree != nullptr ? m_tree->topLevelItem(0) : nullptr;
}

QTreeWidgetItem* CMyTree::GetSelectedItem() const {
    return m_tree != nullptr ? m_tree->currentItem() : nullptr;
}

QTreeWidgetItem* CMyTree::GetParentItem(QTreeWidgetItem* item) const {
    item = resolve(item);
    return item != nullptr ? item->parent() : nullptr;
}

QTreeWidgetItem* CMyTree::GetChildItem(QTreeWidgetItem* item) const {
    if (m_tree == nullptr) {
        return nullptr;
    }
    QTreeWidgetItem* parent = item == RootLevel() ? item : resolve(item);
    return parent != nullptr ? parent->child(0) : nullptr;
}

QTreeWidgetItem* CMyTree::GetNextSiblingItem(QTreeWidgetItem* item) const {
    item = resolve(item);
    if (item == nullptr) {
        return nullptr;
    }
    QTreeWidgetItem* parent = item->parent() != nullptr ? item->parent() : RootLevel();
    return parent->child(parent->indexOfChild(item) + 1);
}

QTreeWidgetItem* CMyTree::FindItemById(quint32 itemId) const {
    if (m_tree == nullptr || itemId == 0) {
        return nullptr;
    }
    for (QTreeWidgetItemIterator it(m_tree); *it != nullptr; ++it) {
        const CMyItem* record = CTreeNode::RecordOf(*it);
        if (record != nullptr && record->GetItemId() == itemId) {
            return *it;
        }
    }
    return nullptr;
}

int CMyTree::GetChildCount(QTreeWidgetItem* item) const {
    if (m_tree == nullptr) {
        return 0;
    }
    item = item == RootLevel() ? item : resolve(item);
    return item != nullptr ? item->childCount() : 0;
}

bool CMyTree::ItemHasChildren(QTreeWidgetItem* item) const {
    item = resolve(item);
    if (item == nullptr) {
        return false;
    }
    if (item->childCount() > 0) {
        return true;
    }
    if (item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator) {
        kDebugLog(u"TreeCtrl BUG: ItemHasChildren() lied.\n");
    }
    return false;
}

bool CMyTree::IsItemExpanded(QTreeWidgetItem* item) const {
    item = resolve(item);
    return item != nullptr && item->isExpanded();
}

bool CMyTree::Expand(QTreeWidgetItem* item, bool expand) {
    item = resolve(item);
    if (item == nullptr) {
        return false;
    }
    item->setExpanded(expand);
    return true;
}

void CMyTree::EnsureVisible(QTreeWidgetItem* item) {
    item = resolve(item);
    if (item != nullptr) {
        m_tree->scrollToItem(item);
    }
}

void CMyTree::SortChildren(QTreeWidgetItem* item) {
    if (m_tree == nullptr) {
        return;
    }
    item = item == RootLevel() ? item : resolve(item);
    if (item == nullptr) {
        return;
    }
    if (item->treeWidget() != nullptr) {
        item->sortChildren(0, Qt::AscendingOrder);
        return;
    }
    // The control sorts only its own items; a reply's scratch items are
    // sorted in the same order here.
    QList<QTreeWidgetItem*> children = item->takeChildren();
    std::stable_sort(children.begin(), children.end(),
                     [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) { return *a < *b; });
    item->addChildren(children);
}

bool CMyTree::SetItemImage(QTreeWidgetItem* item, int image) {
    item = resolve(item);
    CMyItem* record = CTreeNode::RecordOf(item);
    if (record == nullptr) {
        return false;
    }
    record->ImageIdx = image;
    item->setIcon(0, TreeImageIcon(image));
    return true;
}

bool CMyTree::SetHasChildren(QTreeWidgetItem* item, bool hasChildren) {
    item = resolve(item);
    if (item == nullptr || !onUiThread()) {
        return false;
    }
    item->setChildIndicatorPolicy(hasChildren ? QTreeWidgetItem::ShowIndicator
                                              : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    m_tree->viewport()->update();
    return true;
}

void CMyTree::EndLabelEdit() {
    // The edit box is a child of the control; taking the focus from it ends the edit.
    const QWidget* focus = QApplication::focusWidget();
    if (m_tree != nullptr && focus != nullptr && focus != m_tree && m_tree->isAncestorOf(focus)) {
        m_tree->setFocus();
    }
}

int CMyTree::SelectItem(QTreeWidgetItem* item, bool force) {
    if (m_tree == nullptr) {
        return 0;
    }
    if (!force && item != nullptr && item == GetLastSelection() && m_tree->currentItem() == item) {
        return 1;
    }
    item = item == nullptr ? RootLevel() : item;
    item = resolve(item);
    const CMyItem* record = CTreeNode::RecordOf(item);
    if (record == nullptr) {
        return 0;
    }
    const quint32 itemId = record->GetItemId();
    QTreeWidgetItem* previous = m_tree->currentItem();
    if (force && previous == item) {
        kDebugLog(u"CMyTree::SelectItem(): TREEVIEW SELECTION FORCED REFRESH: [%s]\n",
                  item->text(0));
    } else {
        kDebugLog(u"CMyTree::SelectItem(): TREEVIEW SELECTION CHANGED: from [%s] to [%s]\n",
                  previous != nullptr ? previous->text(0) : QString(), item->text(0));
    }
    CancelRequests();
    // Only a login that expires while the item is shown fails the
    // selection: a server already logged out is selected to log in again.
    const CServerConnection* system = GetSystem(item);
    const bool expiredBefore = system != nullptr && system->LoginExpired;
    m_tree->setCurrentItem(item);
    int result = 0;
    if (m_tree->currentItem() == item) {
        // Without windows there is nothing to show: the selection stands.
        result = m_host != nullptr ? m_host->OnItemSelected(*this, item) : 1;
        if (result != 0 && m_mainTree && !m_dropID.isEmpty()) {
            result = fetchForDrop(item);
        }
    }
    // The right-hand side may have run events: the item may be gone.
    item = FindItemById(itemId);
    record = CTreeNode::RecordOf(item);
    if (result != 0 && record != nullptr && (expiredBefore || !selectedLoginExpired())) {
        if (record->ItemType != kKindFolder && record->ItemType != kKindSystem) {
            SetHasChildren(item, item->childCount() > 0);
        }
        m_lastSelectionId = record->GetItemId();
        return 1;
    }
    if (QTreeWidgetItem* last = GetLastSelection()) {
        m_tree->setCurrentItem(last);
    }
    m_tree->viewport()->update();
    return 0;
}

int CMyTree::fetchForDrop(QTreeWidgetItem* item) {
    CMyItem* record = CTreeNode::RecordOf(item);
    const CServerConnection* system = GetSystem(item);
    if (system != nullptr && !record->TreeURL.isEmpty()) {
        record->TreeURL = system->AbsoluteURL(record->TreeURL);
        WireServices().RecordUrlTrail(record->TreeURL);
    }
    if (!record->TreeURL.isEmpty() && item->childCount() == 0) {
        AddItemsFromURL(record->TreeURL, item, false);
        return selectedLoginExpired() ? 0 : 1;
    }
    return 1;
}

bool CMyTree::progressCancelled() const {
    return m_host != nullptr && m_host->IsProgressCancelled();
}

bool CMyTree::selectedLoginExpired() const {
    const CServerConnection* system = GetSystem(nullptr);
    return system != nullptr && system->LoginExpired;
}

void CMyTree::CancelRequests() {
    if (m_host != nullptr) {
        m_host->CancelTreeRequests(m_requesterId);
    }
}

bool CMyTree::IsDynamicItem(QTreeWidgetItem* item) const {
    const CMyItem* record = GetMyItem(item);
    return !m_building && record != nullptr && record->HasContent();
}

int CMyTree::FetchAndExpand(QTreeWidgetItem* item) {
    if (m_tree == nullptr || item == nullptr) {
        return 0;
    }
    CMyItem* record = CTreeNode::RecordOf(item);
    if (record == nullptr) {
        return 0;
    }
    if (item->isExpanded()) {
        return 1;
    }
    const quint32 itemId = record->GetItemId();
    if (item->childCount() > 0) {
        item->setExpanded(true);
    } else if (!record->TreeURL.isEmpty()) {
        const CWireBusy busy;
        if (AddItemsFromURL(record->TreeURL, item, true) == 0) {
            const CServerConnection* system = GetSystem(FindItemById(itemId));
            if (system != nullptr && system->LoginExpired) {
                return 0;
            }
        }
        // The fetch may have run events: the item may be gone.
        item = FindItemById(itemId);
        if (item == nullptr) {
            return 0;
        }
    }
    if (record->ImageIdx == kImageFolderClosed) {
        SetItemImage(item, kImageFolderOpen);
    }
    SetHasChildren(item, item->childCount() > 0);
    return 1;
}

int CMyTree::RefreshDynamicParent(QTreeWidgetItem* item) {
    if (m_tree == nullptr || item == nullptr) {
        return 0;
    }
    QTreeWidgetItem* parent = item->parent();
    while (parent != nullptr && !IsDynamicItem(parent)) {
        parent = parent->parent();
    }
    if (parent == nullptr) {
        return 0;
    }
    const quint32 parentId = CTreeNode::RecordOf(parent)->GetItemId();
    if (m_host != nullptr) {
        m_host->RefreshItemKeepSelection(parent, true);
    }
    FetchAndExpand(FindItemById(parentId));
    return 1;
}

void CMyTree::LogoutAll(QTreeWidgetItem* item) {
    if (m_tree == nullptr) {
        return;
    }
    QTreeWidgetItem* level = item != nullptr ? item : RootLevel();
    if (CServerConnection* system = ConnectionOf(CTreeNode::RecordOf(level))) {
        if (system->LoggedIn) {
            system->LogoutSession(nullptr, nullptr);
        }
        return;
    }
    for (int i = 0; i < level->childCount(); ++i) {
        LogoutAll(level->child(i));
    }
}

QString CMyTree::GetID(QTreeWidgetItem* item) const {
    const CMyItem* record = GetMyItem(item);
    if (record == nullptr) {
        return {};
    }
    if (!record->ID.isEmpty()) {
        return record->ID;
    }
    if (const CServerConnection* system = ConnectionOf(record)) {
        return system->Host;
    }
    if (record->GetLabel() == LookupText(QStringLiteral("World View"))) {
        return LookupText(QStringLiteral("||World View"));
    }
    return record->GetLabel();
}

QString CMyTree::GetFullCurl(QTreeWidgetItem* item) const {
    QStringList ids;
    for (item = resolve(item); CTreeNode::RecordOf(item) != nullptr; item = item->parent()) {
        const QString id = GetID(item);
        if (!id.isEmpty()) {
            ids.prepend(id);
        }
    }
    return ids.join(u'|');
}

QTreeWidgetItem* CMyTree::FindSystemItem(QTreeWidgetItem* item) const {
    for (item = resolve(item); item != nullptr; item = parentOf(item)) {
        const CMyItem* record = CTreeNode::RecordOf(item);
        if (record != nullptr && record->ItemType == kKindSystem) {
            return item;
        }
    }
    return nullptr;
}

CServerConnection* CMyTree::GetSystem(QTreeWidgetItem* item) const {
    return ConnectionOf(CTreeNode::RecordOf(FindSystemItem(item)));
}

QString CMyTree::GetSystemItemText(QTreeWidgetItem* item) const {
    const QTreeWidgetItem* system = FindSystemItem(item);
    return system != nullptr ? system->text(0) : QString();
}

QString CMyTree::GetServerURL(QTreeWidgetItem* item, bool withCredentials) const {
    const CServerConnection* system = GetSystem(item);
    return system != nullptr ? system->GetBaseURL(withCredentials)
                             : QStringLiteral("TreeDataError");
}

bool CMyTree::IsUnderKind(QTreeWidgetItem* item, int kind) const {
    for (item = resolve(item); item != nullptr; item = parentOf(item)) {
        const CMyItem* record = CTreeNode::RecordOf(item);
        if (record != nullptr && record->ItemType == kind) {
            return true;
        }
    }
    return false;
}

bool CMyTree::SameSystem(QTreeWidgetItem* first, QTreeWidgetItem* second) const {
    const QTreeWidgetItem* system = FindSystemItem(first);
    return system != nullptr && system == FindSystemItem(second);
}

bool CMyTree::ItemMatchesName(const QString& name, QTreeWidgetItem* item) const {
    const CMyItem* record = GetMyItem(item);
    if (record == nullptr) {
        return false;
    }
    const QString& label = record->GetLabel();
    return name == GetID(item) || name == label || label == name + u'/' ||
           name == record->TreeURL || record->Parts.FindIndex(name) >= 0 ||
           (record->ItemType == kKindSystem && name == u"server");
}

QTreeWidgetItem* CMyTree::findByName(const QString& name, QTreeWidgetItem* start) const {
    if (ItemMatchesName(name, start)) {
        return start;
    }
    for (int i = 0; i < start->childCount(); ++i) {
        if (ItemMatchesName(name, start->child(i))) {
            return start->child(i);
        }
    }
    for (int i = 0; i < start->childCount(); ++i) {
        if (QTreeWidgetItem* found = findByName(name, start->child(i))) {
            return found;
        }
    }
    return nullptr;
}

QTreeWidgetItem* CMyTree::FindItemByName(const QString& name, QTreeWidgetItem* start) const {
    start = start != nullptr ? start : GetRootItem();
    return start != nullptr ? findByName(name, start) : nullptr;
}

bool CMyTree::IsUnderName(const QString& name, QTreeWidgetItem* item) const {
    for (item = resolve(item); item != nullptr; item = item->parent()) {
        if (ItemMatchesName(name, item)) {
            return true;
        }
    }
    return false;
}

QTreeWidgetItem* CMyTree::FindItemByPath(const QStringList& names) const {
    QTreeWidgetItem* item = GetRootItem();
    if (names.isEmpty() || item == nullptr || !ItemMatchesName(names.front(), item)) {
        return nullptr;
    }
    for (qsizetype level = 1; level < names.size(); ++level) {
        QTreeWidgetItem* match = nullptr;
        for (int i = 0; i < item->childCount() && match == nullptr; ++i) {
            if (ItemMatchesName(names[level], item->child(i))) {
                match = item->child(i);
            }
        }
        if (match == nullptr) {
            return nullptr;
        }
        item = match;
    }
    return item;
}

QTreeWidgetItem* CMyTree::FindChildByLabel(const QString& label, QTreeWidgetItem* parent) const {
    if (m_tree == nullptr) {
        return nullptr;
    }
    parent = parent != nullptr ? parent : GetRootItem();
    if (parent == nullptr) {
        return nullptr;
    }
    const QString wanted = WithoutSuffix(label);
    for (int i = 0; i < parent->childCount(); ++i) {
        if (WithoutSuffix(parent->child(i)->text(0)) == wanted) {
            return parent->child(i);
        }
    }
    return nullptr;
}

QTreeWidgetItem* CMyTree::FindSystemByHost(const QString& host, int port,
                                           QTreeWidgetItem* start) const {
    if (m_tree == nullptr) {
        return nullptr;
    }
    QTreeWidgetItem* level = start != nullptr ? start : RootLevel();
    const CServerConnection* system = ConnectionOf(CTreeNode::RecordOf(level));
    if (system != nullptr && system->Host == host && (port == 0 || system->WebPort == port)) {
        return level;
    }
    for (int i = 0; i < level->childCount(); ++i) {
        if (QTreeWidgetItem* found = FindSystemByHost(host, port, level->child(i))) {
            return found;
        }
    }
    return nullptr;
}

QTreeWidgetItem* CMyTree::AddRootItem(const QString& label) {
    auto record = std::make_unique<CMyItem>();
    record->ItemType = kKindRoot;
    record->ImageIdx = kImageRoot;
    record->SetLabel(label);
    record->PanelParts = kPanelList;
    return InsertItem(RootLevel(), nullptr, std::move(record));
}

QTreeWidgetItem* CMyTree::AddFolderItem(QTreeWidgetItem* parent, const QString& label,
                                        QTreeWidgetItem* after) {
    auto record = std::make_unique<CMyItem>();
    record->ItemType = kKindFolder;
    record->ImageIdx = kImageFolderOpen;
    record->SetLabel(label);
    record->PanelParts = kPanelList;
    QTreeWidgetItem* item = InsertItem(parent, after, std::move(record));
    if (item != nullptr) {
        SetModified();
    }
    return item;
}

QTreeWidgetItem* CMyTree::AddSystemItem(QTreeWidgetItem* parent, const QString& label,
                                        const CServerConnection& session, QTreeWidgetItem* after) {
    CMyItem item;
    item.ItemType = kKindSystem;
    item.ImageIdx = kImageSystem0;
    item.SetLabel(label);
    item.PanelParts = kPanelDialog;
    item.PanelDialog = kDialogLogin;
    QTreeWidgetItem* inserted =
        InsertItem(parent, after, std::make_unique<CSystemItem>(item, session));
    if (inserted != nullptr) {
        SetModified();
    }
    return inserted;
}

QTreeWidgetItem* CMyTree::InsertItemCopy(QTreeWidgetItem* parent, QTreeWidgetItem* after,
                                         const CMyItem& record) {
    return InsertItem(parent, after, record.Clone());
}

bool CMyTree::AbsorbFirstComponent(QTreeWidgetItem* parent, const CMyItem& record) {
    CServerConnection* system = ConnectionOf(CTreeNode::RecordOf(standsFor(parent)));
    if (record.ItemType != kKindComponent || system == nullptr || parent->childCount() != 0 ||
        (record.PanelParts & kPanelList) != 0) {
        return false;
    }
    ServerEntryPanel& panel = system->Panel;
    if (panel.PanelParts != 0) {
        return false;
    }
    panel.ImageIdx = record.ImageIdx;
    panel.PanelParts = record.PanelParts;
    panel.PanelDialog = record.PanelDialog;
    if ((panel.PanelParts & (kPanelDialog | kPanelBrowser)) == 0) {
        panel.PanelParts |= kPanelDialog;
        panel.PanelDialog = kDialogLogout;
    }
    panel.TreeURL = record.TreeURL;
    panel.RefreshSecs = record.RefreshSecs;
    panel.Parts.Clear();
    panel.Parts.Merge(&record.Parts);
    system->ClientDateTimeInfo =
        !record.Attributes.GetValue(QStringLiteral("client-datetime-info"), true).isEmpty();
    return true;
}

QTreeWidgetItem* CMyTree::InsertItem(QTreeWidgetItem* parent, QTreeWidgetItem* after,
                                     std::unique_ptr<CMyItem> record) {
    if (m_tree == nullptr) {
        return nullptr;
    }
    parent = insertionParent(parent);
    if (AbsorbFirstComponent(parent, *record)) {
        return parent;
    }
    const QTreeWidgetItem* const placed = standsFor(parent);
    const CMyItem* parentRecord = CTreeNode::RecordOf(placed);
    if (record->ItemType == kKindFolder) {
        const bool underRoot = placed == RootLevel() || placed == GetRootItem() ||
                               (parentRecord != nullptr && parentRecord->ItemType == kKindRoot);
        record->ImageIdx = underRoot ? kImageFolderOpen : kImageFolderClosed;
    }
    const bool expandButton =
        (record->ItemType == kKindComponent || record->ItemType == kKindDirectory) &&
        !record->TreeURL.isEmpty() && record->Count != 0;

    auto* node = new CTreeNode(std::move(record));
    const CMyItem* inserted = node->record();
    if (CServerConnection* system = ConnectionOf(inserted)) {
        system->ClientDateTimeInfo =
            !inserted->Attributes.GetValue(QStringLiteral("client-datetime-info"), true).isEmpty();
    }
    node->setText(0, inserted->ItemType == kKindRoot ? WorldViewText() : inserted->GetLabel());
    node->setIcon(0, TreeImageIcon(inserted->ImageIdx));
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    if (expandButton) {
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    int position = parent->childCount();
    if (after == RootLevel()) {
        position = 0;
    } else if (after != nullptr && parent->indexOfChild(after) >= 0) {
        position = parent->indexOfChild(after) + 1;
    }
    parent->insertChild(position, node);
    ApplyExpansion(node);
    return node;
}

void CMyTree::ApplyExpansion(QTreeWidgetItem* item) {
    const CMyItem* record = CTreeNode::RecordOf(item);
    if (record != nullptr &&
        (record->ItemType == kKindRoot ||
         (record->ItemType == kKindFolder && record->ImageIdx == kImageFolderOpen))) {
        item->setExpanded(true);
    }
}

QTreeWidgetItem* CMyTree::RemoveItem(QTreeWidgetItem* item) {
    if (m_tree == nullptr || item == nullptr) {
        return nullptr;
    }
    if (item == RootLevel()) {
        m_tree->clear();
        return nullptr;
    }
    QTreeWidgetItem* parent = item->parent();
    delete item;
    return parent;
}

void CMyTree::DeleteItem(QTreeWidgetItem* item) {
    RemoveItem(item);
}

int CMyTree::DeleteChildren(QTreeWidgetItem* item) {
    if (m_tree == nullptr) {
        return 0;
    }
    item = item == RootLevel() ? item : resolve(item);
    if (item == nullptr) {
        return 0;
    }
    const QList<QTreeWidgetItem*> children = detachChildren(item);
    qDeleteAll(children);
    return static_cast<int>(children.size());
}

QTreeWidgetItem* CMyTree::standsFor(QTreeWidgetItem* item) const {
    return item != nullptr && item == m_scratch.get() ? m_scratchFor : item;
}

QTreeWidgetItem* CMyTree::parentOf(QTreeWidgetItem* item) const {
    return item == m_scratch.get() ? m_scratchFor : item->parent();
}

QList<QTreeWidgetItem*> CMyTree::detachChildren(QTreeWidgetItem* item) {
    if (item != RootLevel()) {
        item->setExpanded(false);
    }
    m_tree->viewport()->update();
    return item->takeChildren();
}

void CMyTree::CollapseItem(QTreeWidgetItem* item) {
    item = resolve(item);
    if (item == nullptr || item->childCount() == 0) {
        return;
    }
    item->setExpanded(false);
    const CMyItem* record = CTreeNode::RecordOf(item);
    if (record != nullptr && record->ImageIdx == kImageFolderOpen) {
        SetItemImage(item, kImageFolderClosed);
    }
}

int CMyTree::DeleteEmptyFolders(QTreeWidgetItem* item) {
    const CMyItem* record = CTreeNode::RecordOf(item);
    if (m_tree == nullptr || item == nullptr || item == RootLevel() || record == nullptr) {
        return 0;
    }
    const bool server = record->ItemType == kKindSystem;
    if (!server && record->HasContent()) {
        return 0;
    }
    kDebugLog(u"CHECKING: %s\n", record->GetLabel());
    // A removed child leaves its next sibling at the same index.
    for (int i = 0; i < item->childCount();) {
        i += DeleteEmptyFolders(item->child(i)) != 0 ? 0 : 1;
    }
    if (item->childCount() > 0 || server) {
        return 0;
    }
    kDebugLog(u"DELETE EMPTY FOLDER: %s\n", record->GetLabel());
    RemoveItem(item);
    return 1;
}

void CMyTree::RemoveItemCount(QTreeWidgetItem* item) {
    item = resolve(item);
    if (item == nullptr) {
        return;
    }
    // Only the suffix that SetItemCount writes goes: a label of the
    // server's own that ends in parentheses stays whole.
    QString text = item->text(0);
    const QString empty = EmptyCountText();
    if (!empty.isEmpty() && text.endsWith(empty)) {
        text.chop(empty.size());
    } else {
        static const QRegularExpression count(QStringLiteral(" \\(\\d+\\)$"));
        const QRegularExpressionMatch match = count.match(text);
        if (!match.hasMatch()) {
            return;
        }
        text.truncate(match.capturedStart());
    }
    item->setText(0, text);
}

void CMyTree::SetCountItem(QTreeWidgetItem* item) {
    const CMyItem* record = CTreeNode::RecordOf(item);
    m_countItemId = record != nullptr ? record->GetItemId() : 0;
}

int CMyTree::SetItemCount(QTreeWidgetItem* item, int gridRows) {
    QTreeWidgetItem* target = FindItemById(m_countItemId);
    if (target == nullptr) {
        target = resolve(item);
    }
    CMyItem* record = CTreeNode::RecordOf(target);
    if (record == nullptr) {
        return 0;
    }
    RemoveItemCount(target);
    QString suffix;
    if (m_dropID.isEmpty()) {
        if (gridRows > 1) {
            suffix = kFormat(u" (%d)", gridRows - 1);
        }
    } else if (m_dropCount != 0) {
        suffix = kFormat(u" (%d)", m_dropCount);
    }
    if (suffix.isEmpty()) {
        suffix = EmptyCountText();
    }
    const QString text = target->text(0) + suffix;
    target->setText(0, text);
    record->SetLabel(text);
    if (m_host != nullptr) {
        m_host->OnItemLabelChanged(target);
    }
    return 1;
}

void CMyTree::SetModified() {
    m_modified = true;
    if (QTreeWidgetItem* root = GetRootItem()) {
        root->setText(0, WorldViewText() + kModifiedMark.toString());
    }
}

void CMyTree::ClearModified() {
    m_modified = false;
    if (QTreeWidgetItem* root = GetRootItem()) {
        root->setText(0, WorldViewText());
    }
}

void CMyTree::SetDropID(const QString& id) {
    m_dropID = id;
    m_dropCount = 0;
}
