#include "dialogs/optionsdialog.h"

#include "dialogs/optionspanel1.h"
#include "dialogs/optionspanel2.h"
#include "dialogs/optionspanel3.h"
#include "dialogs/optionspanel4.h"
#include "dialogs/optionspanel5.h"
#include "dialogs/optionspanel6.h"
#include "dialogs/optionssite.h"
#include "framework/klog.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "ui/busycursor.h"
#include "ui/popupmessages.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace {

int g_lastPageShown = 0;

constexpr int kWorldViewString = 411;
constexpr int kIconSize = 32;

struct PageIcon {
    const char* themeName;
    QStyle::StandardPixmap fallback;
};

// The pages' icons (resources 99, 305, 387, 310, 313 and 314 of the
// original console), taken from the icon theme, else from the style.
constexpr std::array<PageIcon, COptionsDialog::kPageCount> kPageIcons{{
    {"network-workgroup", QStyle::SP_DriveNetIcon},
    {"x-office-calendar", QStyle::SP_FileDialogDetailedView},
    {"preferences-system", QStyle::SP_ComputerIcon},
    {"utilities-terminal", QStyle::SP_MessageBoxInformation},
    {"accessories-dictionary", QStyle::SP_FileDialogContentsView},
    {"applications-other", QStyle::SP_FileIcon},
}};

constexpr std::array<const char16_t*, 3> kVisiblePages{u"World View", u"Date/Time", u"Advanced"};

const std::array<const char16_t*, 7> kDateTimeKeys{u"DateFormat",   u"DateFormatTF", u"DateFormatDF",
                                                   u"TimeFormat",   u"TimeFormatTF", u"TimeFormatDF",
                                                   u"DateTime"};

// The icon of a page, drawn at the list's icon size whatever sizes the
// theme or the style hold: some hold only a small one, which the list
// would show small beside the others.
QIcon pageIcon(int page, const QStyle& style) {
    const PageIcon& icon = kPageIcons[static_cast<size_t>(page)];
    const QIcon source =
        QIcon::fromTheme(QString::fromLatin1(icon.themeName), style.standardIcon(icon.fallback));
    const QSize size(kIconSize, kIconSize);
    QPixmap pixmap = source.pixmap(size);
    if (pixmap.deviceIndependentSize().toSize() != size) {
        pixmap = pixmap.scaled(size * pixmap.devicePixelRatio(), Qt::KeepAspectRatio,
                               Qt::SmoothTransformation);
    }
    return QIcon(pixmap);
}

void append(QString& status, const QString& message) {
    if (!status.isEmpty()) {
        status += QStringLiteral(", ");
    }
    status += message;
}

}  // namespace

QString NormaliseWorldViewAddress(const QString& address, const QString& hint) {
    return address == hint ? QString() : address;
}

COptionsDialog::COptionsDialog(COptionsSite& site, QWidget* parent, int startPage)
    : QDialog(parent),
      m_site(site),
      m_pageList(new QListWidget(this)),
      m_frame(new QStackedWidget(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_apply(new QPushButton(QStringLiteral("Apply"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_startPage(startPage),
      m_snapshot(site.Prefs()) {
    setWindowTitle(QStringLiteral("Options"));
    setProperty("templateId", kTemplateId);
    m_pageList->setObjectName(QStringLiteral("List1"));
    m_pageList->setProperty("controlId", 5225);
    m_pageList->setViewMode(QListView::IconMode);
    m_pageList->setFlow(QListView::TopToBottom);
    m_pageList->setMovement(QListView::Static);
    m_pageList->setWrapping(false);
    m_pageList->setIconSize(QSize(kIconSize, kIconSize));
    m_pageList->setFixedWidth(110);
    m_pageList->viewport()->installEventFilter(this);
    m_frame->setProperty("controlId", 5248);
    m_apply->setProperty("controlId", 5399);
    m_ok->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    auto* body = new QHBoxLayout;
    body->addWidget(m_pageList);
    body->addWidget(m_frame, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &COptionsDialog::accept);
    connect(m_apply, &QPushButton::clicked, this, &COptionsDialog::OnApply);
    connect(m_cancel, &QPushButton::clicked, this, &COptionsDialog::reject);
}

COptionsDialog::~COptionsDialog() = default;

int COptionsDialog::LastPageShown() {
    return g_lastPageShown;
}

void COptionsDialog::ResetLastPageShown() {
    g_lastPageShown = 0;
}

QWidget* COptionsDialog::page(int index) const {
    return m_frame->widget(index);
}

bool COptionsDialog::OnInitDialog() {
    if (m_initialised) {
        return true;
    }
    m_initialised = true;
    CPreferences& prefs = m_site.Prefs();
    if (m_site.IsWorldViewModified() &&
        m_site.MessageBox(QStringLiteral("The current World View has been modified.\r\n\r\nWould "
                                         "you like to save these changes?"),
                          kPopupYesNo) == kAnswerYes) {
        m_site.SaveWorldView();
    }
    prefs.SavePrefs(0);
    m_snapshot.Take();

    m_panel1 = new COptionsPanel1(*this);
    m_panel2 = new COptionsPanel2(*this);
    m_panel3 = new COptionsPanel3(*this);
    m_panel4 = new COptionsPanel4(*this);
    m_panel5 = new COptionsPanel5(*this);
    m_panel6 = new COptionsPanel6(*this);
    for (QWidget* panel : std::initializer_list<QWidget*>{m_panel1, m_panel2, m_panel3, m_panel4,
                                                          m_panel5, m_panel6}) {
        m_frame->addWidget(panel);
    }
    m_panel1->OnInitDialog();
    m_panel2->OnInitDialog();
    m_panel3->OnInitDialog();
    m_panel4->OnInitDialog();
    m_panel5->OnInitDialog();
    m_panel1->ApplyAddress();

    for (size_t i = 0; i < kVisiblePages.size(); ++i) {
        m_pageList->addItem(new QListWidgetItem(pageIcon(static_cast<int>(i), *style()),
                                                QString::fromUtf16(kVisiblePages[i])));
    }
    m_initialWorldView = prefs.GetString(QStringLiteral("ZWV"));
    m_dateTimeSnapshot = dateTimeSnapshot();
    SwitchPage(m_startPage == kStoredPage ? prefs.GetInt(QStringLiteral("OptionsList"), 0)
                                          : m_startPage);
    return true;
}

int COptionsDialog::exec() {
    OnInitDialog();
    return QDialog::exec();
}

int COptionsDialog::CurrentPage() const {
    return m_frame->currentIndex();
}

void COptionsDialog::SwitchPage(int page) {
    const CBusyCursor busy;
    const int highest = m_hiddenPagesShown ? kPageCount - 1 : 2;
    if (page < 0 || page > highest) {
        page = g_lastPageShown;
        if (page < 0 || page > highest) {
            page = 0;
        }
    }
    m_pageList->setCurrentRow(page);
    m_frame->setCurrentIndex(page);
    if (page == kEditorPage) {
        m_panel5->LoadEditor();
    }
    g_lastPageShown = page;
}

void COptionsDialog::addHiddenItems() {
    for (int i = 3; i < kPageCount; ++i) {
        m_pageList->addItem(new QListWidgetItem(pageIcon(i, *style()), QStringLiteral("HIDDEN")));
    }
}

void COptionsDialog::ToggleHiddenPages() {
    if (m_hiddenPagesShown) {
        for (int i = kPageCount - 1; i >= 3; --i) {
            delete m_pageList->takeItem(i);
        }
        m_hiddenPagesShown = false;
        SwitchPage(0);
        return;
    }
    addHiddenItems();
    m_hiddenPagesShown = true;
    SwitchPage(3);
}

bool COptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    const bool mouseDownOnPages = watched == m_pageList->viewport() &&
                                  (event->type() == QEvent::MouseButtonDblClick ||
                                   event->type() == QEvent::MouseButtonPress);
    if (mouseDownOnPages) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::RightButton) {
            ToggleHiddenPages();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress &&
            (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton)) {
            const QListWidgetItem* item = m_pageList->itemAt(mouse->position().toPoint());
            SwitchPage(item != nullptr ? m_pageList->row(item) : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString COptionsDialog::dateTimeSnapshot() const {
    QStringList values;
    for (const char16_t* key : kDateTimeKeys) {
        values << m_site.Prefs().GetString(QString::fromUtf16(key));
    }
    return values.join(u'|');
}

void COptionsDialog::OnApply() {
    const CBusyCursor busy;
    CPreferences& prefs = m_site.Prefs();
    QString status;
    const QList<QListWidgetItem*> selected = m_pageList->selectedItems();
    prefs.SetInt(QStringLiteral("OptionsList"),
                 selected.isEmpty() ? 0 : m_pageList->row(selected.first()));
    applyWorldView(status);
    applyDateTime(status);
    applyAdvanced();
    applyDebugging();
    if (m_panel5->IsEdited()) {
        m_panel5->SaveLanguagePack();
    }
    append(status, prefs.SavePrefs(0) != 0 ? QStringLiteral("Preferences saved.")
                                           : QStringLiteral("Preferences NOT saved."));
    m_site.SetStatusText(status);
    m_snapshot.Take();
}

void COptionsDialog::applyWorldView(QString& status) {
    CPreferences& prefs = m_site.Prefs();
    QString hint;
    m_site.LangPack().LoadResString(hint, kWorldViewString);
    const QString address = NormaliseWorldViewAddress(m_panel1->AddressText(), hint);
    if (address.isEmpty()) {
        return;
    }
    if (!m_site.IsWorldViewModified() && address == m_initialWorldView) {
        kDebugLog(u"OptionsDialog: no need to refresh main TreeView, since the ZWV URL did not "
                  u"change.\n");
    } else if (m_panel1->IsChanged()) {
        if (m_site.IsWorldViewModified() &&
            m_site.MessageBox(QStringLiteral("The current World View has been modified.\r\n\r\n"
                                             "Would you like to save these changes? If you press "
                                             "No - changes will be lost."),
                              kPopupYesNo) == kAnswerYes) {
            prefs.SetString(QStringLiteral("ZWV"), m_panel1->InitialAddress());
            m_site.SaveWorldView();
        }
        if (m_site.LoadWorldView(address)) {
            m_initialWorldView = address;
            append(status, QStringLiteral("World View updated"));
        } else {
            // The main tree still shows the World View it showed: a later
            // save must go to that file, not to the one that failed.
            prefs.SetString(QStringLiteral("ZWV"), m_initialWorldView);
            append(status, QStringLiteral("World View update FAILED"));
            return;
        }
    } else if (address != m_initialWorldView) {
        // Only the preview changed: the main tree keeps its World View.
        prefs.SetString(QStringLiteral("ZWV"), m_initialWorldView);
        return;
    }
    prefs.SetString(QStringLiteral("ZWV"), address);
}

void COptionsDialog::applyDateTime(QString& status) {
    if (!m_panel2->IsTouched()) {
        return;
    }
    m_panel2->Store(m_site.Prefs());
    const QString snapshot = dateTimeSnapshot();
    if (snapshot == m_dateTimeSnapshot) {
        return;
    }
    if (m_site.IsSmartTreeFolderSelected() && m_site.RebuildRightHandSide()) {
        append(status, QStringLiteral("New Date/Time settings applied to current window"));
    }
    m_dateTimeSnapshot = snapshot;
}

void COptionsDialog::applyAdvanced() {
    if (!m_panel3->IsTouched()) {
        return;
    }
    m_panel3->Store(m_site.Prefs());
    if (m_panel3->ItemsPerPageChanged() && m_site.IsChunkNavigatorShown()) {
        m_site.Refresh();
    }
}

void COptionsDialog::applyDebugging() {
    if (!m_panel4->IsTouched()) {
        return;
    }
    m_panel4->Store(m_site.Prefs());
    // The built-in texts first, so that a pack that no longer holds a text
    // does not keep the old pack's translation of it.
    CLangPack& pack = m_site.LangPack();
    pack.Load(QString());
    const QString path = m_site.Prefs().GetString(QStringLiteral("LanguagePack"));
    if (!path.isEmpty()) {
        pack.Load(path);
    }
}

void COptionsDialog::emptyPreview() {
    if (m_panel1 != nullptr) {
        m_panel1->ClearPreview();
    }
}

void COptionsDialog::OnOK() {
    const CBusyCursor busy;
    OnApply();
    emptyPreview();
    QDialog::accept();
}

void COptionsDialog::OnCancel() {
    const CBusyCursor busy;
    emptyPreview();
    m_snapshot.Restore();
    QDialog::reject();
}

void COptionsDialog::accept() {
    OnOK();
}

void COptionsDialog::reject() {
    OnCancel();
}
