#include "dialogs/optionspanel3.h"

#include "dialogs/optionsdialog.h"
#include "dialogs/optionssite.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "settings/settingsfolder.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct CheckBoxSetting {
    int controlId;
    const char16_t* text;
    const char16_t* key;
    int defaultValue;
};

constexpr std::array<CheckBoxSetting, COptionsPanel3::kCheckCount> kChecks{{
    {5449, u"Remember &User Names", u"StoreUsernames", 0},
    {5065, u"Remember &Passwords", u"StorePasswords", 0},
    {5066, u"&Log In Automatically", u"AutoLogin", 0},
    {5639, u"Require Smart Card Authentication", u"SCAuthentication", 0},
    {5573, u"Prompt User at Login", u"AskStorePass", 0},
    {5575, u"Filter element tables as you specify the filtering criteria", u"EnableRealtimeFilter",
     1},
    {5591, u" Show all elements, nodes or jobs  immediately", u"AutoGo", 1},
}};

constexpr int kShowAllString = 565;
constexpr int kFilterString = 566;
constexpr int kLongestItemsPerPage = 4;

// Files of the settings folder that stand in for services kept elsewhere on
// the original platform: the program needs them while it runs.
constexpr std::array<const char16_t*, 3> kKeptFiles{u"registry.json", u"Quillex.lock",
                                                     u"Quillex.socket"};

bool isTemporaryObject(const QString& name) {
    if (name.endsWith(u".zwv")) {
        return false;
    }
    for (const char16_t* kept : kKeptFiles) {
        if (name == QStringView(kept)) {
            return false;
        }
    }
    return true;
}

QString keyOf(const CheckBoxSetting& setting) {
    return QString::fromUtf16(setting.key);
}

}  // namespace

KPROPS& COptionsPanel3::TemporaryObjects() {
    static KPROPS objects(100, 10);
    return objects;
}

COptionsPanel3::COptionsPanel3(COptionsDialog& dialog)
    : m_dialog(dialog),
      m_objects(new QListWidget(this)),
      m_loginGroup(new QGroupBox(QStringLiteral("Remember Login"), this)),
      m_filterText(new QLabel(this)),
      m_showAllText(new QLabel(this)),
      m_itemsPerPage(new QLineEdit(this)),
      m_clear(new QPushButton(QStringLiteral("&Clear all Temporary Objects Now"), this)) {
    setProperty("templateId", kTemplateId);
    for (size_t i = 0; i < m_checks.size(); ++i) {
        m_checks[i] = new QCheckBox(QString::fromUtf16(kChecks[i].text), this);
        m_checks[i]->setProperty("controlId", kChecks[i].controlId);
        connect(m_checks[i], &QCheckBox::clicked, this, [this] { m_touched = true; });
    }
    // The automatic login needs both remembered; Qt has no idle pass, so the
    // state follows every toggle.
    for (Check check : {kStoreUsernames, kStorePasswords}) {
        connect(m_checks[check], &QCheckBox::toggled, this, [this] { UpdateAutoLogin(); });
    }
    m_loginGroup->setProperty("controlId", 5572);
    m_objects->setProperty("controlId", 5450);
    m_itemsPerPage->setProperty("controlId", 5024);
    m_itemsPerPage->setMaxLength(kLongestItemsPerPage);
    m_clear->setProperty("controlId", 5044);
    m_filterText->setProperty("controlId", 5589);
    m_filterText->setWordWrap(true);
    m_showAllText->setProperty("controlId", 5592);
    m_showAllText->setWordWrap(true);

    auto* login = new QVBoxLayout(m_loginGroup);
    for (Check check : {kStoreUsernames, kStorePasswords, kAutoLogin, kAskStorePass,
                        kSCAuthentication}) {
        login->addWidget(m_checks[check]);
    }
    auto* filter = new QGroupBox(QStringLiteral("Filter Table By"), this);
    filter->setProperty("controlId", 5579);
    auto* filterLayout = new QVBoxLayout(filter);
    filterLayout->addWidget(m_checks[kEnableRealtimeFilter]);
    filterLayout->addWidget(m_filterText);
    auto* display = new QGroupBox(QStringLiteral("Element, Node or Job Display"), this);
    display->setProperty("controlId", 5590);
    auto* displayLayout = new QVBoxLayout(display);
    displayLayout->addWidget(m_checks[kAutoGo]);
    displayLayout->addWidget(m_showAllText);
    auto* perPage = new QGroupBox(QStringLiteral("Items per Page"), this);
    perPage->setProperty("controlId", 5593);
    auto* perPageLayout = new QHBoxLayout(perPage);
    perPageLayout->addWidget(
        new QLabel(QStringLiteral("Number of elements, nodes or jobs shown on each page"), perPage));
    perPageLayout->addWidget(m_itemsPerPage);
    auto* temporary = new QGroupBox(QStringLiteral("Temporary Objects"), this);
    temporary->setProperty("controlId", 5574);
    auto* temporaryLayout = new QVBoxLayout(temporary);
    temporaryLayout->addWidget(m_objects);
    temporaryLayout->addWidget(m_clear);
    auto* settings = new QGroupBox(QStringLiteral("Advanced Settings"), this);
    auto* layout = new QVBoxLayout(settings);
    layout->addWidget(m_loginGroup);
    layout->addWidget(filter);
    layout->addWidget(display);
    layout->addWidget(perPage);
    layout->addWidget(temporary, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(settings);

    connect(m_itemsPerPage, &QLineEdit::textEdited, this, [this] { OnItemsPerPageChange(); });
    connect(m_clear, &QPushButton::clicked, this, [this] { OnClearTemporaryObjects(); });
}

void COptionsPanel3::OnInitDialog() {
    KPROPS& objects = TemporaryObjects();
    const QDir folder(Getlocalsettingsdir());
    for (const QFileInfo& entry :
         folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (isTemporaryObject(entry.fileName()) && objects.FindIndex(entry.filePath()) < 0) {
            objects.Add(entry.filePath(), QStringLiteral("file"));
        }
    }
    objects.Sort();
    Refill();
}

void COptionsPanel3::Refill() {
    COptionsSite& site = m_dialog.Site();
    const CLangPack& pack = site.LangPack();
    QString text;
    pack.LoadResString(text, kShowAllString);
    m_showAllText->setText(text);
    pack.LoadResString(text, kFilterString);
    m_filterText->setText(text);
    m_objects->clear();
    const KPROPS& objects = TemporaryObjects();
    for (int i = 0; i < objects.Count(); ++i) {
        const QString path = objects.GetNameAt(i);
        if (QFileInfo::exists(path)) {
            m_objects->addItem(path);
        }
    }
    const CPreferences& prefs = site.Prefs();
    for (size_t i = 0; i < m_checks.size(); ++i) {
        m_checks[i]->setChecked(prefs.GetInt(keyOf(kChecks[i]), kChecks[i].defaultValue) != 0);
    }
    m_initialItemsPerPage = prefs.GetString(QStringLiteral("ElementsPerChunk"), QStringLiteral("500"));
    m_itemsPerPage->setText(m_initialItemsPerPage);
    m_itemsPerPageChanged = false;
    if (prefs.GetInt(QStringLiteral("HideRememberLogin"), 0) != 0) {
        applyReducedLayout();
    }
    UpdateAutoLogin();
}

void COptionsPanel3::applyReducedLayout() {
    // The layout gives the room of the hidden group to the temporary objects.
    m_loginGroup->hide();
}

void COptionsPanel3::UpdateAutoLogin() {
    const bool allowed = m_checks[kStoreUsernames]->isChecked() && m_checks[kStorePasswords]->isChecked();
    if (!allowed) {
        m_checks[kAutoLogin]->setChecked(false);
    }
    m_checks[kAutoLogin]->setEnabled(allowed);
}

void COptionsPanel3::OnItemsPerPageChange() {
    bool number = false;
    const int value = m_itemsPerPage->text().toInt(&number);
    if (!number || value <= 0) {
        m_itemsPerPage->setText(QStringLiteral("1"));
    }
    m_itemsPerPageChanged = m_itemsPerPage->text() != m_initialItemsPerPage;
    m_touched = true;
}

void COptionsPanel3::OnClearTemporaryObjects() {
    const KPROPS& objects = TemporaryObjects();
    for (int i = 0; i < objects.Count(); ++i) {
        const QString path = objects.GetNameAt(i);
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink()) {
            // Removes an empty folder only, as the user was promised.
            QDir().rmdir(path);
        } else if (info.exists() || info.isSymLink()) {
            QFile::remove(path);
        }
    }
    CPreferences& prefs = m_dialog.Site().Prefs();
    prefs.Settings().Clear();
    prefs.InitFormatLists();
    Refill();
    m_dialog.RenewSnapshot();
}

void COptionsPanel3::Store(CPreferences& prefs) const {
    for (size_t i = 0; i < m_checks.size(); ++i) {
        prefs.SetInt(keyOf(kChecks[i]), m_checks[i]->isChecked() ? 1 : 0);
    }
    prefs.SetString(QStringLiteral("ElementsPerChunk"), m_itemsPerPage->text());
}
