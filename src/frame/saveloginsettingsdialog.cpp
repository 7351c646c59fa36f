#include "frame/saveloginsettingsdialog.h"

#include "settings/preferences.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

struct RememberLoginBox {
    int id;
    const char16_t* text;
    const char16_t* key;
    int defaultValue;
};

constexpr RememberLoginBox kRememberLoginBoxes[] = {
    {CSaveLoginSettingsDialog::kStoreUsernamesId, u"Remember usernames", u"StoreUsernames", 0},
    {CSaveLoginSettingsDialog::kStorePasswordsId, u"Remember passwords", u"StorePasswords", 0},
    {CSaveLoginSettingsDialog::kAutoLoginId, u"Log in automatically", u"AutoLogin", 0},
    {CSaveLoginSettingsDialog::kAskStorePassId, u"Always Show When Logging In", u"AskStorePass", 1},
};

}  // namespace

CSaveLoginSettingsDialog::CSaveLoginSettingsDialog(CPreferences& prefs, QWidget* parent)
    : QDialog(parent), m_prefs(prefs) {
    setWindowTitle(QStringLiteral("Remember Login Settings"));
    setProperty("controlId", 557);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("Quillet for Velnix can automatically remember username and/ or passwords "
                       "for all servers that you connect to.\n\nWould you like to remember "
                       "usernames and passwords for all servers? "),
        this);
    text->setWordWrap(true);
    layout->addWidget(text);
    QCheckBox* boxes[4] = {};
    for (int i = 0; i < 4; ++i) {
        const RememberLoginBox& box = kRememberLoginBoxes[i];
        boxes[i] = new QCheckBox(QString::fromUtf16(box.text), this);
        boxes[i]->setProperty("controlId", box.id);
        boxes[i]->setChecked(m_prefs.GetInt(QString::fromUtf16(box.key), box.defaultValue) != 0);
        layout->addWidget(boxes[i]);
    }
    m_storeUsernames = boxes[0];
    m_storePasswords = boxes[1];
    m_autoLogin = boxes[2];
    m_askStorePass = boxes[3];
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_storeUsernames, &QCheckBox::toggled, this,
            &CSaveLoginSettingsDialog::UpdateAutoLogin);
    connect(m_storePasswords, &QCheckBox::toggled, this,
            &CSaveLoginSettingsDialog::UpdateAutoLogin);
    UpdateAutoLogin();
}

void CSaveLoginSettingsDialog::UpdateAutoLogin() {
    const bool possible = m_storeUsernames->isChecked() && m_storePasswords->isChecked();
    if (!possible) {
        m_autoLogin->setChecked(false);
    }
    m_autoLogin->setEnabled(possible);
}

void CSaveLoginSettingsDialog::accept() {
    const QCheckBox* boxes[4] = {m_storeUsernames, m_storePasswords, m_autoLogin, m_askStorePass};
    for (int i = 0; i < 4; ++i) {
        m_prefs.SetInt(QString::fromUtf16(kRememberLoginBoxes[i].key),
                       boxes[i]->isChecked() ? 1 : 0);
    }
    QDialog::accept();
}
