#include "dialogs/splashabout.h"

#include "dialogs/thirdparty.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "resources/bitmaps.h"
#include "settings/buildstamp.h"
#include "tree/treetexts.h"

#include <QDesktopServices>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolTip>
#include <QUrl>

namespace {

QPointer<CSplashAbout> g_splashAbout;
int g_splashMode = 0;

QFont splashFont(int pixelSize, bool bold = false, bool underline = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QLabel* splashLabel(QWidget* parent, const QString& text, const QRect& place, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

const QString& CSplashAbout::MakerPageURL() {
    static const QString url = QStringLiteral("https://www.zorvic.com/");
    return url;
}

CSplashAbout::CSplashAbout(const QPixmap& bitmap, QWidget* parent)
    : CInputCheckWindow(TranslatedResourceString(462), bitmap.size(), parent), m_bitmap(bitmap) {
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
}

void CSplashAbout::ShowSplashAbout(QWidget* parent) {
    if (CSplashAbout* shown = Instance()) {
        shown->update();
        shown->raise();
        return;
    }
    const QPixmap bitmap = LoadBitmapResource(IDB_SPLASH_ABOUT);
    if (bitmap.isNull()) {
        kErrorLog(u"ShowSplashAbout(): no bitmap %u\n", static_cast<unsigned>(IDB_SPLASH_ABOUT));
        return;
    }
    g_splashAbout = new CSplashAbout(bitmap, parent);
    g_splashAbout->fill();
    g_splashAbout->showCentred(parent);
    g_splashAbout->m_ok->setFocus();
}

void CSplashAbout::SetSplashMode(int mode) {
    g_splashMode = mode;
}

void CSplashAbout::Hide() {
    if (CSplashAbout* shown = Instance()) {
        shown->DestroyWindow();
    }
}

CSplashAbout* CSplashAbout::Instance() {
    return g_splashAbout != nullptr && !g_splashAbout->IsClosing() ? g_splashAbout.data() : nullptr;
}

void CSplashAbout::fill() {
    const int textWidth = 453 - 20;
    auto* name = splashLabel(this, TranslatedResourceString(457), QRect(107, 80, 200, 18),
                             splashFont(12, true));
    name->setWordWrap(false);

    m_version = new QPlainTextEdit(this);
    m_version->setProperty("controlId", 5277);
    m_version->setReadOnly(true);
    m_version->setFrameShape(QFrame::NoFrame);
    m_version->setGeometry(105, 100, textWidth, 50);
    QString version = kFormat(u"Version %s", GetVersionString(false));
    if (!GetBuildNote().isEmpty()) {
        version += kFormat(u"\nBuild note: %s", GetBuildNote());
    }
    m_version->setPlainText(version);

    splashLabel(this, TranslatedResourceString(558), QRect(107, 170, textWidth, 100),
                splashFont(10));
    splashLabel(this, TranslatedResourceString(461), QRect(107, 200, 435, 100), splashFont(10));

    m_notices = new QLabel(this);
    m_notices->setFont(splashFont(10, false, true));
    m_notices->setText(kFormat(u"<a href=\"%d\">%s</a>", kNoticesCommand,
                               TranslatedResourceString(455).toHtmlEscaped()));
    m_notices->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    m_notices->move(107, 320);
    m_notices->adjustSize();
    connect(m_notices, &QLabel::linkActivated, this,
            [this](const QString& command) { OnCommand(command.toInt()); });

    m_ok = new QPushButton(TranslatedResourceString(200), this);
    m_ok->setProperty("controlId", 1);
    m_ok->setGeometry(453 - 1, 315, 70, 25);
    connect(m_ok, &QPushButton::clicked, this, [this] { OnCommand(1); });
    // The hand belongs to the maker's name alone: a child entered straight
    // from it must not inherit it.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != m_notices) {
            child->setCursor(Qt::ArrowCursor);
        }
    }
    m_notices->setCursor(Qt::PointingHandCursor);
}

void CSplashAbout::OnCommand(int id) {
    if (id == 1) {
        DestroyWindow();
    } else if (id == kNoticesCommand) {
        CThirdParty::ShowThirdParty();
    }
}

bool CSplashAbout::InHotArea(QPoint position) {
    return position.x() > kSplashMakerLeft - 1 && position.x() <= kSplashMakerRight &&
           position.y() >= kSplashMakerTop && position.y() <= kSplashMakerBottom;
}

bool CSplashAbout::KeepsPress(const QWidget*, QPoint windowPosition) const {
    // A press the link leaves unused goes on to the window at the same place.
    return InHotArea(windowPosition) || m_notices->geometry().contains(windowPosition);
}

void CSplashAbout::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_bitmap);
}

void CSplashAbout::trackHotArea(QPoint position, QPoint globalPosition) {
    const bool inside = InHotArea(position);
    if (inside == m_inHotArea) {
        return;
    }
    m_inHotArea = inside;
    if (inside) {
        setCursor(Qt::PointingHandCursor);
        QToolTip::showText(globalPosition, TranslatedResourceString(458), this);
    } else {
        setCursor(Qt::ArrowCursor);
        QToolTip::hideText();
    }
}

void CSplashAbout::mouseMoveEvent(QMouseEvent* event) {
    trackHotArea(event->position().toPoint(), event->globalPosition().toPoint());
}

void CSplashAbout::leaveEvent(QEvent*) {
    trackHotArea(QPoint(-1, -1), {});
}

void CSplashAbout::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && InHotArea(event->position().toPoint())) {
        QDesktopServices::openUrl(QUrl(MakerPageURL()));
    }
}
