#pragma once

// The URL Trail dialog: writes the trail page as text, or the playback
// script, to files on the desktop (the paths may be edited).

#include <QDialog>

class QLineEdit;
class CHistory;
class CPreferences;

class CURLTrail : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 300;

    CURLTrail(const CHistory& history, const CPreferences& prefs, QWidget* parent = nullptr);

    QLineEdit& TextPathEdit() { return *m_textPath; }
    QLineEdit& ScriptPathEdit() { return *m_scriptPath; }
    // The two Save buttons; false (after "Write Failed.") when not written.
    bool SaveText();
    bool SaveScript();

private:
    bool write(const QString& path, const QString& text);

    const CHistory& m_history;
    const CPreferences& m_prefs;
    QLineEdit* m_textPath;
    QLineEdit* m_scriptPath;
};
