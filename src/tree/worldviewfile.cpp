#include "tree/worldviewfile.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/kmachine.h"
#include "net/mywire.h"
#include "platform/paths.h"
#include "settings/preferences.h"
#include "settings/urltext.h"
#include "settings/wholefile.h"
#include "tree/mytree.h"
#include "tree/treetexts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

constexpr QStringView kCurrentKey = u"ZWV";
constexpr QStringView kRecentPrefix = u"ZWV:";
constexpr unsigned kBrowseEntryString = 411;

const QString kDeclaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");

bool IsWorldViewText(const QString& text) {
    return text.contains(u"<tree>") && text.contains(u"</tree>");
}

QString LocalPathOf(const QString& address) {
    return address.startsWith(u"file:", Qt::CaseInsensitive) ? QUrl(address).toLocalFile()
                                                             : address;
}

bool IsLocalAddress(const QString& address) {
    return !address.isEmpty() &&
           (IsLocalPath(address) || address.startsWith(u"file:", Qt::CaseInsensitive));
}

// Local paths are compared with case (Linux file names are), URLs without.
bool SameAddress(const QString& first, const QString& second) {
    const Qt::CaseSensitivity sensitivity =
        IsLocalAddress(first) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return first.compare(second, sensitivity) == 0;
}

}  // namespace

CWorldViewFile::CWorldViewFile(CPreferences& preferences, CMyTree& tree)
    : m_preferences(preferences), m_tree(tree) {}

void CWorldViewFile::SetSite(CWorldViewSite* site) {
    m_site = site;
}

CWorldViewSite& CWorldViewFile::site() const {
    if (m_site == nullptr) {
        qFatal("CWorldViewFile: no CWorldViewSite installed");
    }
    return *m_site;
}

QString CWorldViewFile::AddressOf(const QString& stored) {
    return stored.section(u'|', 0, 0);
}

bool CWorldViewFile::readAddress(const QString& address, QString& content) {
    if (IsLocalAddress(address)) {
        const QString path = LocalPathOf(address);
        if (ReadEntireUTF8File(path, content) == 0) {
            m_errorText = kFormat(u"Could not read file: %s", path);
            return false;
        }
        return true;
    }
    if (!IsURL(address)) {
        kDebugLog(u"Bogus URL for WorldView: %s\n", address);
        m_errorText = kFormat(u"Bogus URL for WorldView: %s", address);
        return false;
    }
    QString user;
    QString password;
    m_preferences.GetCredentials(address, user, password);
    if (user.isEmpty() && address.startsWith(u"ftp:", Qt::CaseInsensitive)) {
        user = QStringLiteral("anonymous");
        password = kAnonymousPassword.toString();
    }
    CMyWire wire;
    if (!wire.CaptureDocument(address, user, password, content, false)) {
        m_errorText = kFormat(u"Could not read World View: %s\n%s", address, wire.GetErrorText());
        return false;
    }
    return true;
}

int CWorldViewFile::LoadWorldView(const QString& stored) {
    m_errorText.clear();
    const QString address = AddressOf(stored);
    QString content;
    if (!readAddress(address, content)) {
        kWarningLog(u"%s", m_errorText);
        return 0;
    }
    if (!IsWorldViewText(content)) {
        m_errorText = kFormat(u"Not a World View: %s", address);
    } else if (m_tree.ReplaceFromXML(content) == 0) {
        m_errorText =
            kFormat(u"Could not read World View: %s\n%s", address, m_tree.GetParseError());
    }
    if (!m_errorText.isEmpty()) {
        kWarningLog(u"%s", m_errorText);
        return 0;
    }
    return 1;
}

QString CWorldViewFile::savePath() const {
    const QString current = AddressOf(m_preferences.GetString(kCurrentKey.toString()));
    return IsLocalAddress(current) ? LocalPathOf(current) : CPreferences::GetDefaultWorldViewPath();
}

int CWorldViewFile::SaveWorldView(bool ask) {
    m_errorText.clear();
    QString path = savePath();
    if ((ask || site().IsNewWorldViewUnsaved()) && !site().PromptForSavePath(path)) {
        return 0;
    }
    if (!writeTree(path)) {
        m_errorText = kFormat(u"Could not save changes to World View:\r\n    %s", path);
        site().WarningBox(m_errorText);
        return 0;
    }
    m_preferences.SetCurrentWorldView(path, std::nullopt, std::nullopt);
    m_preferences.SetDirty();
    m_preferences.SavePrefs(0);
    m_tree.ClearModified();
    site().ClearNewWorldViewUnsaved();
    return 1;
}

bool CWorldViewFile::writeTree(const QString& path) const {
    // A tree without its root would be written as a file that no load accepts.
    if (m_tree.GetRootItem() == nullptr) {
        return false;
    }
    QString text = kDeclaration;
    m_tree.WriteXML(text, 0, nullptr);
    return WriteEntireFile(path, text) != 0;
}

QString CWorldViewFile::RecoveryPath() const {
    const QFileInfo worldView(savePath());
    return worldView.dir().filePath(worldView.completeBaseName() +
                                    QStringLiteral("-recovered.zwv"));
}

int CWorldViewFile::KeepChangesForRecovery() {
    if (!m_tree.IsModified()) {
        return 0;
    }
    const QString path = RecoveryPath();
    if (!writeTree(path)) {
        kWarningLog(u"Unsaved World View changes lost: could not write %s\n", path);
        return 0;
    }
    kWarningLog(u"Unsaved World View changes kept in %s\n", path);
    return 1;
}

int CWorldViewFile::RestoreWorldView() {
    site().SetRestoring(true);
    int loaded = LoadWorldView(m_preferences.GetString(kCurrentKey.toString()));
    const KPROPS& settings = m_preferences.Settings();
    for (int i = 0; loaded == 0 && i < settings.Count(); ++i) {
        const KPROP* entry = settings.At(i);
        if (entry->name.startsWith(kRecentPrefix) && LoadWorldView(entry->value) != 0) {
            loaded = 1;
            m_preferences.SetString(kCurrentKey.toString(), entry->value);
        }
    }
    if (loaded != 0) {
        settleLoadedWorldView();
    }
    site().PumpMessages();
    site().SetRestoring(false);
    return loaded;
}

int CWorldViewFile::OpenWorldView(const QString& address) {
    site().SetRestoring(true);
    const int loaded = LoadWorldView(address);
    if (loaded != 0) {
        m_preferences.SetCurrentWorldView(address, std::nullopt, std::nullopt);
        settleLoadedWorldView();
    }
    site().PumpMessages();
    site().SetRestoring(false);
    if (loaded == 0) {
        site().WarningBox(m_errorText);
    }
    return loaded;
}

void CWorldViewFile::settleLoadedWorldView() {
    // Selecting the server or the root below records that item's locator as
    // the current one: the last session's must be read before.
    const QString curl = m_preferences.GetString(QStringLiteral("CurrentCurl"));
    site().PumpMessages();
    const QString server = m_preferences.GetString(QStringLiteral("CurrentServer"));
    const qsizetype colon = server.lastIndexOf(u':');
    const QString host = colon < 0 ? server : server.left(colon);
    const int port = colon < 0 ? 0 : server.mid(colon + 1).toInt();
    QTreeWidgetItem* item =
        server.isEmpty() ? nullptr : m_tree.FindSystemByHost(host, port, nullptr);
    if (item == nullptr) {
        item = m_tree.GetRootItem();
    }
    m_tree.SelectItem(item, true);
    if (m_preferences.GetInt(QStringLiteral("AutoLogin"), 0) != 0) {
        site().PumpMessages();
        const CMyItem* selected = m_tree.GetMyItem(nullptr);
        if (selected != nullptr && selected->ItemType == kKindSystem) {
            site().AutoLogin(m_tree, m_tree.GetSelectedItem());
        }
    }
    if (!curl.isEmpty()) {
        site().SetRestoring(false);
        site().DispatchCurl(curl);
        site().SetRestoring(true);
    }
}

int CWorldViewFile::AskToSaveChanges() {
    if (m_tree.IsModified() &&
        site().AskYesNo(QStringLiteral("You are exiting Quillet without saving your World View "
                                       "changes.\r\n\r\nDo you want to save your changes?"))) {
        return SaveWorldView(false);
    }
    return 0;
}

int CWorldViewFile::SaveOnExit() {
    AskToSaveChanges();
    site().SaveColumnPrefs();
    m_preferences.SavePrefs(0);
    return 1;
}

int CWorldViewFile::FillWorldViewCombo(QComboBox& combo) {
    const QString current = AddressOf(m_preferences.GetString(kCurrentKey.toString()));
    combo.clear();
    int added = 0;
    bool selected = false;
    const KPROPS& settings = m_preferences.Settings();
    for (int i = 0; i < settings.Count(); ++i) {
        const KPROP* entry = settings.At(i);
        if (!entry->name.startsWith(kRecentPrefix, Qt::CaseInsensitive)) {
            continue;
        }
        const QString address = entry->name.mid(kRecentPrefix.size());
        if (address.isEmpty() ||
            (IsLocalAddress(address) && kFileExists(LocalPathOf(address)) == 0)) {
            continue;
        }
        combo.addItem(address);
        ++added;
        if (!selected && SameAddress(address, current)) {
            combo.setCurrentIndex(combo.count() - 1);
            selected = true;
        }
    }
    if (!selected && !current.isEmpty()) {
        combo.addItem(current);
        combo.setCurrentIndex(combo.count() - 1);
    }
    combo.addItem(TranslatedResourceString(kBrowseEntryString));
    return added;
}
