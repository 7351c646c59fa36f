#include "settings/preferences.h"

#include "framework/klog.h"
#include "framework/kmachine.h"
#include "platform/paths.h"
#include "settings/credentials.h"
#include "settings/settingsfolder.h"
#include "settings/texttools.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>
#include <array>
#include <climits>

namespace {

// The allowed formats, in the order the options dialog lists them.
constexpr std::array<const char16_t*, 4> kTimeFormats{
    u"%H:%M",
    u"%H:%M:%S",
    u"%I:%M %p",
    u"%I:%M:%S %p",
};
constexpr std::array<const char16_t*, 32> kDateFormats{
    u"%m/%d/%y",
    u"%m/%d/%y %a",
    u"%m/%d/%Y",
    u"%m/%d/%Y %a",
    u"%b %d",
    u"%b %d %y",
    u"%b %d %Y",
    u"%d %b",
    u"%d %b %y",
    u"%d %b %Y",
    u"%b %d (%a)",
    u"%b %d %y (%a)",
    u"%b %d %Y (%a)",
    u"%d %b (%a)",
    u"%d %b %y (%a)",
    u"%d %b %Y (%a)",
    u"%m.%d.%y",
    u"%m.%d.%y %a",
    u"%m.%d.%Y",
    u"%m.%d.%Y %a",
    u"%y-%m-%d",
    u"%y-%m-%d %a",
    u"%Y-%m-%d",
    u"%Y-%m-%d %a",
    u"%Y-%m-%d %a (Week %U)",
    u"%Y-%m-%d %a (Day %j)",
    u"%y.%m.%d",
    u"%y.%m.%d %a",
    u"%Y.%m.%d",
    u"%Y.%m.%d %a",
    u"%Y.%m.%d %a (Week %U)",
    u"%Y.%m.%d %a (Day %j)",
};

struct ColourDefault {
    const char16_t* key;
    quint32 colour;  // 0x00BBGGRR
};
constexpr std::array<ColourDefault, 12> kColourDefaults{{
    {u"RGB_ColHeadBack", 0xC0C0C0},
    {u"RGB_ColHeadFore", 0},
    {u"RGB_GridCellBack", 0xFFFFFF},
    {u"RGB_GridCellFore", 0},
    {u"RGB_DisabledBack", 0xFFFFFF},
    {u"RGB_DisabledFore", 0x796855},
    {u"RGB_HighlightedBack", 0x796855},
    {u"RGB_HighlightedFore", 0xFFFFFF},
    {u"RGB_WarningBack", 0x56ABFB},
    {u"RGB_WarningFore", 0},
    {u"RGB_ErrorBack", 0x5F65EC},
    {u"RGB_ErrorFore", 0xFFFFFF},
}};

// The placement record's values, as the original platform numbers them.
constexpr quint32 kShowNormal = 1;
constexpr quint32 kShowMinimized = 2;
constexpr quint32 kShowMaximized = 3;
constexpr quint32 kRestoreToMaximized = 2;

QString placementKey(const QString& name, QStringView field) {
    return kFormat(u"%s.%s", name, field);
}

}  // namespace

CPreferences::CPreferences() : m_cipherKey(CredentialCipherKey()) {
    m_credentials.SetConfidential(true);
    InitFormatLists();
}

void CPreferences::SetSite(CPreferencesSite* site) {
    m_site = site;
}

void CPreferences::InitFormatLists() {
    m_timeFormats.Clear();
    m_dateFormats.Clear();
    for (const char16_t* format : kTimeFormats) {
        m_timeFormats.Add(QString::fromUtf16(format));
    }
    for (const char16_t* format : kDateFormats) {
        m_dateFormats.Add(QString::fromUtf16(format));
    }
}

QString CPreferences::GetString(const QString& key, const QString& defaultValue) const {
    const int index = m_settings.FindIndex(key, false);
    return index < 0 ? defaultValue : m_settings.GetValueAt(index);
}

int CPreferences::GetInt(const QString& key, int defaultValue) const {
    const int index = m_settings.FindIndex(key, false);
    if (index < 0) {
        return defaultValue;
    }
    return static_cast<int>(
        std::clamp<long long>(kLeadingInteger(m_settings.GetValueAt(index)), INT_MIN, INT_MAX));
}

quint32 CPreferences::GetULong(const QString& key, quint32 defaultValue) const {
    const int index = m_settings.FindIndex(key, false);
    if (index < 0) {
        return defaultValue;
    }
    return static_cast<quint32>(kLeadingInteger(m_settings.GetValueAt(index)));
}

int CPreferences::GetListViewMode() const {
    return GetInt(u"ListViewMode"_qs, 0);
}

int CPreferences::SetString(const QString& key, const QString& text) {
    const int index = m_settings.FindIndex(key, false);
    if (index < 0 || m_settings.GetValueAt(index) != text) {
        kDebugLog(u"Prefs: dirty bit triggered by %s = '%s'\n", key, text);
        m_dirty = 1;
    }
    return m_settings.Add(key, text);
}

int CPreferences::SetInt(const QString& key, int value) {
    return SetString(key, kFormat(u"%d", value));
}

int CPreferences::SetUInt(const QString& key, quint32 value) {
    return SetString(key, kFormat(u"%u", value));
}

int CPreferences::SetLong(const QString& key, qint32 value) {
    return SetString(key, kFormat(u"%ld", value));
}

int CPreferences::SetULong(const QString& key, quint32 value) {
    return SetString(key, kFormat(u"%lu", value));
}

int CPreferences::SetListViewMode(int mode) {
    SetInt(u"ListViewMode"_qs, mode);
    return SavePrefs(0);
}

int CPreferences::SetDateFormatAt(const QString& key, int index) {
    if (index < 0 || index >= m_dateFormats.Count()) {
        return 0;
    }
    return SetString(key, m_dateFormats.GetNameAt(index));
}

int CPreferences::SetTimeFormatAt(const QString& key, int index) {
    if (index < 0 || index >= m_timeFormats.Count()) {
        return 0;
    }
    return SetString(key, m_timeFormats.GetNameAt(index));
}

QString CPreferences::GetIniPath() {
    return PathJoin(Getlocalsettingsdir(), u"Quillex.ini");
}

QString CPreferences::GetDefaultWorldViewPath() {
    return PathJoin(Getlocalsettingsdir(), u"Quillex.zwv");
}

void CPreferences::setHardCodedDefaults() {
    SetInt(u"StoreUsernames"_qs, 1);
    SetInt(u"StorePasswords"_qs, 0);
    SetInt(u"AutoLogin"_qs, 0);
    SetInt(u"SCAuthentication"_qs, 0);
    SetInt(u"ListViewMode"_qs, 1);
    SetString(u"TimeFormat"_qs, u"%I:%M:%S %p"_qs);
    SetString(u"DateFormat"_qs, u"%Y-%m-%d %a"_qs);
    SetInt(u"ShowTooltips"_qs, 1);
    for (const auto& [key, colour] : kColourDefaults) {
        SetULong(QString::fromUtf16(key), colour);
    }
}

int CPreferences::RestorePrefs() {
    kDebugLog(u":: loading preferences...\n");
    setHardCodedDefaults();
    m_settings.DumpToLog(2, u"Immediately after hardcoded inits:"_qs, u">> default: "_qs);
    SetCurrentWorldView(GetDefaultWorldViewPath(), std::nullopt, std::nullopt);
    const QString iniPath = GetIniPath();
    if (kFileExists(iniPath)) {
        kDebugLog(u":: reading '%s'...\n", iniPath);
        if (FileLoad(iniPath) == 0) {
            keepDamagedFile(iniPath);
        }
        m_settings.DumpToLog(2, u"Immediately after FileLoad():"_qs, u"  "_qs);
    }
    restoreCredentials();
    if (m_site != nullptr) {
        kDebugLog(u":: loading built-in language pack...\n");
        m_site->LoadBuiltInLanguagePack();
        const QString languagePack = GetString(u"LanguagePack"_qs);
        if (!languagePack.isEmpty() && kFileExists(languagePack)) {
            kDebugLog(u":: reading '%s'...\n", languagePack);
            m_site->LoadLanguagePack(languagePack);
        }
    }
    m_dirty = 0;
    return 1;
}

int CPreferences::SavePrefs(int force) {
    if (m_dirty == 0 && force == 0) {
        kDebugLog(u"SavePrefs: ignored (dirty bit not set).\n");
        return 1;
    }
    if (m_site != nullptr) {
        if (const QWidget* mainFrame = m_site->MainFrameWindow()) {
            SaveWindowPlacement(u"Main"_qs, *mainFrame);
        }
        if (const std::optional<int> width = m_site->MainSplitterColumnWidth()) {
            SetInt(u"Splitter1"_qs, *width);
        }
    }
    if (m_settings.FindIndex(u"HideRememberLogin"_qs, false) >= 0 &&
        GetInt(u"HideRememberLogin"_qs, 0) != 0) {
        ClearCredentials();
    }
    storeCredentialChunks();
    m_settings.Sort();
    const QString iniPath = GetIniPath();
    if (FileStore(iniPath) == 0) {
        const QString failure = kFormat(u"Failed to save: %s", iniPath);
        if (m_site != nullptr) {
            m_site->WarningBox(failure);
        } else {
            kWarningLog(u"%s", failure);
        }
        return 0;
    }
    m_dirty = 0;
    return 1;
}

int CPreferences::Apply() {
    kDebugLog(u":: applying preferences...\n");
    if (m_site == nullptr) {
        return 1;
    }
    m_site->ApplyListViewMode(GetInt(u"ListViewMode"_qs, 0));
    m_site->RestoreRebarLayout();
    m_site->SetMainSplitterColumn(GetInt(u"Splitter1"_qs, 150), 50);
    return 1;
}

int CPreferences::FileLoad(const QString& path) {
    // The ini file is a KPROPS text file whose values carry their line
    // breaks as "%0d"/"%0a".
    KPROPS file(100, 10);
    const int result = file.FileLoad(path, false);
    for (int i = 0; i < file.Count(); ++i) {
        QString value = file.GetValueAt(i);
        DecodeNewlines(value);
        m_settings.Add(file.GetNameAt(i), value);
    }
    return result;
}

int CPreferences::FileStore(const QString& path) const {
    // A name that cannot be written is left out here, so that the result
    // says whether the file was written.
    KPROPS stored(100, 10);
    for (int i = 0; i < m_settings.Count(); ++i) {
        const QString name = m_settings.GetNameAt(i);
        if (KPROPS::IsStorableName(name)) {
            stored.Add(name, m_settings.GetValueAt(i));
        } else {
            kWarningLog(u"SavePrefs: name '%s' cannot be written to %s; left out", name, path);
        }
    }
    return stored.FileStore(path, false);
}

// The next save rewrites the file with what could be read of it; what could
// not stays in a copy beside it.
void CPreferences::keepDamagedFile(const QString& path) {
    const QString copy = path + QStringLiteral(".bad");
    QFile::remove(copy);
    if (QFile::copy(path, copy)) {
        kWarningLog(u"Preferences: %s is damaged; kept as %s", path, copy);
    } else {
        kWarningLog(u"Preferences: %s is damaged and could not be kept as %s", path, copy);
    }
}

int CPreferences::SetCurrentWorldView(const QString& address, const std::optional<QString>& user,
                                      const std::optional<QString>& password) {
    if (address.isEmpty()) {
        return 0;
    }
    // Linux paths are case-sensitive, so the recent-list key keeps the case.
    // An address the settings file cannot hold as a name (a URL with "=" in
    // its query) stays out of the recent list; stored, it would make every
    // later save report a failure.
    const QString recentKey = kFormat(u"ZWV:%s", address);
    if (KPROPS::IsStorableName(recentKey)) {
        SetString(recentKey, address);
    } else {
        kDebugLog(u"Prefs: '%s' is not kept in the recent World Views\n", address);
    }
    const int result = SetString(u"ZWV"_qs, address);
    SetCredentials(address, user, password);
    return result;
}

void CPreferences::SaveWindowPlacement(const QString& name, const QWidget& window) {
    const Qt::WindowStates state = window.windowState();
    quint32 showCommand = kShowNormal;
    if (state & Qt::WindowMinimized) {
        showCommand = kShowMinimized;
    } else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        showCommand = kShowMaximized;
    }
    const quint32 flags =
        (state & Qt::WindowMinimized) && (state & Qt::WindowMaximized) ? kRestoreToMaximized : 0;
    QRect normal = window.normalGeometry();
    if (!normal.isValid()) {
        normal = window.geometry();
    }
    SetUInt(placementKey(name, u"flags"), flags);
    SetUInt(placementKey(name, u"showCmd"), showCommand);
    SetLong(placementKey(name, u"top"), normal.y());
    SetLong(placementKey(name, u"bottom"), normal.y() + normal.height());
    SetLong(placementKey(name, u"left"), normal.x());
    SetLong(placementKey(name, u"right"), normal.x() + normal.width());
}

int CPreferences::GetSavedWindowRect(const QString& name, QRect& rect) const {
    // Widened so that edges read from a damaged file cannot overflow.
    const qint64 left = GetInt(placementKey(name, u"left"), 0);
    const qint64 top = GetInt(placementKey(name, u"top"), 0);
    const qint64 width = GetInt(placementKey(name, u"right"), 0) - left;
    const qint64 height = GetInt(placementKey(name, u"bottom"), 0) - top;
    if (width <= 0 || height < 0 || width > INT_MAX || height > INT_MAX) {
        return 0;
    }
    rect = QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                 static_cast<int>(height));
    return 1;
}

Qt::WindowStates CPreferences::GetSavedWindowState(const QString& name) const {
    const int showCommand = GetInt(placementKey(name, u"showCmd"), kShowNormal);
    const int flags = GetInt(placementKey(name, u"flags"), 0);
    const bool maximized = showCommand == kShowMaximized ||
                           (showCommand == kShowMinimized && (flags & kRestoreToMaximized) != 0);
    return maximized ? Qt::WindowMaximized : Qt::WindowNoState;
}

int CPreferences::RestoreMainFramePosition(QRect& rect) const {
    kDebugLog(u":: restoring position of MainFrame before it gets created...\n");
    return GetSavedWindowRect(u"Main"_qs, rect);
}

QString GetComboBoxText(const QComboBox& combo) {
    const int index = combo.currentIndex();
    if (index >= 0 && !combo.itemText(index).isEmpty()) {
        return combo.itemText(index);
    }
    return combo.lineEdit() != nullptr ? combo.lineEdit()->text() : combo.currentText();
}

QString CPreferences::GetFieldChooserName(const QString& url) {
    const qsizetype query = url.indexOf(u'?');
    if (query < 0) {
        return {};
    }
    for (const QStringView pair : QStringView(url).mid(query + 1).split(u'&')) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals > 0 && pair.left(equals) == u"FieldChooser") {
            return pair.mid(equals + 1).toString();
        }
    }
    return {};
}

int CPreferences::ApplyFieldChooserColumns(const QString& grid, QString& url) const {
    const QString columns = GetString(QStringLiteral("FieldChooser:") + grid);
    if (columns.isEmpty()) {
        return 0;
    }
    const QString marker = QStringLiteral("&Columns=");
    const qsizetype at = url.indexOf(marker);
    if (at >= 0) {
        url.truncate(at);
    }
    url += marker + columns;
    return 1;
}
