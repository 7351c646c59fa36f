#include "settings/preferencessnapshot.h"

#include "framework/klog.h"
#include "settings/preferences.h"

#include <QFile>
#include <QSaveFile>

namespace {

std::optional<QByteArray> readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

}  // namespace

CPreferencesSnapshot::CPreferencesSnapshot(CPreferences& preferences) : m_preferences(preferences) {
    Take();
}

void CPreferencesSnapshot::Take() {
    m_settings.clear();
    const KPROPS& settings = m_preferences.Settings();
    for (int i = 0; i < settings.Count(); ++i) {
        const KPROP* entry = settings.At(i);
        m_settings.push_back({entry->name, entry->value, entry->extra1, entry->extra2});
    }
    m_credentials.clear();
    const KPROPS& credentials = m_preferences.Credentials();
    for (int i = 0; i < credentials.Count(); ++i) {
        const KPROP* entry = credentials.At(i);
        m_credentials.push_back({entry->name, entry->value, entry->extra1, {}});
    }
    m_dirty = m_preferences.IsDirty();
    m_iniBytes = readFile(CPreferences::GetIniPath());
}

bool CPreferencesSnapshot::Restore() {
    // Clearing the credentials empties their ini chunks; the settings put
    // back below bring the chunks of the snapshot back with them.
    m_preferences.ClearCredentials();
    for (const Entry& entry : m_credentials) {
        m_preferences.SetCredentials(entry.name, entry.value, entry.extra1);
    }
    KPROPS& settings = m_preferences.Settings();
    settings.Clear();
    for (const Entry& entry : m_settings) {
        settings.Add(entry.name, entry.value, entry.extra1, entry.extra2);
    }
    if (m_dirty) {
        m_preferences.SetDirty();
    }
    const QString path = CPreferences::GetIniPath();
    if (readFile(path) == m_iniBytes) {
        return true;
    }
    if (!m_iniBytes) {
        return QFile::remove(path);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*m_iniBytes) != m_iniBytes->size() ||
        !file.commit()) {
        kErrorLog(u"Could not put the settings file back: %s\n", path);
        return false;
    }
    return true;
}
