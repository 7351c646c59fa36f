#pragma once

// Real X input through xdotool, for the tests that run under an X server.

#include <QPoint>
#include <QProcess>
#include <QStringList>

inline bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

inline bool moveTo(QPoint global) {
    return xdotool(
        {QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
}

// A left click, or a double-click with `count` 2, at a point of the screen.
inline bool clickAt(QPoint global, int count = 1) {
    return moveTo(global) && xdotool({QStringLiteral("click"), QStringLiteral("--repeat"),
                                      QString::number(count), QStringLiteral("1")});
}
