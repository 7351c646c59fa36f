#include "dialogs/aboutdialog.h"

#include "dialogs/aboutsite.h"
#include "framework/kformat.h"
#include "resources/htmlpages.h"
#include "settings/buildstamp.h"
#include "settings/preferences.h"
#include "tree/treeimages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

constexpr char16_t kMenuDebugKey[] = u"MenuDebug";

QLabel* aboutStatic(QWidget* parent, int id, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setProperty("controlId", id);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// The page with its body's content replaced by the given HTML.
QString withBody(const QString& page, const QString& body) {
    const qsizetype open = page.indexOf(QStringLiteral("<body"), 0, Qt::CaseInsensitive);
    const qsizetype start = open < 0 ? -1 : page.indexOf(u'>', open);
    const qsizetype end = page.lastIndexOf(QStringLiteral("</body>"), -1, Qt::CaseInsensitive);
    if (start < 0 || end < start) {
        return body;
    }
    return page.left(start + 1) + u'\n' + body + page.mid(end);
}

}  // namespace

QString CAboutDialog::CompilerVersionText() {
#if defined(__clang__)
    return QStringLiteral("Clang " __clang_version__);
#elif defined(__GNUC__)
    return QStringLiteral("GCC " __VERSION__);
#else
    return QStringLiteral("unknown compiler");
#endif
}

CAboutDialog::CAboutDialog(CAboutSite& site, QWidget* parent) : QDialog(parent), m_site(site) {
    setWindowTitle(QStringLiteral("Quillet for Velnix"));
    setProperty("templateId", kTemplateId);

    m_icon = aboutStatic(this, 5284);
    m_icon->setPixmap(TreeImageIcon(kImageRoot).pixmap(32, 32));
    m_icon->setFixedSize(40, 40);
    m_icon->setAlignment(Qt::AlignCenter);
    m_icon->setTextInteractionFlags(Qt::NoTextInteraction);
    m_icon->installEventFilter(this);
    m_build = aboutStatic(this, 5156,
                          kFormat(u"%s [PV=%s]", GetVersionString(false), QStringLiteral("2009")));
    m_modulePath = aboutStatic(this, 5202, m_site.ModulePath());
    m_compiler = aboutStatic(this, 5293, CompilerVersionText());

    auto* facts = new QGridLayout;
    facts->addWidget(m_icon, 0, 0, 3, 1, Qt::AlignTop);
    facts->addWidget(new QLabel(QStringLiteral("Build# (burned-in):"), this), 0, 1);
    facts->addWidget(m_build, 0, 2);
    facts->addWidget(new QLabel(QStringLiteral("Running from:"), this), 1, 1);
    facts->addWidget(m_modulePath, 1, 2);
    facts->addWidget(new QLabel(QStringLiteral("Compiler Version:"), this), 2, 1);
    facts->addWidget(m_compiler, 2, 2);
    facts->setColumnStretch(2, 1);

    m_developer = new QGroupBox(
        QStringLiteral(
            "DEVELOPER HOOKS   --- do Right-mouse-click Doubleclick on Globe to hide ---"),
        this);
    m_developer->setProperty("controlId", 5285);
    m_playback = new QPushButton(QStringLiteral("Click here for playback options..."), m_developer);
    m_playback->setProperty("controlId", 5026);
    m_trail = new QTextBrowser(m_developer);
    m_trail->setProperty("controlId", 5328);
    m_trail->setAccessibleName(QStringLiteral("Url Trail Browser"));
    // Our own page: its links are for reading, not for leaving the box.
    m_trail->setOpenLinks(false);
    m_trail->setMinimumHeight(200);

    auto* login = new QGroupBox(QStringLiteral("Developer Login to All machines in the WorldView"),
                                m_developer);
    m_hosts = new QLineEdit(login);
    m_hosts->setProperty("controlId", 5240);
    m_updateCmi = new QCheckBox(QStringLiteral("Update CMI"), login);
    m_updateCmi->setProperty("controlId", 5072);
    m_updateCmi->hide();
    m_beginLogin = new QPushButton(QStringLiteral("&Begin logging in now..."), login);
    m_beginLogin->setProperty("controlId", 5031);
    auto* loginLayout = new QHBoxLayout(login);
    loginLayout->addWidget(new QLabel(QStringLiteral("Restrict To Hosts:"), login));
    loginLayout->addWidget(m_hosts, 1);
    loginLayout->addWidget(m_updateCmi);
    loginLayout->addWidget(m_beginLogin);

    m_menuDebug = new QCheckBox(QStringLiteral("Menu Debugging (old)"), m_developer);
    m_menuDebug->setProperty("controlId", 5066);
    m_menuDebug->setChecked(m_site.Prefs().GetInt(QString::fromUtf16(kMenuDebugKey), 0) != 0);

    auto* trailHeader = new QHBoxLayout;
    trailHeader->addWidget(new QLabel(QStringLiteral("URL Trail (most recent on top):"), this));
    trailHeader->addStretch();
    trailHeader->addWidget(m_playback);
    auto* developerLayout = new QVBoxLayout(m_developer);
    developerLayout->addLayout(trailHeader);
    developerLayout->addWidget(m_trail, 1);
    developerLayout->addWidget(login);
    developerLayout->addWidget(m_menuDebug);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(facts);
    layout->addWidget(m_developer, 1);
    resize(760, 560);

    connect(m_menuDebug, &QCheckBox::toggled, this, &CAboutDialog::OnMenuDebug);
    connect(m_playback, &QPushButton::clicked, this, &CAboutDialog::OnPlaybackOptions);
    connect(m_beginLogin, &QPushButton::clicked, this, &CAboutDialog::OnBeginLogin);

    ShowURLTrail();
    // The first layout always collapses, whatever the state held.
    ToggleDeveloperHooks();
}

bool CAboutDialog::DeveloperHooksShown() const {
    return !m_developer->isHidden();
}

void CAboutDialog::ToggleDeveloperHooks(std::optional<QPoint> globalPoint) {
    if (globalPoint.has_value()) {
        const QRect icon(m_icon->mapToGlobal(QPoint(0, 0)), m_icon->size());
        // Edges included: the rectangle's right and bottom lines count too.
        if (globalPoint->x() < icon.left() || globalPoint->x() > icon.left() + icon.width() ||
            globalPoint->y() < icon.top() || globalPoint->y() > icon.top() + icon.height()) {
            return;
        }
    }
    const bool expand = m_layoutState == kCollapsed;
    m_layoutState = expand ? kExpanded : kCollapsed;
    m_developer->setVisible(expand);
    if (expand) {
        resize(width(), std::max(height(), sizeHint().height() + 200));
    } else {
        layout()->activate();
        resize(width(), minimumSizeHint().height());
    }
    ShowURLTrail();
}

void CAboutDialog::ShowURLTrail() {
    m_trail->setHtml(
        withBody(LoadHtmlResource(QStringLiteral("URLTRAIL.HTM")), m_site.URLTrailHTML()));
}

void CAboutDialog::OnMenuDebug() {
    m_site.Prefs().SetInt(QString::fromUtf16(kMenuDebugKey), m_menuDebug->isChecked() ? 1 : 0);
}

void CAboutDialog::OnPlaybackOptions() {
    m_site.ShowPlaybackOptions(this);
}

void CAboutDialog::OnBeginLogin() {
    const QString hosts = m_hosts->text();
    reject();
    m_site.LoginAllMatching(hosts);
}

bool CAboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_icon && event->type() == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<const QMouseEvent*>(event);
        if (click->button() == Qt::RightButton) {
            ToggleDeveloperHooks(click->globalPosition().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CAboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        placeBelowCentre();
    }
}

void CAboutDialog::placeBelowCentre() {
    // Centred, then 200 pixels lower, as long as it stays on the screen.
    const QRect area = parentWidget() != nullptr ? parentWidget()->window()->frameGeometry()
                                                 : screen()->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    frame.translate(0, 200);
    const QRect screenArea = screen()->availableGeometry();
    if (frame.bottom() > screenArea.bottom()) {
        frame.moveBottom(screenArea.bottom());
    }
    frame.moveTop(std::max(frame.top(), screenArea.top()));
    move(frame.topLeft());
}
