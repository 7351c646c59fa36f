#pragma once

// The debugging and language-pack page of the options dialog (one of the
// hidden pages): context-menu debugging, timing information on the main
// window, and the language-pack file that translates the console's texts.

#include <QWidget>

class COptionsDialog;
class CPreferences;
class QCheckBox;
class QLineEdit;
class QPushButton;

class COptionsPanel4 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 5467;

    explicit COptionsPanel4(COptionsDialog& dialog);

    void OnInitDialog();
    void OnBrowseLanguagePack();
    void Store(CPreferences& prefs) const;
    bool IsTouched() const { return m_touched; }

    QCheckBox& ContextDebugging() { return *m_contextDebugging; }
    QCheckBox& TimingInfo() { return *m_timingInfo; }
    QLineEdit& PathEdit() { return *m_path; }
    QPushButton& BrowseButton() { return *m_browse; }

private:
    COptionsDialog& m_dialog;
    bool m_touched = false;
    QCheckBox* m_contextDebugging;
    QCheckBox* m_timingInfo;
    QLineEdit* m_path;
    QPushButton* m_browse;
};

// The folder a browse for a file starts in: that of the current path when it
// names a local file, else the settings folder.
QString BrowseFolderOf(const QString& currentPath);
