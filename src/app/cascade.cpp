#include "app/cascade.h"

QRect CCascade::Next(const QRect& leftPaneOnScreen, const QRect& rightPaneOnScreen) {
    m_step = m_step % kSteps + 1;
    const int offset = m_step * kStepPixels;
    const int left = leftPaneOnScreen.left() + offset;
    const int top = leftPaneOnScreen.top() + offset;
    // Edges as the pane's outer edges (left + width), not Qt's last pixel.
    const int right = rightPaneOnScreen.left() + rightPaneOnScreen.width() - kInset;
    const int bottom = rightPaneOnScreen.top() + rightPaneOnScreen.height() - kInset;
    return QRect(left, top, right - left, bottom - top);
}
