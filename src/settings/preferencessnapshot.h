#pragma once

// The settings as they stood at one moment, in memory and on disk, so that a
// dialog whose pages write settings as the user goes along (the options
// dialog's World View preview, its language-pack editor) can put everything
// back when the user cancels: the settings list, the remembered credentials
// and, when something rewrote it meanwhile, the ini file byte for byte.

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class CPreferences;

class CPreferencesSnapshot {
public:
    explicit CPreferencesSnapshot(CPreferences& preferences);

    // Takes the current state; the constructor takes the first.
    void Take();
    // Puts the state of the last Take back. The ini file is rewritten only
    // when its bytes changed since (or it appeared or vanished); false when
    // that rewrite failed.
    bool Restore();

private:
    struct Entry {
        QString name;
        QString value;
        QString extra1;
        QString extra2;
    };

    CPreferences& m_preferences;
    std::vector<Entry> m_settings;
    std::vector<Entry> m_credentials;
    bool m_dirty = false;
    std::optional<QByteArray> m_iniBytes;  // empty when there was no file
};
