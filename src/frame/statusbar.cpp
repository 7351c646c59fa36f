#include "frame/statusbar.h"

#include "resources/strings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar59393"));
    for (size_t pane = 0; pane < m_panes.size(); ++pane) {
        auto* label = new QLabel(this);
        label->setProperty("controlId", kIndicators[pane]);
        if (pane == 0) {
            label->setMinimumWidth(1);
            addWidget(label, 1);
        } else {
            // The width texts hold underscores and bars only; their width is
            // the pane's, whatever the font.
            const QString widthText = LoadResourceString(static_cast<unsigned>(kIndicators[pane]));
            label->setFixedWidth(label->fontMetrics().horizontalAdvance(widthText));
            label->setFrameShape(QFrame::StyledPanel);
            addPermanentWidget(label);
        }
        m_panes[pane] = label;
    }
}

int CStatusBar::PaneOfIndicator(int indicatorId) {
    for (size_t pane = 0; pane < kIndicators.size(); ++pane) {
        if (kIndicators[pane] == indicatorId) {
            return static_cast<int>(pane);
        }
    }
    return -1;
}

QLabel* CStatusBar::Pane(int pane) const {
    return pane >= 0 && pane < static_cast<int>(m_panes.size()) ? m_panes[static_cast<size_t>(pane)]
                                                                : nullptr;
}

bool CStatusBar::SetPaneText(int pane, const QString& text) {
    QLabel* label = Pane(pane);
    if (label == nullptr) {
        return false;
    }
    if (pane == kMessagePane) {
        m_messageText = text;
    }
    label->setText(text);
    return true;
}

void CStatusBar::ShowPrompt(const QString& prompt) {
    Pane(kMessagePane)->setText(prompt);
}

void CStatusBar::EndPrompt() {
    Pane(kMessagePane)->setText(m_messageText);
}

QString CStatusBar::PaneText(int pane) const {
    const QLabel* label = Pane(pane);
    return label != nullptr ? label->text() : QString();
}

QProgressBar* CStatusBar::ShowProgressControl() {
    if (m_progress == nullptr) {
        QLabel* pane = Pane(PaneOfIndicator(kProgressPane));
        auto* layout = pane->layout() != nullptr ? pane->layout() : new QHBoxLayout(pane);
        layout->setContentsMargins(1, 1, 1, 1);
        m_progress = new QProgressBar(pane);
        m_progress->setTextVisible(false);
        layout->addWidget(m_progress);
    }
    m_progress->show();
    return m_progress;
}

void CStatusBar::HideProgressControl() {
    delete m_progress;
    m_progress = nullptr;
}
