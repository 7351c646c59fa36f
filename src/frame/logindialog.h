#pragma once

// The panel of a server that is not logged in: host, web port, HTTP or
// HTTPS, user name and password, or in smart-card mode the card's PIN. Its
// Log In button logs the server in; a successful login offers to remember
// the login settings.

#include "frame/myviewdlg.h"

class CMySystem;
class CMyTree;
class CPreferences;
class CSmartCardLogin;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CLoginDialog : public CMyViewDlg {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 257;
    enum Mode : int { kBySystem = -2, kWaiting = -1, kLoggedOut = 0, kLoggedIn = 1 };
    enum ControlId : int {
        kIconId = 5120,
        kStatusId = 5116,
        kHostId = 5107,
        kPortId = 5109,
        kHttpId = 5461,
        kHttpsId = 5462,
        kUserId = 5106,
        kPasswordId = 5086,
        kPinLabelId = 5641,
        kPinId = 5024,
        kLoginId = 5117,
        kForceLoginId = 5464,
        kForceMismatchId = 5465,
        kShowXmlId = 5526,
    };

    CLoginDialog(QWidget* parent, QTreeWidgetItem* item, CMyTree& tree, CPreferences& prefs);
    ~CLoginDialog() override;

    void UpdateControls(int mode);
    void SetPort(int port);
    void ApplyControls();
    // The login; a successful one may leave this panel deleted.
    void OnOK();
    // The test buttons: a login that sends this build number.
    void LoginWithBuildNum(const QString& buildNum);
    void ToggleTestControls();

    CSmartCardLogin& SmartCard() { return *m_smartCard; }
    // Shows the modal "Remember Login Settings" dialog; tests replace it.
    std::function<void()> AskToRememberLogin;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    bool smartCardMode() const;
    void storeCredentials();
    void showIcon(const char* themeName, QStyle::StandardPixmap fallback);
    void setEnabled(std::initializer_list<QWidget*> widgets, bool enabled);
    void onProtocolClicked(bool https);

    QTreeWidgetItem* m_item;
    CMyTree& m_tree;
    CPreferences& m_prefs;
    CMySystem* m_system;
    std::unique_ptr<CSmartCardLogin> m_smartCard;
    bool m_initialized = false;
    int m_wrongPins = 0;

    QLabel* m_icon;
    QLabel* m_status;
    QLineEdit* m_host;
    QLineEdit* m_port;
    QRadioButton* m_http;
    QRadioButton* m_https;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLabel* m_pinLabel;
    QLineEdit* m_pin;
    QPushButton* m_login;
    QPushButton* m_forceLogin;
    QPushButton* m_forceMismatch;
    QCheckBox* m_showXml;
};
