#include "gridctrl/griddefaultcell.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

CGridDefaultCell::CGridDefaultCell() {
    SetFormat(kDefaultCellFormat);
    CGridCellFont font;
    font.font = QGuiApplication::instance() != nullptr
                    ? QFontDatabase::systemFont(QFontDatabase::GeneralFont)
                    : QFont();
    SetFont(&font);
}

void CGridDefaultCell::SetFont(const CGridCellFont* font) {
    if (font == nullptr) {
        return;
    }
    m_font = *font;
    if (QGuiApplication::instance() == nullptr) {
        // No screen to measure on.
        SetMargin(3);
        m_width = 40;
        m_height = 16;
        return;
    }
    const QFontMetrics metrics(m_font.font);
    const QString sample = QStringLiteral(" XXXXXXXXXXXX ");
    SetMargin(static_cast<unsigned>(metrics.horizontalAdvance(QLatin1Char(' '))));
    m_width = metrics.horizontalAdvance(sample);
    m_height = metrics.height() * 3 / 2;
}
