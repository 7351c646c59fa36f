#pragma once

// "Remember Login Settings": whether user names and passwords are stored,
// whether the console logs in by itself at start-up, and whether this
// dialog comes again after a login.

#include <QDialog>

class CPreferences;
class QCheckBox;

class CSaveLoginSettingsDialog : public QDialog {
    Q_OBJECT
public:
    enum ControlId : int {
        kStoreUsernamesId = 5568,
        kStorePasswordsId = 5569,
        kAutoLoginId = 5570,
        kAskStorePassId = 5571,
    };

    CSaveLoginSettingsDialog(CPreferences& prefs, QWidget* parent = nullptr);

    void accept() override;
    // "Log in automatically" only while both names and passwords are remembered.
    void UpdateAutoLogin();

private:
    CPreferences& m_prefs;
    QCheckBox* m_storeUsernames;
    QCheckBox* m_storePasswords;
    QCheckBox* m_autoLogin;
    QCheckBox* m_askStorePass;
};
