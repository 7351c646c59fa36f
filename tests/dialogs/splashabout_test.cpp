#include "dialogs/splashabout.h"
#include "dialogs/thirdparty.h"
#include "support/urlcatcher.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Deletes what the windows left for later.
void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class SplashAboutTest : public ::testing::Test {
protected:
    void TearDown() override {
        CSplashAbout::Hide();
        if (CThirdParty* notices = CThirdParty::Instance()) {
            notices->DestroyWindow();
        }
        flushDeletes();
    }

    CSplashAbout* show() {
        CSplashAbout::SetSplashMode(0);
        CSplashAbout::ShowSplashAbout();
        CSplashAbout* splash = CSplashAbout::Instance();
        EXPECT_NE(splash, nullptr);
        return splash;
    }

    static QPoint hotAreaPoint() { return {180, 30}; }
};

TEST_F(SplashAboutTest, OneWindowWithTheProductTexts) {
    CSplashAbout* splash = show();
    ASSERT_NE(splash, nullptr);
    CSplashAbout::ShowSplashAbout();
    EXPECT_EQ(CSplashAbout::Instance(), splash);
    int windows = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        windows += qobject_cast<CSplashAbout*>(top) != nullptr && top->isVisible() ? 1 : 0;
    }
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(splash->windowTitle(), QStringLiteral("About Quillet for Velnix"));
    EXPECT_TRUE(splash->VersionText().toPlainText().startsWith(QStringLiteral("Version 6.3.0.")));
    EXPECT_TRUE(splash->VersionText().isReadOnly());
    EXPECT_EQ(splash->OkButton().text(), QStringLiteral("OK"));
    // The OK button fits inside the bitmap's window.
    EXPECT_TRUE(splash->rect().contains(splash->OkButton().geometry()));

    QTest::mouseClick(&splash->OkButton(), Qt::LeftButton);
    EXPECT_EQ(CSplashAbout::Instance(), nullptr);
    flushDeletes();

    // After the close box, even before the window is deleted, a show makes
    // a new one.
    CSplashAbout* closed = show();
    ASSERT_NE(closed, nullptr);
    closed->close();
    CSplashAbout* fresh = show();
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, closed);
    EXPECT_TRUE(fresh->isVisible());
}

TEST_F(SplashAboutTest, NextInputClosesTheWindowButItsLinksKeepTheirPresses) {
    // Whole clicks, so that no button stays down for the next case; the
    // maker's page they may open goes nowhere.
    UrlCatcher catcher;
    QLineEdit elsewhere;
    elsewhere.show();
    struct Case {
        const char* name;
        std::function<void(CSplashAbout&)> input;
        bool closes;
    };
    const Case cases[] = {
        {"key in another window", [&](CSplashAbout&) { QTest::keyClick(&elsewhere, Qt::Key_A); },
         true},
        {"key on the window", [](CSplashAbout& s) { QTest::keyClick(&s, Qt::Key_Escape); }, true},
        {"click in another window",
         [&](CSplashAbout&) { QTest::mouseClick(&elsewhere, Qt::LeftButton); }, true},
        {"right click on the bitmap",
         [](CSplashAbout& s) { QTest::mouseClick(&s, Qt::RightButton, {}, QPoint(300, 250)); },
         true},
        {"middle click on the version text",
         [](CSplashAbout& s) {
             QTest::mouseClick(s.VersionText().viewport(), Qt::MiddleButton, {}, QPoint(5, 5));
         },
         true},
        {"click in the maker's name",
         [](CSplashAbout& s) { QTest::mouseClick(&s, Qt::LeftButton, {}, hotAreaPoint()); }, false},
        {"click beside the maker's name",
         [](CSplashAbout& s) { QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(266, 30)); }, true},
        {"click on the notices link",
         [](CSplashAbout& s) {
             QTest::mouseClick(&s.NoticesLink(), Qt::LeftButton, {}, {3, 3});
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSplashAbout* splash = show();
        ASSERT_NE(splash, nullptr);
        QPointer<CSplashAbout> watch(splash);
        c.input(*splash);
        EXPECT_EQ(CSplashAbout::Instance() == nullptr, c.closes);
        CSplashAbout::Hide();
        flushDeletes();
        EXPECT_TRUE(watch.isNull());
    }
}

TEST_F(SplashAboutTest, MakersNameOpensTheMakersPage) {
    UrlCatcher catcher;
    CSplashAbout* splash = show();
    ASSERT_NE(splash, nullptr);

    QTest::mouseMove(splash, hotAreaPoint());
    EXPECT_EQ(splash->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(splash, QPoint(50, 300));
    EXPECT_EQ(splash->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(splash->VersionText().cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(splash, Qt::LeftButton, {}, hotAreaPoint());
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl(CSplashAbout::MakerPageURL()));
    EXPECT_EQ(CSplashAbout::Instance(), splash);
}

TEST_F(SplashAboutTest, NoticesLinkOpensOneNoticesWindow) {
    CSplashAbout* splash = show();
    ASSERT_NE(splash, nullptr);
    for (int time = 0; time < 2; ++time) {
        QTest::mouseClick(&splash->NoticesLink(), Qt::LeftButton, {},
                          splash->NoticesLink().rect().center());
    }
    CThirdParty* notices = CThirdParty::Instance();
    ASSERT_NE(notices, nullptr);
    int windows = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        windows += qobject_cast<CThirdParty*>(top) != nullptr && top->isVisible() ? 1 : 0;
    }
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(notices->windowTitle(), QStringLiteral("Third Party Notices"));
    const QString text = notices->NoticesText().toPlainText();
    for (const char* library : {"Qt 6", "libcurl", "expat", "OpenSSL", "Apache License"}) {
        EXPECT_TRUE(text.contains(QString::fromLatin1(library))) << library;
    }
    EXPECT_EQ(CSplashAbout::Instance(), splash);

    QTest::mouseClick(&notices->OkButton(), Qt::LeftButton);
    EXPECT_EQ(CThirdParty::Instance(), nullptr);
    EXPECT_EQ(CSplashAbout::Instance(), splash);
}

}  // namespace
