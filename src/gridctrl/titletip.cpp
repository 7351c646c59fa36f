#include "gridctrl/titletip.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QWindow>

CTitleTip::CTitleTip(QWidget* grid)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus),
      m_grid(grid) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("CTitleTip"));
}

QString CTitleTip::Wrap(const QString& text, const QFontMetrics& metrics, int screenWidth,
                        bool& wrapped) {
    wrapped = false;
    const int width = metrics.horizontalAdvance(text);
    if (screenWidth <= 0 || width <= screenWidth / 2) {
        return text;
    }
    const double ratio = static_cast<double>(width) / (screenWidth / 3);
    const int perLine = static_cast<int>(text.size() / qMax(1, static_cast<int>(ratio)));
    const int target = metrics.horizontalAdvance(text.left(perLine));
    QString result;
    qsizetype lineStart = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const bool lineFull =
            metrics.horizontalAdvance(text.mid(lineStart, at - lineStart)) >= target;
        if (text.at(at) == u' ' && lineFull) {
            result += text.mid(lineStart, at - lineStart);
            result += u'\n';
            lineStart = at + 1;
            wrapped = true;
        }
    }
    result += text.mid(lineStart);
    return result;
}

QRect CTitleTip::Placement(QPoint cellCorner, QSize textSize, const QRect& screen, bool wrapped) {
    QRect rect(cellCorner, QSize(textSize.width() + 2, textSize.height()));
    if (rect.right() > screen.right()) {
        rect.moveRight(screen.right());
    }
    if (rect.left() < screen.left()) {
        rect.moveLeft(screen.left());
    }
    if (wrapped) {
        rect.translate(0, -rect.height());
    }
    return rect;
}

bool CTitleTip::Show(QRect titleRect, const QString& text, int xOffset, const QRect* hoverRect,
                     const QFont* font, GridColour textColour, GridColour backColour,
                     bool headerRow) {
    if (titleRect.isEmpty() || isVisible()) {
        return false;
    }
    const QRect hover = hoverRect != nullptr ? *hoverRect : titleRect;
    m_hoverRect = QRect(m_grid->mapToGlobal(hover.topLeft()), hover.size() + QSize(1, 1));
    if (QApplication::focusWidget() == nullptr) {
        return false;
    }
    const QRect title(m_grid->mapToGlobal(titleRect.topLeft()), titleRect.size());
    // The screen that holds the cell, which need not be the primary one.
    QScreen* screen = QGuiApplication::screenAt(title.center());
    if (screen == nullptr) {
        screen = m_grid->screen();
    }
    const QRect screenRect = screen->geometry();
    m_font = font != nullptr ? *font : m_grid->font();
    const QFontMetrics metrics(m_font);
    bool wrapped = false;
    m_text = Wrap(QStringLiteral(" ") + text + QStringLiteral(" "), metrics, screenRect.width(),
                  wrapped);
    const QStringList lines = m_text.split(QRegularExpression(QStringLiteral("[\r\n]")));
    int widest = 0;
    for (const QString& line : lines) {
        widest = qMax(widest, metrics.size(Qt::TextExpandTabs, line).width());
    }
    const int height = static_cast<int>(lines.size()) * metrics.height() + 2;
    const int room = titleRect.width() + metrics.horizontalAdvance(u' ') + (headerRow ? -1 : 1);
    if (widest - xOffset < room && !wrapped) {
        return false;
    }
    m_textColour = textColour;
    m_backColour = backColour;
    setGeometry(Placement(title.topLeft(), QSize(widest, height), screenRect, wrapped));
    show();
    // The X11 window is made without the input-transparency its flags ask
    // for and would take the pointer from the grid, which then hides the
    // tip as left: setting the flag again on the shown window passes the
    // pointer through.
    windowHandle()->setFlag(Qt::WindowTransparentForInput, false);
    windowHandle()->setFlag(Qt::WindowTransparentForInput, true);
    raise();
    update();
    return true;
}

void CTitleTip::Hide() {
    if (isVisible()) {
        hide();
    }
}

void CTitleTip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), m_backColour.IsDefault() ? colours.color(QPalette::ToolTipBase)
                                                      : m_backColour.ToQColor());
    painter.setPen(colours.color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(m_textColour.IsDefault() ? colours.color(QPalette::ToolTipText)
                                            : m_textColour.ToQColor());
    painter.setFont(m_font);
    painter.drawText(rect().adjusted(1, 1, -1, -1),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextExpandTabs, m_text);
}
