#include "settings/credentials.h"

#include "framework/klog.h"
#include "framework/kprops.h"
#include "settings/preferences.h"
#include "settings/urlcoding.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

constexpr QStringView kDoneMarker = u"_d_o_n_e_";
constexpr qsizetype kClipLength = 40;

// The chunk keys in the settings, by their number (a file sorted by name
// would put "AppData:100" before "AppData:11").
std::vector<std::pair<int, QString>> chunkKeys(const KPROPS& settings) {
    const QString prefix = kFormat(u"%s:", kCredentialChunkPrefix);
    std::vector<std::pair<int, QString>> keys;
    for (int i = 0; i < settings.Count(); ++i) {
        const QString name = settings.GetNameAt(i);
        if (name.startsWith(prefix)) {
            bool isNumber = false;
            const int number = QStringView(name).mid(prefix.size()).toInt(&isNumber);
            keys.emplace_back(isNumber ? number : INT_MAX, name);
        }
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return keys;
}

}  // namespace

DesKey CredentialCipherKey() {
    // Built at run time from two constants, so the key is never one run of
    // bytes in the program's image. Changing either makes stored
    // credentials unreadable.
    constexpr DesKey kSeed{0x51, 0x76, 0x78, 0x2D, 0x5A, 0x6F, 0x72, 0x76};
    constexpr DesKey kMask{0x1C, 0x29, 0x47, 0x6B, 0x3E, 0x15, 0x58, 0x33};
    DesKey key{};
    for (std::size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<unsigned char>(kSeed[i] ^ kMask[i]);
    }
    return key;
}

QString BuildCredentialRecords(const KPROPS& credentials, bool storeUsernames,
                               bool storePasswords) {
    if (credentials.Count() == 0) {
        return {};
    }
    QString records;
    for (int i = 0; i < credentials.Count(); ++i) {
        records += kFormat(u"HP=%s&U=%s&P=%s&", EncodeForURL(credentials.GetNameAt(i)),
                           storeUsernames ? EncodeForURL(credentials.GetValueAt(i)) : QString(),
                           storePasswords ? EncodeForURL(credentials.GetExtra1At(i)) : QString());
    }
    // The "&" after the marker ends its pair whatever follows it.
    records += kFormat(u"HP=%s&", kDoneMarker);
    return records;
}

void ParseCredentialRecords(QStringView records, KPROPS& credentials) {
    std::vector<KNVP> pairs;
    // No cap: every stored credential comes back.
    CPreferences::ParseEncodedPairs(records, pairs, INT_MAX, u'&', u'=');
    QString key;
    QString user;
    for (const KNVP& pair : pairs) {
        if (pair.name == u"HP") {
            if (pair.value == kDoneMarker) {
                return;
            }
            key = pair.value;
        } else if (pair.name == u"U") {
            user = pair.value;
        } else if (pair.name == u"P") {
            credentials.Add(key, user, pair.value);
            key.clear();
            user.clear();
        } else {
            kDebugLog(u"RestorePrefs: garbage data in AuthBlob: %s\n", pair.name);
        }
    }
}

QStringList SplitCredentialChunks(const QString& hex) {
    QStringList chunks;
    for (qsizetype start = 0; start < hex.size(); start += kCredentialChunkSize) {
        chunks.append(hex.mid(start, kCredentialChunkSize));
    }
    return chunks;
}

QString CredentialChunkKey(int number) {
    return kFormat(u"%s:%02d", kCredentialChunkPrefix, number);
}

int CPreferences::ParseEncodedPairs(QStringView text, std::vector<KNVP>& pairs, int maximum,
                                    QChar pairSeparator, QChar nameSeparator) {
    pairs.clear();
    qsizetype start = 0;
    while (start < text.size() && static_cast<int>(pairs.size()) < maximum) {
        qsizetype end = text.indexOf(pairSeparator, start);
        if (end < 0) {
            end = text.size();
        }
        const QStringView piece = text.mid(start, end - start);
        start = end + 1;
        const qsizetype separator = piece.indexOf(nameSeparator);
        if (separator < 0 && pairs.empty()) {
            kWarnFirstPairWithoutSeparator(piece);
        }
        KNVP pair;
        pair.name = DecodeFromURL(piece.left(separator < 0 ? piece.size() : separator).trimmed());
        pair.value = separator < 0 ? QString() : DecodeFromURL(piece.mid(separator + 1).trimmed());
        if (kDebugLevel(0) > 2) {
            // Passwords are deciphered here; the log file must never hold one.
            const KNVP shown =
                pair.name == u"P" ? KNVP{pair.name, QStringLiteral("********")} : pair;
            kLogNameValuePair(static_cast<int>(pairs.size()), shown, kClipLength, kClipLength);
        }
        pairs.push_back(std::move(pair));
    }
    return static_cast<int>(pairs.size());
}

int CPreferences::SetCredentials(const QString& key, const std::optional<QString>& user,
                                 const std::optional<QString>& password) {
    if (!user && !password) {
        return 1;
    }
    const QString newUser = user.value_or(QString());
    const QString newPassword = password.value_or(QString());
    const int index = m_credentials.FindIndex(key, false);
    if (index < 0 || m_credentials.GetValueAt(index) != newUser ||
        m_credentials.GetExtra1At(index) != newPassword) {
        kDebugLog(u"Prefs: dirty bit triggered by AuthBlob for: %s@%s\n", newUser, key);
        m_dirty = 1;
    }
    return m_credentials.Add(key, newUser, newPassword);
}

int CPreferences::GetCredentials(const QString& key, QString& user, QString& password) const {
    const int index = m_credentials.FindIndex(key, false);
    if (index < 0) {
        return 0;
    }
    user = m_credentials.GetValueAt(index);
    password = m_credentials.GetExtra1At(index);
    return 1;
}

void CPreferences::ClearCredentials() {
    m_credentials.Clear();
    QStringList chunkNames;
    for (int i = 0; i < m_settings.Count(); ++i) {
        if (m_settings.GetNameAt(i).startsWith(kCredentialChunkPrefix)) {
            chunkNames.append(m_settings.GetNameAt(i));
        }
    }
    for (const QString& name : chunkNames) {
        SetString(name, QString());
    }
}

void CPreferences::storeCredentialChunks() {
    const QString records = BuildCredentialRecords(
        m_credentials, GetInt(u"StoreUsernames"_qs, 0) != 0, GetInt(u"StorePasswords"_qs, 0) != 0);
    if (records.isEmpty()) {
        return;
    }
    const QStringList chunks = SplitCredentialChunks(DesEncryptToHex(m_cipherKey, records));
    for (int number = 0; number < chunks.size(); ++number) {
        const QString key = CredentialChunkKey(number);
        m_settings.Add(key, chunks[number]);
        kDebugLog(u"saving: %s = %s\n", key, chunks[number]);
    }
    // Chunks of an earlier, longer save would keep old passwords on disk.
    for (const auto& [number, name] : chunkKeys(m_settings)) {
        if (number >= chunks.size()) {
            m_settings.Add(name, QString());
        }
    }
}

void CPreferences::restoreCredentials() {
    const QString prefix = kFormat(u"%s:", kCredentialChunkPrefix);
    QString hex;
    for (const auto& [number, name] : chunkKeys(m_settings)) {
        const QString value = m_settings.GetValue(name);
        kDebugLog(u"loading: %s = %s\n", prefix, value);
        hex += value;
    }
    if (!hex.isEmpty()) {
        ParseCredentialRecords(DesDecryptFromHex(m_cipherKey, hex), m_credentials);
    }
}
