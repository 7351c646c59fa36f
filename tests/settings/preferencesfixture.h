#pragma once

// A preferences store in a temporary home, with debug logging on so tests can
// look for the store's log lines, and a site that records what the store
// asks of the windows around it.

#include "framework/klog.h"
#include "settings/preferences.h"
#include "support/recordingpreferencessite.h"
#include "support/temphome.h"

#include <QFile>

class PreferencesFixture : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        qunsetenv("TORVOLOG");
        qunsetenv("TORVODBG");
        m_flag = writeFile(QStringLiteral("Quillex.dbg"), "3");
        m_log = root() + QStringLiteral("/Quillex.log");
        kSetDebugPath(m_flag);
        kDebugLevel(1);
        kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
        prefs.SetSite(&site);
    }
    void TearDown() override {
        QFile::remove(m_flag);
        kDebugLevel(1);
        TempHomeTest::TearDown();
    }

    QString logText() const { return QString::fromUtf8(readFile(m_log)); }
    void clearLog() const { QFile::resize(m_log, 0); }
    QString iniText() const { return QString::fromUtf8(readFile(CPreferences::GetIniPath())); }
    QString writeIni(const QByteArray& contents) const {
        return writeFile(CPreferences::GetIniPath().mid(root().size() + 1), contents);
    }

    // A second store, as the next run of the program would see the file.
    void restart(CPreferences& next) {
        next.SetSite(&site);
        next.RestorePrefs();
    }

    static void expectCredentials(const CPreferences& from, const QString& key, const QString& user,
                                  const QString& password) {
        QString storedUser;
        QString storedPassword = QStringLiteral("untouched");
        EXPECT_EQ(from.GetCredentials(key, storedUser, storedPassword), 1) << key.toStdString();
        EXPECT_EQ(storedUser, user) << key.toStdString();
        EXPECT_EQ(storedPassword, password) << key.toStdString();
    }

    RecordingPreferencesSite site;
    CPreferences prefs;

private:
    QString m_flag;
    QString m_log;
};
