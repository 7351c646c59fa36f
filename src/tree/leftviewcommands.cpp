// The World View pane's commands: new servers and folders, rename, delete,
// log in and out, refresh, a new instance, and the server's file objects.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/ktext.h"
#include "net/wireservices.h"
#include "platform/detachedprogram.h"
#include "tree/contextmenu.h"
#include "tree/debugtreeitem.h"
#include "tree/leftview.h"
#include "tree/leftviewhost.h"
#include "tree/mytree.h"
#include "tree/treenode.h"
#include "tree/treetexts.h"
#include "ui/busycursor.h"
#include "ui/popupmessages.h"

#include <QApplication>
#include <QUrl>

namespace {

constexpr int kMaxFields = 6;
constexpr int kHttpsPort = 443;

// The content of a new text file on the server.
constexpr QStringView kNewFileContent = u"Test message\nTest message!";

// A value of a services query: percent-encoded so that "&", "=" and "+"
// in a name never add parameters; "/" stays a path separator. Control
// characters cannot be part of a name: false, and nothing is encoded.
bool EncodeObjectPath(const QString& path, QString& encoded) {
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            return false;
        }
    }
    encoded = QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
    return true;
}

int messageBox(const QString& text, int type) {
    return WireServices().PopupMessage(text, type);
}

// The application's pump: it lets nothing run while the program starts or
// ends, so a close that arrives meanwhile never runs inside a command.
void pumpMessages() {
    WireServices().PumpMessages();
}

}  // namespace

bool CLeftView::IsCommandEnabled(int commandId) {
    QTreeWidgetItem* item = commandItem(nullptr);
    const CMyItem* record = recordOf(item);
    const int kind = record != nullptr ? record->ItemType : 0;
    const CServerConnection* system = ConnectionOf(record);
    switch (commandId) {
        case kLogIn:
            return system != nullptr && !system->LoggedIn;
        case kLogOut:
            return system != nullptr && system->LoggedIn;
        case kRenameServer:
        case kRenameFolder:
        case kRenameKey:
            return canRename(item);
        case kDeleteServer:
            return kind == kKindSystem;
        case kDeleteFolder:
            return kind == kKindFolder;
        case kOpenObject:
        case kCreateFolderObject:
        case kCreateFileObject:
        case kDeleteObjects:
        case kCopyObject:
        case kObjectProperties:
            return kind == kKindDirectory;
        default:
            return true;
    }
}

bool CLeftView::OnCommand(int commandId) {
    if (commandId >= kFirstXmlCommand && commandId <= kLastXmlCommand) {
        QTreeWidgetItem* target = GetTargetItem();
        if (target != nullptr && (target != m_tree.GetLastSelection() || m_menuSelected)) {
            kDebugLog(
                u">> we need to force the item under the RMC menu to be selected in order "
                u"to handle a custom command!\n");
            m_tree.SelectItem(target, false);
            m_menuSelected = false;
        }
        if (m_host.IsAppUp() && isVisible() && !m_host.OnAbortedThread()) {
            RunItemMenuCommand(commandId);
        }
        return true;
    }
    switch (commandId) {
        case kNewServer:
        case kNewServerPopup:
        case kNewFolder:
        case kNewFolderPopup:
        case kNewWindow:
        case kRefresh:
        case kRefreshPopup:
        case kHelp:
        case kDebug:
        case kLogIn:
        case kLogOut:
        case kRenameServer:
        case kRenameFolder:
        case kRenameKey:
        case kDeleteServer:
        case kDeleteFolder:
        case kOpenObject:
        case kCreateFolderObject:
        case kCreateFileObject:
        case kDeleteObjects:
        case kCopyObject:
        case kObjectProperties:
            break;
        case kEditCopy:
            m_dragDrop.Copy(commandItem(nullptr));
            return true;
        case kEditCut:
            m_dragDrop.Cut(commandItem(nullptr));
            return true;
        case kEditPaste:
            m_dragDrop.Paste(commandItem(nullptr));
            return true;
        default:
            return false;
    }
    if (!IsCommandEnabled(commandId)) {
        kDebugLog(u"CLeftView: command %d does not apply to the item\n", commandId);
        return true;
    }
    switch (commandId) {
        case kNewServer:
        case kNewServerPopup:
            NewServer(nullptr, {});
            break;
        case kNewFolder:
        case kNewFolderPopup:
            NewFolder(nullptr, {});
            break;
        case kNewWindow:
            OpenNewInstance();
            break;
        case kRefresh:
        case kRefreshPopup:
            RefreshItem(nullptr);
            break;
        case kHelp:
            m_host.LaunchHelp(IsInfoTipShown() || m_menuTracked ? GetHelpURL(nullptr) : QString());
            ClearMenuHelpFlag();
            break;
        case kDebug: {
            CDebugTreeItem debugger(m_tree, commandItem(nullptr), *this, this);
            debugger.exec();
            break;
        }
        case kLogIn:
            LogIn();
            break;
        case kLogOut:
            LogOut((QApplication::keyboardModifiers() &
                    (Qt::ControlModifier | Qt::ShiftModifier)) != 0);
            break;
        case kRenameServer:
        case kRenameFolder:
        case kRenameKey:
            RenameItem(nullptr);
            break;
        case kDeleteServer:
            DeleteServer(nullptr);
            break;
        case kDeleteFolder:
            DeleteFolder(nullptr);
            break;
        case kOpenObject:
            OpenObject();
            break;
        case kCreateFolderObject:
            CreateFolderObject();
            break;
        case kCreateFileObject:
            CreateFileObject();
            break;
        case kDeleteObjects:
            DeleteObjects();
            break;
        case kCopyObject:
            CopyObject();
            break;
        default:
            ObjectProperties();
            break;
    }
    return true;
}

// ---- new, rename, delete ----

bool CLeftView::placeNewItem(QTreeWidgetItem* target, QTreeWidgetItem*& parent,
                             QTreeWidgetItem*& after) const {
    const CMyItem* record = recordOf(target);
    switch (record != nullptr ? record->ItemType : 0) {
        case kKindFolder:
        case kKindRoot:
            parent = target;
            after = m_tree.RootLevel();
            return true;
        case kKindSystem:
            parent = target->parent();
            after = target;
            return true;
        default:
            return false;
    }
}

void CLeftView::NewServer(QTreeWidgetItem* item, const QString& descriptor) {
    pumpMessages();
    const QString defaultName = LookupText(QStringLiteral("New Server"));
    QStringList fields;
    kParseDelimedList(descriptor.isEmpty() ? defaultName : descriptor, fields, kMaxFields, u'/',
                      true);
    const auto field = [&fields](int index) {
        return index < fields.size() ? fields.at(index).trimmed() : QString();
    };
    std::unique_ptr<CServerConnection> session = NewServerConnection();
    const QString name = field(0).isEmpty() ? defaultName : field(0);
    session->Protocol = field(1).isEmpty() ? QStringLiteral("http") : field(1);
    session->Host = field(2);
    // Only the exact lower-case scheme means the TLS port.
    session->WebPort =
        !field(3).isEmpty()
            ? field(3).toInt()
            : (session->Protocol == u"https" ? kHttpsPort : CServerConnection::kDefaultWebPort);
    session->User = field(4);
    session->Password = field(5);

    item = commandItem(item);
    const CMyItem* record = recordOf(item);
    if (record == nullptr) {
        item = m_tree.GetRootItem();
        record = recordOf(item);
    }
    QTreeWidgetItem* parent = nullptr;
    QTreeWidgetItem* after = nullptr;
    const int kind = record != nullptr ? record->ItemType : int{kKindRoot};
    if (kind == kKindComponent || kind == kKindDirectory) {
        // Server items make room after their server entry.
        item = m_tree.FindSystemItem(item);
    }
    if (!placeNewItem(item, parent, after)) {
        return;
    }
    QTreeWidgetItem* added = m_tree.AddSystemItem(parent, name, *session, after);
    if (added == nullptr) {
        return;
    }
    m_tree.SelectItem(added, false);
    if (session->Host.isEmpty()) {
        startEdit(added);
    }
    m_tree.SetModified();
    pumpMessages();
}

void CLeftView::NewFolder(QTreeWidgetItem* item, const QString& name) {
    item = commandItem(item);
    const CMyItem* record = recordOf(item);
    if (record == nullptr) {
        return;
    }
    QTreeWidgetItem* parent = nullptr;
    QTreeWidgetItem* after = nullptr;
    if (!placeNewItem(item, parent, after)) {
        return;
    }
    QTreeWidgetItem* added = m_tree.AddFolderItem(
        parent, name.isEmpty() ? LookupText(QStringLiteral("New Folder")) : name, after);
    if (added == nullptr) {
        return;
    }
    item->setExpanded(true);
    m_tree.SelectItem(added, false);
    pumpMessages();
    if (name.isEmpty()) {
        startEdit(added);
    }
}

bool CLeftView::canRename(QTreeWidgetItem* item) const {
    const CMyItem* record = recordOf(item);
    return record != nullptr &&
           (record->ItemType == kKindSystem || record->ItemType == kKindFolder);
}

void CLeftView::RenameItem(QTreeWidgetItem* item) {
    item = commandItem(item);
    if (!canRename(item)) {
        return;
    }
    startEdit(item);
    pumpMessages();
}

void CLeftView::startEdit(QTreeWidgetItem* item) {
    m_editedId = recordOf(item)->GetItemId();
    m_labelBeforeEdit = item->text(0);
    scrollToItem(item);
    editItem(item, 0);
}

void CLeftView::onItemChanged(QTreeWidgetItem* item) {
    CMyItem* record = recordOf(item);
    if (record == nullptr || m_editedId == 0 || record->GetItemId() != m_editedId) {
        return;
    }
    m_editedId = 0;
    QString text = item->text(0);
    kstrncpy(text, QStringView(text), CMyItem::kMaxLabel + 1);
    const bool blank = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u'\t' || c == u'\n' || c == u'\r' || c == u' ';
    });
    if (blank) {
        item->setText(0, m_labelBeforeEdit);
        return;
    }
    item->setText(0, text);
    record->SetLabel(text);
    m_tree.SetModified();
    if (record->ItemType != kKindSystem) {
        m_host.RebuildRHS();
    }
}

void CLeftView::DeleteServer(QTreeWidgetItem* item) {
    item = commandItem(item);
    const CMyItem* record = recordOf(item);
    if (record == nullptr ||
        messageBox(kFormat(u"Are you sure you want to delete server '%s' ?", record->GetLabel()),
                   kPopupYesNo) != kAnswerYes) {
        return;
    }
    m_tree.RemoveItem(item);
    m_tree.SetModified();
}

void CLeftView::DeleteFolder(QTreeWidgetItem* item) {
    item = commandItem(item);
    const CMyItem* record = recordOf(item);
    if (record == nullptr) {
        return;
    }
    const QString question =
        m_tree.GetChildCount(item) > 0
            ? kFormat(u"Are you sure you want to delete folder '%s'\r\nand its contents?",
                      record->GetLabel())
            : kFormat(u"Are you sure you want to delete folder '%s'?", record->GetLabel());
    if (messageBox(question, kPopupYesNo) != kAnswerYes) {
        return;
    }
    m_tree.RemoveItem(item);
    m_tree.SetModified();
}

// ---- refresh, log in and out, new instance ----

void CLeftView::RefreshItem(QTreeWidgetItem* item) {
    item = commandItem(item);
    const CBusyCursor busy;
    const CMyItem* record = recordOf(item);
    m_host.RefreshItemKeepSelection(item, record == nullptr || !record->TreeURL.isEmpty());
}

void CLeftView::LogIn() {
    QTreeWidgetItem* item = commandItem(nullptr);
    const CServerConnection* system = ConnectionOf(recordOf(item));
    if (system == nullptr || system->LoggedIn) {
        return;
    }
    if (item != m_tree.GetLastSelection() || !m_host.IsLoginPanelShown()) {
        m_tree.SelectItem(item, false);
    }
    if (m_host.IsLoginPanelShown()) {
        m_host.RunLoginPanelOK();
    }
}

void CLeftView::LogOut(bool again) {
    QTreeWidgetItem* item = commandItem(nullptr);
    CServerConnection* system = ConnectionOf(recordOf(item));
    m_tree.CancelRequests();
    if (system == nullptr || !system->LoggedIn) {
        return;
    }
    const Qt::KeyboardModifiers held = QApplication::keyboardModifiers();
    kDebugLog(u"Modifiers: %s%s\n", (held & Qt::ControlModifier) != 0 ? u"[CTRL]" : u"",
              (held & Qt::ShiftModifier) != 0 ? u"[SHIFT]" : u"");
    if (item != m_tree.GetLastSelection()) {
        m_tree.SelectItem(item, false);
    }
    system->LogoutSession(&m_tree, item);
    if (again) {
        SetTargetItem(item);
        LogIn();
    }
}

void CLeftView::OpenNewInstance() {
    if (m_tree.IsModified()) {
        const int answer = messageBox(
            u"You have made changes to your World View.\r\n\r\nDo you wish these changes to "
            u"appear in the new\r\ninstance of Quillet that you are opening?"_qs,
            kPopupYesNoCancel);
        if (answer == kAnswerCancel) {
            return;
        }
        if (answer == kAnswerYes) {
            m_host.SaveWorldView();
        }
    }
    m_host.SavePreferences();
    const QString program = m_host.ModulePath();
    if (program.isEmpty() || !StartDetachedProgram(program, {})) {
        messageBox(QStringLiteral("Could not start new instance of the application!"), kPopupError);
    }
}

// ---- server file objects ----

void CLeftView::OpenObject() {
    m_tree.FetchAndExpand(commandItem(nullptr));
}

// Server file objects have no properties page: the command says so in the
// console's own words.
void CLeftView::ObjectProperties() {
    messageBox(QStringLiteral("Not implemented yet"), kPopupInformation);
}

void CLeftView::CreateFolderObject() {
    const CMyItem* record = recordOf(commandItem(nullptr));
    QString name;
    if (record == nullptr || !m_host.AskObjectName(true, name)) {
        return;
    }
    QString target;
    if (!EncodeObjectPath(record->FullPath + u'/' + name, target)) {
        showNameError();
        return;
    }
    m_host.PostToServices(QStringLiteral("Action=CreateFolder&Target=") + target +
                          QStringLiteral("&Permissions=srwxrwxrwx"));
}

void CLeftView::CreateFileObject() {
    const CMyItem* record = recordOf(commandItem(nullptr));
    QString name;
    if (record == nullptr || !m_host.AskObjectName(false, name)) {
        return;
    }
    if (!name.endsWith(QStringLiteral(".txt"))) {
        name += QStringLiteral(".txt");
    }
    QString target;
    if (!EncodeObjectPath(record->FullPath + u'/' + name, target)) {
        showNameError();
        return;
    }
    const QString content =
        QString::fromLatin1(QUrl::toPercentEncoding(kNewFileContent.toString()));
    m_host.PostToServices(
        QStringLiteral("Action=CreateFile&Target=") + target +
        QStringLiteral("&Permissions=-rw-rw-r--&Type=text}&Encoding={{??}}&Content=") + content);
}

void CLeftView::DeleteObjects() {
    const CMyItem* record = recordOf(commandItem(nullptr));
    QString object;
    if (record == nullptr) {
        return;
    }
    if (!EncodeObjectPath(record->FullPath + u'/', object)) {
        showNameError();
        return;
    }
    m_host.PostToServices(QStringLiteral("Action=DeleteObjects&ObjectList=|") + object);
}

void CLeftView::CopyObject() {
    const CMyItem* record = recordOf(commandItem(nullptr));
    QString name;
    if (record == nullptr || !m_host.AskObjectName(true, name)) {
        return;
    }
    postCopyObject(record->FullPath, record->FullPath + u'/' + name);
}

void CLeftView::RunActions(const KPROPS& actions, int context) {
    m_host.RunActions(actions, context);
}

QString CLeftView::GridDragType() const {
    return m_host.GridDragType();
}

bool CLeftView::AskToSaveChanges() {
    return m_host.AskToSaveChanges();
}

void CLeftView::DeleteObjects(QTreeWidgetItem* item) {
    // Only server file objects are deleted on the server; a cut folder or
    // server entry stays until the paste or drop moves it.
    const CMyItem* record = recordOf(item);
    if (record != nullptr && record->ItemType == kKindDirectory) {
        SetTargetItem(item);
        DeleteObjects();
    }
}

void CLeftView::PasteObjects(QTreeWidgetItem* target, const ClipboardHeader& header) {
    const CMyItem* source = recordOf(m_tree.FindItemById(header.itemId));
    const CMyItem* folder = recordOf(target);
    if (source == nullptr || folder == nullptr || source->FullPath.isEmpty()) {
        return;
    }
    // The copy keeps the source's name inside the folder pasted onto.
    const QString name = source->FullPath.section(u'/', -1, -1, QString::SectionSkipEmpty);
    postCopyObject(source->FullPath, folder->FullPath + u'/' + name);
}

void CLeftView::postCopyObject(const QString& sourcePath, const QString& targetPath) {
    QString object;
    QString target;
    if (!EncodeObjectPath(sourcePath, object) || !EncodeObjectPath(targetPath, target)) {
        showNameError();
        return;
    }
    m_host.PostToServices(QStringLiteral("Action=CopyObject&Object=") + object +
                          QStringLiteral("&Target=") + target);
}

void CLeftView::showNameError() {
    messageBox(QStringLiteral("Folder name contains not allowed characters."), kPopupError);
}
