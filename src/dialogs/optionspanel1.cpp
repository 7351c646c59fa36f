#include "dialogs/optionspanel1.h"

#include "dialogs/optionsdialog.h"
#include "dialogs/optionspanel4.h"
#include "dialogs/optionssite.h"
#include "framework/klog.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "ui/busycursor.h"
#include "ui/popupmessages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kHintString = 411;
constexpr int kHttpAuthString = 514;
constexpr int kFtpAccountString = 515;
constexpr int kNoSavedWorldViewString = 555;
constexpr int kLongestAddress = 1024;

}  // namespace

COptionsPanel1::COptionsPanel1(COptionsDialog& dialog)
    : m_dialog(dialog),
      m_previewFile(dialog.Site().Prefs(), m_preview),
      m_authLabel(new QLabel(QStringLiteral("{HTTP Basic Auth}"), this)),
      m_passwordLabel(new QLabel(QStringLiteral("&Password:"), this)),
      m_address(new QComboBox(this)),
      m_previewCtrl(new QTreeWidget(this)),
      m_browse(new QPushButton(QStringLiteral("..."), this)),
      m_user(new QLineEdit(this)),
      m_password(new QLineEdit(this)) {
    setProperty("templateId", kTemplateId);
    m_address->setProperty("controlId", 5447);
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert);
    m_address->lineEdit()->setMaxLength(kLongestAddress);
    m_address->lineEdit()->installEventFilter(this);
    m_browse->setProperty("controlId", 5234);
    m_authLabel->setProperty("controlId", 5231);
    m_user->setProperty("controlId", 5230);
    m_passwordLabel->setProperty("controlId", 5228);
    m_passwordLabel->setBuddy(m_password);
    m_password->setProperty("controlId", 5229);
    m_password->setEchoMode(QLineEdit::Password);
    m_previewCtrl->setProperty("controlId", 5274);
    m_previewCtrl->setHeaderHidden(true);

    auto* worldView = new QGroupBox(QStringLiteral("World View"), this);
    auto* fields = new QGridLayout(worldView);
    fields->addWidget(new QLabel(QStringLiteral("Address:"), worldView), 0, 0);
    fields->addWidget(m_address, 0, 1, 1, 3);
    fields->addWidget(m_browse, 0, 4);
    fields->addWidget(m_authLabel, 1, 0);
    fields->addWidget(m_user, 1, 1);
    fields->addWidget(m_passwordLabel, 1, 2);
    fields->addWidget(m_password, 1, 3);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    auto* preview = new QGroupBox(QStringLiteral("Preview"), this);
    preview->setProperty("controlId", 5388);
    auto* previewLayout = new QVBoxLayout(preview);
    previewLayout->addWidget(m_previewCtrl);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(worldView);
    layout->addWidget(preview, 1);

    connect(m_address, &QComboBox::activated, this, [this] { OnAddressSelChange(); });
    connect(m_address->lineEdit(), &QLineEdit::textEdited, this, [this] { onEditChange(); });
    connect(m_user, &QLineEdit::textEdited, this, [this] { storeCredentials(); });
    connect(m_password, &QLineEdit::textEdited, this, [this] { storeCredentials(); });
    connect(m_browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
}

COptionsPanel1::~COptionsPanel1() {
    ClearPreview();
}

QString COptionsPanel1::hint() const {
    QString text;
    m_dialog.Site().LangPack().LoadResString(text, kHintString);
    return text;
}

QString COptionsPanel1::AddressText() const {
    return m_address->currentText();
}

QString COptionsPanel1::normalisedAddress() const {
    return NormaliseWorldViewAddress(AddressText(), hint());
}

int COptionsPanel1::currentSelection() const {
    const int index = m_address->currentIndex();
    return index >= 0 && m_address->itemText(index) == m_address->currentText() ? index : -1;
}

void COptionsPanel1::fillCombo() {
    m_previewFile.FillWorldViewCombo(*m_address);
}

void COptionsPanel1::OnInitDialog() {
    m_preview.AttachTreeCtrl(m_previewCtrl);
    fillCombo();
    m_initialAddress = AddressText();
    QString user;
    QString password;
    m_dialog.Site().Prefs().GetCredentials(m_initialAddress, user, password);
    m_user->setText(user);
    m_password->setText(password);
}

void COptionsPanel1::showCredentialFields(bool show) {
    m_authLabel->setVisible(show);
    m_passwordLabel->setVisible(show);
    m_user->setVisible(show);
    m_password->setVisible(show);
}

void COptionsPanel1::UpdateControls() {
    const QString address = AddressText();
    kDebugLog(u"UpdateControls(): %s\n", address);
    m_browse->setEnabled(true);
    showCredentialFields(false);
    const CLangPack& pack = m_dialog.Site().LangPack();
    QString label;
    if (address.startsWith(u"http:")) {
        pack.LoadResString(label, kHttpAuthString);
        m_authLabel->setText(label);
        showCredentialFields(true);
        m_browse->setEnabled(false);
    } else if (address.startsWith(u"https:")) {
        m_browse->setEnabled(false);
    } else if (address.startsWith(u"ftp:")) {
        pack.LoadResString(label, kFtpAccountString);
        m_authLabel->setText(label);
        showCredentialFields(true);
        m_browse->setEnabled(false);
    }
}

void COptionsPanel1::ClearPreview() {
    if (m_preview.GetTreeCtrl() != nullptr) {
        m_preview.DeleteItem(m_preview.RootLevel());
    }
}

void COptionsPanel1::LoadPreview() {
    loadPreview(false);
}

void COptionsPanel1::loadPreview(bool rerun) {
    const CBusyCursor busy;
    UpdateControls();
    ClearPreview();
    const QString address = normalisedAddress();
    if (address.isEmpty()) {
        return;
    }
    COptionsSite& site = m_dialog.Site();
    if (m_previewFile.LoadWorldView(address) != 0) {
        m_lastGoodSelection = currentSelection();
        site.Prefs().SetString(QStringLiteral("ZWV"), address);
        return;
    }
    // One more try after the user was told; a second failure (say, the save
    // below failed too) leaves the page as it is rather than asking forever.
    if (rerun) {
        return;
    }
    if (currentSelection() == m_lastGoodSelection) {
        QString text;
        site.LangPack().LoadResString(text, kNoSavedWorldViewString);
        if (site.MessageBox(text, kPopupInformation) == kAnswerOk) {
            site.SaveWorldView();
            fillCombo();
            loadPreview(true);
        }
        return;
    }
    if (site.MessageBox(QStringLiteral("Error reading World View file: \n") + address +
                            QStringLiteral("\nReverting to previous World View selection. \n"
                                           "Select a different World View."),
                        kPopupInformation) == kAnswerOk) {
        m_address->setCurrentIndex(m_lastGoodSelection);
        loadPreview(true);
    }
}

void COptionsPanel1::ApplyAddress() {
    const CBusyCursor busy;
    LoadPreview();
    const QString address = normalisedAddress();
    if (address.isEmpty()) {
        return;
    }
    m_browse->setEnabled(false);
    showCredentialFields(false);
    m_dialog.Site().Prefs().SetCurrentWorldView(address, m_user->text(), m_password->text());
    fillCombo();
    UpdateControls();
}

void COptionsPanel1::OnAddressSelChange() {
    const CBusyCursor busy;
    LoadPreview();
    QString user;
    QString password;
    m_dialog.Site().Prefs().GetCredentials(AddressText(), user, password);
    m_user->setText(user);
    m_password->setText(password);
    m_changed = AddressText() != m_initialAddress;
}

void COptionsPanel1::onEditChange() {
    UpdateControls();
    m_changed = AddressText() != m_initialAddress;
}

void COptionsPanel1::storeCredentials() {
    m_dialog.Site().Prefs().SetCredentials(AddressText(), m_user->text(), m_password->text());
}

void COptionsPanel1::OnBrowse() {
    const QString current = AddressText();
    const QString folder = BrowseFolderOf(current != hint() ? current : QString());
    QString path;
    if (!m_dialog.Site().PromptForFile(true, path, folder + QStringLiteral("/*.zwv"),
                                       QStringLiteral("zwv"),
                                       QStringLiteral("Zorvic World View (*.zwv)|*.zwv|All "
                                                      "Files|*.*||"),
                                       this)) {
        return;
    }
    m_dialog.Site().Prefs().SetCurrentWorldView(path, QString(), QString());
    fillCombo();
    ApplyAddress();
    m_changed = true;
}

bool COptionsPanel1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_address->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            kDebugLog(u"Panel1::OnOK()\n");
            ApplyAddress();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
