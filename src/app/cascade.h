#pragma once

// Where the next cascading window opens: each call moves ten pixels further
// down and right from the World View pane's corner, for twelve steps, then
// starts again; the window ends 120 pixels inside the right-hand pane's
// bottom-right corner. All rectangles are in screen coordinates.

#include <QRect>

class CCascade {
public:
    static constexpr int kSteps = 12;
    static constexpr int kStepPixels = 10;
    static constexpr int kInset = 120;

    QRect Next(const QRect& leftPaneOnScreen, const QRect& rightPaneOnScreen);

private:
    int m_step = 0;
};
