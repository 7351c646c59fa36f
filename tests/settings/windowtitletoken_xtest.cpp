#include "settings/windowtitletoken.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QTest>
#include <QWidget>

namespace {

// Polls until the X server lists a title, for at most a few seconds.
bool waitForTitle(const QString& title) {
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (TopLevelWindowTitles().contains(title)) {
            return true;
        }
        QTest::qWait(20);
    }
    return false;
}

TEST(WindowTitleTokenXTest, FindsTheTokenOfAVisibleWindow) {
    QWidget plain;
    plain.setWindowTitle(QStringLiteral("No token here"));
    plain.show();
    QWidget announcing;
    announcing.setWindowTitle(QStringLiteral("Help viewer [> chapter \u00e9 <]  "));
    announcing.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&announcing));
    ASSERT_TRUE(waitForTitle(QStringLiteral("Help viewer [> chapter \u00e9 <]  ")));
    EXPECT_EQ(FindWindowTitleToken(), QStringLiteral("chapter \u00e9"));
    EXPECT_EQ(GetWindowTitleToken(), QStringLiteral("chapter \u00e9"));

    announcing.hide();
    QDeadlineTimer deadline(5000);
    while (!FindWindowTitleToken().isEmpty() && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    EXPECT_TRUE(FindWindowTitleToken().isEmpty());
}

TEST(WindowTitleTokenXTest, OwnedWindowsArePassedOver) {
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("Owner"));
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    QWidget dialog(&owner, Qt::Dialog);
    dialog.setWindowTitle(QStringLiteral("Dialog [> owned <]"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(waitForTitle(QStringLiteral("Owner")));
    EXPECT_TRUE(FindWindowTitleToken().isEmpty());
}

}  // namespace
