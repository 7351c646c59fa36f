// The tree model's XML side: the tree XML handlers, reading a text or a URL
// into the tree, and writing the World View back as XML.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "net/wireservices.h"
#include "net/xmltext.h"
#include "platform/paths.h"
#include "settings/uithreadcall.h"
#include "tree/itemattributes.h"
#include "tree/mytree.h"
#include "tree/treehost.h"
#include "tree/treenode.h"
#include "tree/xmlnumbers.h"

#include <QFile>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

namespace {

bool IsItemElement(const QString& name) {
    return name == u"item" || name == u"component" || name == u"folder";
}

// Elements whose start may move the current parent and whose end moves it back.
bool IsNestingElement(const QString& name) {
    return name == u"root" || name == u"system" || IsItemElement(name);
}

void ShowMissingLabel(const QString& element) {
    WireServices().PopupMessage(
        kFormat(u"XML Error: <%s> tag with no %s='' attribute.", element, u"label"), kPopupError);
}

// An attribute value for a single-quoted attribute. Line breaks and tabs are
// written as character references so they read back unchanged; other control
// characters cannot appear in an XML document and are left out.
QString AttributeText(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : XmlEscape(text)) {
        if (c == u'\t' || c == u'\n' || c == u'\r') {
            escaped += kFormat(u"&#%d;", static_cast<int>(c.unicode()));
        } else if (c.unicode() >= 0x20) {
            escaped += c;
        }
    }
    return escaped;
}

// The element an item is written as; empty for what servers supplied,
// which is never written.
QString WrittenElement(const CMyItem* record) {
    switch (record != nullptr ? record->ItemType : 0) {
        case kKindRoot:
            return QStringLiteral("root");
        case kKindFolder:
            return QStringLiteral("folder");
        case kKindSystem:
            return QStringLiteral("system");
        default:
            return {};
    }
}

QChar WrittenServerType(QChar type) {
    const bool printable = type.unicode() > 0x20 && type.unicode() < 0x7F;
    return printable ? type : QChar(CServerConnection::kServerTypeUnknown);
}

// Runs the work on the UI thread and waits for it, through the application's
// UI bridge so that a worker is refused, not stuck, once the program closes.
bool OnUiThread(const std::function<void()>& work) {
    return RunOnUiThread(
        u"CMyTree::AddItemsFromURL",
        [&work] {
            work();
            return qintptr{0};
        },
        nullptr);
}

}  // namespace

int CMyTree::XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                               const XmlElementStack& stack) {
    const int handled = CExpatMyWire::XMLHandleStartTag(name, attributes, parent, stack);
    if (handled != 0 || progressCancelled()) {
        return handled;
    }
    if (!m_dropID.isEmpty() && name == u"item") {
        ++m_dropCount;
    }
    // A reply read into a scratch item lets nothing run meanwhile: the
    // parent it stands for must stay as it is until the reply is in.
    if (m_mainTree && m_scratch == nullptr) {
        WireServices().PumpMessages();
    }
    QTreeWidgetItem* const previousParent = m_currentParent;
    if (name == u"root") {
        const QString label = Attribute(attributes, QStringLiteral("label"));
        if (!label.isEmpty()) {
            m_currentParent = AddRootItem(label);
        }
    } else if (name == u"system") {
        OpenSystem(attributes);
    } else if (name == u"baseattributes") {
        const bool underServer =
            m_currentParent != RootLevel() && IsUnderKind(m_currentParent, kKindSystem);
        m_baseAttributes = ParseItemAttributes(name, attributes, underServer);
    } else if (IsItemElement(name)) {
        OpenItem(name, attributes);
    }
    if (IsNestingElement(name)) {
        m_openElements.push_back({m_currentParent != previousParent, previousParent});
    }
    return 1;
}

void CMyTree::OpenSystem(const KPROPS& attributes) {
    const QString label = Attribute(attributes, QStringLiteral("label"));
    if (label.isEmpty()) {
        ShowMissingLabel(QStringLiteral("system"));
        return;
    }
    CServerConnection session;
    const QString type = Attribute(attributes, QStringLiteral("server-type"));
    session.ServerType = type.isEmpty() ? QChar(0) : type.front();
    session.Host = Attribute(attributes, QStringLiteral("hostname"));
    if (session.Host.isEmpty()) {
        session.Host = label;
    }
    const int port = XmlDecimal(Attribute(attributes, QStringLiteral("web-port")));
    session.WebPort = port >= 1 && port <= 65535 ? port : CServerConnection::kDefaultWebPort;
    session.User = Attribute(attributes, QStringLiteral("username"));
    session.Password = Attribute(attributes, QStringLiteral("password"));
    session.Protocol = Attribute(attributes, QStringLiteral("protocol"));
    if (session.Protocol.isEmpty()) {
        session.Protocol = QStringLiteral("http");
    }
    QTreeWidgetItem* item = AddSystemItem(m_currentParent, label, session, nullptr);
    if (CMyItem* record = CTreeNode::RecordOf(item)) {
        record->SetDragType(QStringLiteral("system"));
        m_currentParent = item;
    }
}

void CMyTree::OpenItem(const QString& name, const KPROPS& attributes) {
    if (Attribute(attributes, QStringLiteral("label")).isEmpty()) {
        ShowMissingLabel(name);
        return;
    }
    const bool underServer =
        m_currentParent != RootLevel() && IsUnderKind(m_currentParent, kKindSystem);
    std::unique_ptr<CMyItem> record = ParseItemAttributes(name, attributes, underServer);
    if (m_baseAttributes != nullptr) {
        record = MergeBaseAttributes(*m_baseAttributes, *record);
    }
    QTreeWidgetItem* const oldParent = m_currentParent;
    if (!record->SmartDelim.isEmpty()) {
        m_currentParent = AddSmartTreeItem(oldParent, *record);
        // Items grouped by a list keep their own order of folders.
        const CMyItem* oldRecord = CTreeNode::RecordOf(standsFor(oldParent));
        if (oldParent != nullptr && oldParent->childCount() > 0 &&
            (oldRecord == nullptr || oldRecord->ID != u"ByGroupList")) {
            m_currentParent = oldParent->child(0);
        }
    } else if (record->ItemType == kKindDirectory) {
        m_currentParent = OpenDirectoryEntry(std::move(record));
    } else {
        m_currentParent = InsertItem(oldParent, nullptr, std::move(record));
    }
}

QTreeWidgetItem* CMyTree::OpenDirectoryEntry(std::unique_ptr<CMyItem> record) {
    // Only directories are shown in the tree; files are listed by the grid.
    if ((record->File.Mode & FileEntry::kDirectoryMode) == 0) {
        return m_currentParent;
    }
    record->PanelParts = kPanelGrid;
    if (FindChildByLabel(record->GetLabel(), m_currentParent) != nullptr) {
        return m_currentParent;
    }
    return InsertItem(m_currentParent, nullptr, std::move(record));
}

int CMyTree::XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                             const QString& parent, const XmlElementStack& stack) {
    const int handled = CExpatMyWire::XMLHandleEndTag(name, text, attributes, parent, stack);
    if (name == u"tree") {
        m_baseAttributes.reset();
    }
    if (handled != 0 || !IsNestingElement(name) || m_openElements.empty()) {
        return handled;
    }
    const OpenElement opened = m_openElements.back();
    m_openElements.pop_back();
    if (progressCancelled()) {
        kDebugLog(u"XmlCloseTag(): pbar cancelled, ignoring: </%s>\n", name);
        return 0;
    }
    if (!opened.moved) {
        return 1;
    }
    const CMyItem* closed = CTreeNode::RecordOf(m_currentParent);
    m_currentParent = opened.previousParent;
    if (closed != nullptr && XmlDecimal(closed->Attributes.GetValue(QStringLiteral("sort"))) != 0) {
        SortChildren(m_currentParent);
    }
    return 1;
}

bool CMyTree::beginParse(const QString& xml, QTreeWidgetItem* target) {
    m_currentParent = target;
    m_openElements.clear();
    const QString text = xml.trimmed();
    const CMyItem* parentRecord = CTreeNode::RecordOf(standsFor(target));
    const quint32 address = parentRecord != nullptr ? parentRecord->GetItemId() : 0;
    if (kDebugLevel(0) > 1) {
        constexpr int kShownLines = 20;
        kDebugLog(u"Before calling ProcessXML() for tree at address: 0x%08x (show %d lines)",
                  address, kShownLines);
        kDebugLog(u"%s", text.section(u'\n', 0, kShownLines - 1));
        kDebugLog(u"About to ProcessXML() for tree at address: 0x%08x", address);
    }
    if (BeginPieces(text)) {
        return true;
    }
    endParse(Pieces::Rejected);
    return false;
}

bool CMyTree::endParse(Pieces read) {
    if (kDebugLevel(0) > 1) {
        kDebugLog(u"We're back from ProcessXML()");
    }
    m_baseAttributes.reset();
    m_openElements.clear();
    m_currentParent = nullptr;
    return read == Pieces::Read;
}

bool CMyTree::parseInto(const QString& xml, QTreeWidgetItem* target) {
    return beginParse(xml, target) && endParse(ReadRest());
}

int CMyTree::AddItemsFromXML(const QString& xml, QTreeWidgetItem* parent) {
    finishSlices();
    if (m_building) {
        kDebugLog(u"CMyTree::AddItemsFromXML(): tree is already being built.\n");
        return 0;
    }
    if (m_tree == nullptr) {
        return 0;
    }
    m_building = true;
    kDebugLog(u"Tree: adding items from XML...\n");
    parent = parent != nullptr ? parent : RootLevel();
    // The children stay aside until the text is read whole: a cut or
    // malformed reply puts them back instead of what it brought.
    const QList<QTreeWidgetItem*> previousChildren = detachChildren(parent);
    const bool parsed = parseInto(xml, parent);
    if (parsed) {
        qDeleteAll(previousChildren);
        DeleteEmptyFolders(parent);
    } else {
        qDeleteAll(parent->takeChildren());
        parent->addChildren(previousChildren);
    }
    m_building = false;
    return parsed ? 1 : 0;
}

int CMyTree::AddItemsFromXMLInSlices(const QString& xml, QTreeWidgetItem* parent,
                                     SlicesDone done) {
    finishSlices();
    parent = parent != nullptr ? parent : RootLevel();
    const CMyItem* parentRecord = CTreeNode::RecordOf(parent);
    if (m_building || m_tree == nullptr || parentRecord == nullptr) {
        // The root level has no id to find it by between turns: read at once.
        const int added = AddItemsFromXML(xml, parent);
        if (done) {
            done(parent, added != 0);
        }
        return added;
    }
    m_building = true;
    kDebugLog(u"Tree: adding items from XML...\n");
    // The parent keeps its children until the text is read whole, so a cut
    // or malformed reply leaves them as they were.
    m_scratch = std::make_unique<QTreeWidgetItem>();
    m_scratchFor = parent;
    m_slices.parentId = parentRecord->GetItemId();
    m_slices.done = std::move(done);
    if (m_sliceTimer == nullptr) {
        m_sliceTimer = std::make_unique<QTimer>();
        m_sliceTimer->setSingleShot(true);
        m_sliceTimer->setInterval(0);
        QObject::connect(m_sliceTimer.get(), &QTimer::timeout, [this] { nextTurn(false); });
    }
    if (!beginParse(xml, m_scratch.get())) {
        endSlices(parent, false);
        return 0;
    }
    nextTurn(false);
    return 1;
}

void CMyTree::nextTurn(bool atOnce) {
    // A message box in the reply runs events: a reply that comes meanwhile
    // waits for this one instead of reading on from inside its piece.
    if (m_readingPiece) {
        return;
    }
    QElapsedTimer turn;
    turn.start();
    if (m_scratch != nullptr && !readNextPieces(turn, atOnce)) {
        return;
    }
    QTreeWidgetItem* parent = FindItemById(m_slices.parentId);
    const qsizetype count = m_slices.items.size();
    do {
        const qsizetype end = parent == nullptr || atOnce
                                  ? count
                                  : std::min<qsizetype>(m_slices.next + kSliceItems, count);
        const QList<QTreeWidgetItem*> slice =
            m_slices.items.sliced(m_slices.next, end - m_slices.next);
        m_slices.next = end;
        if (parent == nullptr) {
            qDeleteAll(slice);
        } else {
            parent->addChildren(slice);
            for (QTreeWidgetItem* item : slice) {
                applyExpansionBelow(item);
            }
        }
    } while (m_slices.next < count && turnGoesOn(turn));
    if (m_slices.next < count) {
        m_sliceTimer->start();
        return;
    }
    if (parent != nullptr && DeleteEmptyFolders(parent) != 0) {
        parent = nullptr;
    }
    endSlices(parent, true);
}

bool CMyTree::turnGoesOn(const QElapsedTimer& turn) const {
    return turn.nsecsElapsed() < std::chrono::nanoseconds(m_turnTime).count();
}

bool CMyTree::readNextPieces(const QElapsedTimer& turn, bool atOnce) {
    Pieces read = Pieces::Rejected;
    QTreeWidgetItem* parent = nullptr;
    do {
        // What the reply makes depends on the parent it stands for, which
        // the user may have deleted since the last piece: a message box in
        // a piece runs events.
        parent = FindItemById(m_slices.parentId);
        m_scratchFor = parent;
        if (parent == nullptr) {
            read = Pieces::Rejected;
            break;
        }
        const QScopedValueRollback reading(m_readingPiece, true);
        read = atOnce ? ReadRest() : ReadPiece(kPieceCharacters);
    } while (read == Pieces::Reading && turnGoesOn(turn));
    if (read == Pieces::Reading) {
        m_sliceTimer->start();
        return false;
    }
    if (IsReadingPieces()) {
        AbandonPieces();
    }
    endParse(read);
    const std::unique_ptr<QTreeWidgetItem> scratch = std::move(m_scratch);
    m_scratchFor = nullptr;
    parent = FindItemById(m_slices.parentId);
    if (read != Pieces::Read || parent == nullptr) {
        endSlices(parent, false);
        return false;
    }
    qDeleteAll(detachChildren(parent));
    m_slices.items = scratch->takeChildren();
    m_slices.next = 0;
    return true;
}

void CMyTree::endSlices(QTreeWidgetItem* parent, bool added) {
    m_sliceTimer->stop();
    m_scratch.reset();
    m_scratchFor = nullptr;
    SlicesDone done = std::move(m_slices.done);
    m_slices = {};
    m_building = false;
    if (done) {
        done(parent, added);
    }
}

// Only items in the control can be expanded: a reply's items are once their
// slice is in.
void CMyTree::applyExpansionBelow(QTreeWidgetItem* item) {
    ApplyExpansion(item);
    for (int i = 0; i < item->childCount(); ++i) {
        applyExpansionBelow(item->child(i));
    }
}

void CMyTree::finishSlices() {
    if (m_scratch != nullptr || m_slices.next < m_slices.items.size()) {
        nextTurn(true);
    }
}

int CMyTree::AddItemsFromURL(const QString& url, QTreeWidgetItem* parent, bool quiet) {
    const CWireBusy busy;
    const bool uiThread = onUiThread();
    // The control and its items are only looked at on the UI thread.
    bool attached = false;
    std::unique_ptr<CServerConnection> session;
    quint32 parentId = 0;
    if (!OnUiThread([&] {
            attached = m_tree != nullptr;
            const CServerConnection* system = parent != nullptr ? GetSystem(parent) : nullptr;
            session = system != nullptr ? system->Clone() : nullptr;
            const CMyItem* record = CTreeNode::RecordOf(parent);
            parentId = record != nullptr ? record->GetItemId() : 0;
        }) ||
        !attached) {
        return 0;
    }
    // The UI thread goes on while the text is read: the parent item may be
    // gone by then, so it is found again by its id.
    const auto fillParent = [&](const QString& xml, bool fromServer) {
        int result = 0;
        OnUiThread([&] {
            QTreeWidgetItem* target = parentId != 0 ? FindItemById(parentId) : parent;
            if (parentId != 0 && target == nullptr) {
                kDebugLog(u"AddItemsFromURL(): the item for %s is gone\n", url);
                return;
            }
            result = AddItemsFromXML(xml, target);
            if (result != 0 && fromServer && (target == nullptr || target == RootLevel())) {
                ClearModified();
            }
        });
        return result;
    };
    const auto fail = [&](const QString& message) {
        if (!quiet) {
            WireServices().PopupMessage(message, kPopupError);
        }
        return 0;
    };

    // A local file: a file URL, or a path where no server is there to ask.
    const bool fileUrl = url.startsWith(u"file:", Qt::CaseInsensitive);
    if (fileUrl || (session == nullptr && IsLocalPath(url))) {
        const QString path = fileUrl ? QUrl(url).toLocalFile() : url;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return fail(kFormat(u"Could not read file: %s", path));
        }
        return fillParent(QString::fromUtf8(file.readAll()), false);
    }

    if (uiThread) {
        // The reply comes back through the tree pipe and is read into the
        // selected item by the main frame, which alone can send it.
        if (m_host == nullptr) {
            kDebugLog(u"AddItemsFromURL(): no main window to fetch %s for\n", url);
            return 0;
        }
        QString requestUrl = url;
        QString user;
        QString password;
        if (session != nullptr) {
            requestUrl = session->AbsoluteURL(url);
            user = session->User;
            password = session->Password;
        }
        if (m_host->SendTreeRequest(m_requesterId, requestUrl, user, password, parentId) == 0) {
            // A refused request may be the server's 401: the server of the
            // item asked for is the one that lost its login.
            m_host->LogoutIfUnauthorized(*this, FindItemById(parentId));
            return 0;
        }
        return 1;
    }

    const QString failure = kFormat(u"AddItemsFromURL(): URL: %s", url);
    if (session == nullptr) {
        kDebugLog(u"AddItemsFromURL(): no server to fetch %s from\n", url);
        return fail(failure);
    }
    OnUiThread([&] { SetCountItem(m_host != nullptr ? m_host->PaneCurrentItem() : nullptr); });
    QString reply;
    QString errorText;
    if (!session->FetchDocument(url, reply, errorText)) {
        kDebugLog(u"AddItemsFromURL(): %s\n", errorText);
        return fail(failure);
    }
    const int result = fillParent(reply, true);
    return result != 0 ? result : fail(failure);
}

int CMyTree::ReplaceFromXML(const QString& xml) {
    if (m_tree == nullptr || m_building) {
        return 0;
    }
    m_parseError.clear();
    QTreeWidget scratchControl;
    CMyTree scratch;
    scratch.AttachTreeCtrl(&scratchControl);
    // The program's own tree lets events run while a large World View is
    // read; meanwhile it counts as being built, so no other text is read
    // into it.
    scratch.SetMainTree(m_mainTree);
    m_building = true;
    const int read = scratch.AddItemsFromXML(xml, scratch.RootLevel());
    m_building = false;
    if (read == 0) {
        m_parseError = scratch.GetParseError();
        kWarningLog(u"World View not read: %s", m_parseError);
        return 0;
    }
    // Saving writes back the whole top level, so it may hold only what is written.
    for (int i = 0; i < scratchControl.topLevelItemCount(); ++i) {
        const CMyItem* record = CTreeNode::RecordOf(scratchControl.topLevelItem(i));
        if (WrittenElement(record).isEmpty()) {
            m_parseError = kFormat(u"\"%s\" at the top of the tree is not a root, folder or server",
                                   record != nullptr ? record->GetLabel() : QString());
            kWarningLog(u"World View not read: %s", m_parseError);
            return 0;
        }
    }
    m_tree->clear();
    m_lastSelectionId = 0;
    m_countItemId = 0;
    while (scratchControl.topLevelItemCount() > 0) {
        m_tree->addTopLevelItem(scratchControl.takeTopLevelItem(0));
    }
    for (QTreeWidgetItemIterator it(m_tree); *it != nullptr; ++it) {
        ApplyExpansion(*it);
    }
    ClearModified();
    return 1;
}

void CMyTree::WriteXML(QString& out, int depth, QTreeWidgetItem* item) const {
    if (item == nullptr) {
        if (GetRootItem() == nullptr) {
            out += u"<tree/>\n";
            return;
        }
        out += u"<tree>\n";
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
            WriteXML(out, depth + 1, m_tree->topLevelItem(i));
        }
        out += u"</tree>\n";
        return;
    }
    const CMyItem* record = CTreeNode::RecordOf(item);
    const QString element = WrittenElement(record);
    if (element.isEmpty()) {
        return;
    }
    const int width = 2 * depth;
    kDebugLog(u"%*.*s[-] %s\n", width, width, u"", record->GetLabel());
    const QString indent(width, u' ');
    out += kFormat(u"%s<%s label='%s'", indent, element, AttributeText(record->GetLabel()));
    if (const CServerConnection* system = ConnectionOf(record)) {
        out += kFormat(u" server-type='%s' hostname='%s' web-port='%u' protocol='%s'",
                       AttributeText(QString(WrittenServerType(system->ServerType))),
                       AttributeText(system->Host), static_cast<unsigned>(system->WebPort),
                       AttributeText(system->Protocol));
    }
    out += u">\n";
    if (record->ItemType != kKindSystem) {
        for (int i = 0; i < item->childCount(); ++i) {
            WriteXML(out, depth + 1, item->child(i));
        }
    }
    out += kFormat(u"%s</%s>\n", indent, element);
}
