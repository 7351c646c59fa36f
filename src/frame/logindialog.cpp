#include "frame/logindialog.h"

#include "frame/smartcardlogin.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/ktemplate.h"
#include "net/wireservices.h"
#include "server/mysystem.h"
#include "settings/buildstamp.h"
#include "settings/preferences.h"
#include "tree/mytree.h"
#include "tree/treetexts.h"
#include "ui/popuptype.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

constexpr unsigned kPleaseWaitString = 518;
constexpr unsigned kPasswordRequiredString = 549;
constexpr unsigned kPortZeroString = 100;
constexpr int kRequiredFieldsSize = 500;
constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;
const QString kNoNeed = QStringLiteral("noneed");

template <typename Widget>
Widget* withId(Widget* widget, int id) {
    widget->setProperty("controlId", id);
    return widget;
}

QString withoutMarkup(QString text) {
    for (const char16_t* tag : {u"<br>", u"<B>", u"</B>", u"<li>", u"</li>"}) {
        text.remove(QString::fromUtf16(tag));
    }
    return text;
}

}  // namespace

CLoginDialog::CLoginDialog(QWidget* parent, QTreeWidgetItem* item, CMyTree& tree,
                           CPreferences& prefs)
    : CMyViewDlg(kTemplateId, parent, item),
      m_item(item),
      m_tree(tree),
      m_prefs(prefs),
      m_system(dynamic_cast<CMySystem*>(item != nullptr ? tree.GetSystem(item) : nullptr)),
      m_smartCard(std::make_unique<CSmartCardLogin>(prefs, this)) {
    m_icon = withId(new QLabel(this), kIconId);
    m_status = withId(new QLabel(this), kStatusId);
    m_host = withId(new QLineEdit(this), kHostId);
    m_port = withId(new QLineEdit(this), kPortId);
    m_http = withId(new QRadioButton(QStringLiteral("HTTP"), this), kHttpId);
    m_https = withId(new QRadioButton(QStringLiteral("HTTPS"), this), kHttpsId);
    m_user = withId(new QLineEdit(this), kUserId);
    m_password = withId(new QLineEdit(this), kPasswordId);
    m_password->setEchoMode(QLineEdit::Password);
    m_pinLabel = withId(new QLabel(QStringLiteral("Smart Card PIN:"), this), kPinLabelId);
    m_pin = withId(new QLineEdit(this), kPinId);
    m_pin->setEchoMode(QLineEdit::Password);
    m_login = withId(new QPushButton(this), kLoginId);
    m_login->setDefault(true);
    m_forceLogin = withId(new QPushButton(QStringLiteral("Force Login"), this), kForceLoginId);
    m_forceMismatch =
        withId(new QPushButton(QStringLiteral("Force Mismatch"), this), kForceMismatchId);
    m_showXml = withId(new QCheckBox(QStringLiteral("Show XML"), this), kShowXmlId);
    for (QWidget* test :
         {static_cast<QWidget*>(m_forceLogin), static_cast<QWidget*>(m_forceMismatch),
          static_cast<QWidget*>(m_showXml)}) {
        test->hide();
    }

    auto* grid = new QGridLayout(this);
    auto* head = new QHBoxLayout;
    head->addWidget(m_icon);
    head->addWidget(m_status, 1);
    grid->addLayout(head, 0, 0, 1, 3);
    const auto row = [&](int at, const QString& label, QWidget* field) {
        auto* caption = new QLabel(label, this);
        caption->setBuddy(field);
        grid->addWidget(caption, at, 0);
        grid->addWidget(field, at, 1, 1, 2);
    };
    row(1, LookupText(QStringLiteral("&Hostname/IP:")), m_host);
    row(2, LookupText(QStringLiteral("&Web Port:")), m_port);
    grid->addWidget(m_http, 3, 1);
    grid->addWidget(m_https, 3, 2);
    row(4, LookupText(QStringLiteral("&User Name:")), m_user);
    row(5, LookupText(QStringLiteral("&Password:")), m_password);
    grid->addWidget(m_pinLabel, 6, 0);
    grid->addWidget(m_pin, 6, 1, 1, 2);
    grid->addWidget(m_login, 7, 1);
    grid->addWidget(m_forceLogin, 8, 0);
    grid->addWidget(m_forceMismatch, 8, 1);
    grid->addWidget(m_showXml, 8, 2);
    grid->setRowStretch(9, 1);

    connect(m_http, &QRadioButton::clicked, this, [this] { onProtocolClicked(false); });
    connect(m_https, &QRadioButton::clicked, this, [this] { onProtocolClicked(true); });
    for (QLineEdit* edit : {m_host, m_port, m_user, m_password}) {
        connect(edit, &QLineEdit::textEdited, this, [this] {
            if (m_initialized) {
                ApplyControls();
            }
        });
    }
    // Queued: the login may replace this panel, which must not happen
    // inside the button's own event handling.
    connect(m_login, &QPushButton::clicked, this, &CLoginDialog::OnOK, Qt::QueuedConnection);
    // Enter in any field runs the login as the dialog's OK does: a panel is
    // no dialog, so its default button does not take the key by itself.
    for (QLineEdit* edit : {m_host, m_port, m_user, m_password, m_pin}) {
        connect(edit, &QLineEdit::returnPressed, this, &CLoginDialog::OnOK, Qt::QueuedConnection);
    }
    connect(
        m_forceLogin, &QPushButton::clicked, this,
        [this] { LoginWithBuildNum(QStringLiteral("0")); }, Qt::QueuedConnection);
    connect(
        m_forceMismatch, &QPushButton::clicked, this,
        [this] { LoginWithBuildNum(QStringLiteral("99033112")); }, Qt::QueuedConnection);
    m_host->installEventFilter(this);
    m_icon->installEventFilter(this);
    OnInitDialog();
}

CLoginDialog::~CLoginDialog() = default;

bool CLoginDialog::smartCardMode() const {
    return m_prefs.GetInt(QStringLiteral("SCAuthentication"), 1) != 0;
}

void CLoginDialog::OnInitDialog() {
    if (m_system != nullptr) {
        const bool storeUsers = m_prefs.GetInt(QStringLiteral("StoreUsernames"), 0) != 0;
        const bool storePasswords = m_prefs.GetInt(QStringLiteral("StorePasswords"), 0) != 0;
        QString user;
        QString password;
        m_prefs.GetCredentials(kFormat(u"%s:%d", m_system->Host, m_system->WebPort), user,
                               password);
        if (!storeUsers) {
            m_system->User.clear();
        } else if (m_system->User.isEmpty()) {
            m_system->User = user;
        }
        if (!storePasswords) {
            m_system->Password.clear();
        } else if (m_system->Password.isEmpty()) {
            m_system->Password = password;
        }
    }
    m_wrongPins = 0;
    UpdateControls(kBySystem);
    m_initialized = true;
}

void CLoginDialog::showIcon(const char* themeName, QStyle::StandardPixmap fallback) {
    const QIcon icon =
        QIcon::fromTheme(QString::fromLatin1(themeName), style()->standardIcon(fallback));
    m_icon->setPixmap(icon.pixmap(32, 32));
    m_icon->setProperty("stateIcon", QString::fromLatin1(themeName));
}

void CLoginDialog::setEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* widget : widgets) {
        widget->setEnabled(enabled);
    }
}

void CLoginDialog::UpdateControls(int mode) {
    if (m_system == nullptr) {
        return;
    }
    showIcon("appointment-soon", QStyle::SP_BrowserReload);
    const bool https = m_system->Protocol == u"https";
    m_https->setChecked(https);
    m_http->setChecked(!https);
    m_host->setText(m_system->Host);
    SetPort(m_system->WebPort);
    m_user->setText(m_system->User);
    m_password->setText(m_system->Password);
    if (mode == kBySystem) {
        mode = m_system->LoggedIn ? kLoggedIn : kLoggedOut;
    }
    const std::initializer_list<QWidget*> inputs = {m_host, m_port,     m_http, m_https,
                                                    m_user, m_password, m_pin};
    if (mode == kWaiting) {
        m_status->setText(TranslatedResourceString(kPleaseWaitString));
        m_login->setText(LookupText(QStringLiteral("wait...")));
        m_login->setEnabled(false);
        setEnabled(inputs, false);
    } else if (mode == kLoggedOut) {
        kDebugLog(u"UpdateControls: WE ARE NOT LOGGED IN.\n");
        showIcon("network-offline", QStyle::SP_DialogNoButton);
        m_login->setText(LookupText(QStringLiteral("&Log In")));
        m_login->setEnabled(true);
        m_status->setText(LookupText(QStringLiteral("Complete these fields to log in:")));
        setEnabled({m_host, m_port, m_http, m_https}, true);
        const bool card = smartCardMode();
        if (card) {
            m_http->setChecked(false);
            m_https->setChecked(true);
        }
        setEnabled({m_user, m_password}, !card);
        m_http->setEnabled(!card);
        m_pin->setEnabled(card);
        m_pin->setVisible(card);
        m_pinLabel->setVisible(card);
    } else {
        kDebugLog(u"UpdateControls: WE ARE LOGGED IN.\n");
        m_status->setText(LookupText(m_system->GetServerMessage()));
        const int status = m_system->GetServerStatus();
        if (status == CMySystem::kStatusGreen) {
            showIcon("network-transmit-receive", QStyle::SP_DialogApplyButton);
        } else if (status == CMySystem::kStatusRed) {
            showIcon("network-error", QStyle::SP_MessageBoxCritical);
        } else {
            showIcon("dialog-question", QStyle::SP_MessageBoxQuestion);
        }
        m_login->setText(LookupText(QStringLiteral("&Logout")));
        m_login->setEnabled(true);
        setEnabled(inputs, false);
    }
}

void CLoginDialog::SetPort(int port) {
    if (port > 0 && m_system != nullptr) {
        m_port->setText(kFormat(u"%d", port));
        m_system->WebPort = port;
    }
}

void CLoginDialog::onProtocolClicked(bool https) {
    const int from = https ? kHttpPort : kHttpsPort;
    if (m_port->text().toInt() == from) {
        m_port->setText(QString::number(https ? kHttpsPort : kHttpPort));
    }
    if (m_initialized) {
        ApplyControls();
    }
}

void CLoginDialog::storeCredentials() {
    // A smart-card login sends "noneed", which must not replace what the
    // user stored for password logins.
    if (!smartCardMode()) {
        m_prefs.SetCredentials(kFormat(u"%s:%d", m_system->Host, m_system->WebPort), m_system->User,
                               m_system->Password);
    }
}

void CLoginDialog::ApplyControls() {
    if (m_system == nullptr) {
        return;
    }
    const QString host = m_host->text();
    const QString protocol =
        m_https->isChecked() ? QStringLiteral("https") : QStringLiteral("http");
    const int port = m_port->text().toInt();
    if (host != m_system->Host || protocol != m_system->Protocol || port != m_system->WebPort) {
        m_tree.SetModified();
    }
    m_system->Host = host;
    m_system->Protocol = protocol;
    m_system->WebPort = port;
    m_system->User = m_user->text();
    m_system->Password = m_password->text();
    storeCredentials();
}

void CLoginDialog::OnOK() {
    if (m_system == nullptr) {
        return;
    }
    ApplyControls();
    const bool card = smartCardMode();
    if (card) {
        if (!m_smartCard->CheckMiddleware()) {
            return;
        }
        const QString pin = m_pin->text();
        if (pin.isEmpty()) {
            WireServices().PopupMessage(QStringLiteral("PIN code is required."), kPopupError);
            return;
        }
        const int result = m_smartCard->GetCertificatesFromSmartCard(pin, *m_system, m_wrongPins);
        if (result == CSmartCardLogin::kNoneChosen) {
            WireServices().PopupMessage(QStringLiteral("A certificate must be selected."),
                                        kPopupError);
            return;
        }
        if (result >= CSmartCardLogin::kWrongPin && result <= CSmartCardLogin::kNoCard) {
            return;
        }
        m_system->User = kNoNeed;
        m_system->Password = kNoNeed;
    } else if (m_system->Password.isEmpty()) {
        UpdateControls(kLoggedOut);
        WireServices().PopupMessage(TranslatedResourceString(kPasswordRequiredString), kPopupError);
        return;
    }
    if (m_port->text().toInt() == 0) {
        UpdateControls(kLoggedOut);
        WireServices().PopupMessage(TranslatedResourceString(kPortZeroString), kPopupError);
        return;
    }
    m_system->AddressFlag = m_system->Host.contains(u':') ? 1 : 0;
    UpdateControls(kWaiting);
    const CWireBusy busy;
    WireServices().PumpMessages();
    storeCredentials();
    QString missing;
    const int empty = card ? kCheckRequiredFields(missing, kRequiredFieldsSize,
                                                  {{m_system->Host, QStringLiteral("Hostname")}})
                           : kCheckRequiredFields(missing, kRequiredFieldsSize,
                                                  {{m_system->Host, QStringLiteral("Hostname")},
                                                   {m_system->User, QStringLiteral("Username")}});
    if (empty != 0) {
        UpdateControls(kLoggedOut);
        WireServices().PopupMessage(withoutMarkup(missing), kPopupError);
        return;
    }
    const bool showXml = m_showXml->isChecked();
    WireServices().ClearCancelFlag();
    // A successful login shows the server again, which replaces this panel:
    // what comes after it must not need the panel.
    const QPointer<CLoginDialog> alive(this);
    CMyTree& tree = m_tree;
    CPreferences& prefs = m_prefs;
    const std::function<void()> askToRemember = AskToRememberLogin;
    QString error;
    if (m_system->Login(error, &tree, m_item, showXml) != 0) {
        QTreeWidgetItem* selected = tree.GetSelectedItem();
        const CMyItem* record = selected != nullptr ? tree.GetMyItem(selected) : nullptr;
        const QString firstPart =
            record != nullptr && record->Parts.Count() > 0 ? record->Parts.GetNameAt(0) : QString();
        if (!firstPart.contains(u"template=MismatchedClient") &&
            prefs.GetInt(QStringLiteral("AskStorePass"), 1) != 0 && askToRemember) {
            askToRemember();
        }
        return;
    }
    if (alive.isNull()) {
        return;
    }
    UpdateControls(kLoggedOut);
    // The login's own text also for an IPv6 host: no browser version here
    // stands in the way of one.
    if (!error.isEmpty()) {
        WireServices().PopupMessage(error, kPopupError);
    }
}

void CLoginDialog::LoginWithBuildNum(const QString& buildNum) {
    for (QWidget* test :
         {static_cast<QWidget*>(m_forceLogin), static_cast<QWidget*>(m_forceMismatch),
          static_cast<QWidget*>(m_showXml)}) {
        test->hide();
    }
    SetBuildNumOverride(buildNum);
    OnOK();
    SetBuildNumOverride(QString());
}

void CLoginDialog::ToggleTestControls() {
    const bool show = m_forceLogin->isHidden();
    m_forceLogin->setVisible(show);
    m_forceMismatch->setVisible(show);
    m_showXml->setVisible(show);
}

bool CLoginDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_host && event->type() == QEvent::FocusIn && m_host->text().isEmpty()) {
        QTreeWidgetItem* selected = m_tree.GetSelectedItem();
        if (const CMyItem* record = selected != nullptr ? m_tree.GetMyItem(selected) : nullptr) {
            m_host->setText(record->GetLabel());
        }
    } else if (watched == m_icon && event->type() == QEvent::MouseButtonDblClick &&
               static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        ToggleTestControls();
        return true;
    }
    return CMyViewDlg::eventFilter(watched, event);
}
