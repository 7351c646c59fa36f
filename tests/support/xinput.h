#pragma once

// Real X input through xdotool, for the tests that run under an X server.
// xdotool starts as a ChildProcess, not a QProcess, for the thread
// sanitizer's sake (see childprocess.h).

#include "support/childprocess.h"

#include <QGuiApplication>
#include <QList>
#include <QPoint>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

// What a desktop test lacks here: an X server, and xdotool when it moves the
// real pointer. Empty when it has both.
inline QString missingDesktop(bool needsPointer) {
    if (QGuiApplication::platformName() != u"xcb") {
        return QStringLiteral("needs an X server (run under xvfb-run)");
    }
    if (needsPointer && QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        return QStringLiteral("needs xdotool");
    }
    return {};
}

// Skips the running test when missingDesktop names something: a skip must
// be written in the test's own function.
#define QUILLEX_SKIP_WITHOUT_DESKTOP(needsPointer)            \
    do {                                                      \
        const QString missing = missingDesktop(needsPointer); \
        if (!missing.isEmpty()) {                             \
            GTEST_SKIP() << missing.toStdString();            \
        }                                                     \
    } while (false)

inline constexpr int kXdotoolTimeoutMs = 20000;

inline bool xdotool(const QStringList& arguments) {
    QByteArray output;
    return RunChildProcess(QStringLiteral("xdotool"), arguments, output, kXdotoolTimeoutMs) == 0;
}

inline bool moveTo(QPoint global) {
    return xdotool(
        {QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
}

// Keys typed on the real keyboard, one after the other ("alt", "Left",
// "alt+f"...), with a pause after each so the program sees them apart.
inline bool typeKeys(const QStringList& keys) {
    QStringList arguments;
    for (const QString& key : keys) {
        arguments << QStringLiteral("key") << key << QStringLiteral("sleep")
                  << QStringLiteral("0.2");
    }
    return xdotool(arguments);
}

// A double-click of the right button at a point of the screen.
inline bool rightDoubleClickAt(QPoint global) {
    return moveTo(global) && xdotool({QStringLiteral("click"), QStringLiteral("--repeat"),
                                      QStringLiteral("2"), QStringLiteral("3")});
}

// A left click, or a double-click with `count` 2, at a point of the screen.
inline bool clickAt(QPoint global, int count = 1) {
    return moveTo(global) && xdotool({QStringLiteral("click"), QStringLiteral("--repeat"),
                                      QString::number(count), QStringLiteral("1")});
}

// Presses the left button at the path's first point, moves through the
// others with a pause after each and releases at the last; a key named is
// held from step `keyFrom` of the path until after the release. xdotool runs
// as a process of its own while this thread handles events: a drag's loop
// holds the thread until the button is up.
inline bool pointerDrag(const QList<QPoint>& path, const QString& key = {}, int keyFrom = 0) {
    QStringList arguments;
    for (int step = 0; step < path.size(); ++step) {
        if (!key.isEmpty() && step == keyFrom) {
            arguments << QStringLiteral("keydown") << key;
        }
        arguments << QStringLiteral("mousemove") << QString::number(path[step].x())
                  << QString::number(path[step].y()) << QStringLiteral("sleep")
                  << QStringLiteral("0.15");
        if (step == 0) {
            arguments << QStringLiteral("mousedown") << QStringLiteral("1");
        }
    }
    arguments << QStringLiteral("mouseup") << QStringLiteral("1") << QStringLiteral("sleep")
              << QStringLiteral("0.3");
    if (!key.isEmpty()) {
        arguments << QStringLiteral("keyup") << key;
    }
    ChildProcess pointer;
    return pointer.Start(QStringLiteral("xdotool"), arguments, ChildProcess::Output::Forwarded) &&
           QTest::qWaitFor([&] { return !pointer.IsRunning(); }, kXdotoolTimeoutMs) &&
           pointer.ExitCode() == 0;
}

// The X windows shown with exactly this title, as xdotool's window ids.
inline QStringList visibleWindowsTitled(const QString& title) {
    QByteArray output;
    // xdotool search answers 1 when no window matches.
    if (RunChildProcess(QStringLiteral("xdotool"),
                        {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--name"), u'^' + QRegularExpression::escape(title) + u'$'},
                        output, kXdotoolTimeoutMs) < 0) {
        return {};
    }
    return QString::fromLatin1(output).split(u'\n', Qt::SkipEmptyParts);
}

// Clicks into the middle of a window (which gives it the keyboard) and
// presses a key there.
inline bool clickIntoWindowAndPress(const QString& window, const QString& key) {
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                    QStringLiteral("--polar"), QStringLiteral("0"), QStringLiteral("0"),
                    QStringLiteral("click"), QStringLiteral("1"), QStringLiteral("sleep"),
                    QStringLiteral("0.3"), QStringLiteral("key"), key});
}
