// The About window and the developer About box on a real X display: each is
// shown, captured into a screenshot kept beside the test binary, and checked
// for our bitmap's band and the expanded developer area.

#include "dialogs/aboutdialog.h"
#include "dialogs/aboutsite.h"
#include "dialogs/splashabout.h"
#include "settings/preferences.h"
#include "support/temphome.h"
#include "support/xinput.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

class ScreenshotAboutSite : public CAboutSite {
public:
    CPreferences& Prefs() override { return prefs; }
    QString ModulePath() override { return QStringLiteral("/usr/bin/quillex"); }
    QString URLTrailHTML() override {
        return QStringLiteral(
            "<small>10:00:01</small><small>[002]</small> <a href=\"http://lab:80/cmi/"
            "Services?Action=Ping\" target=\"_blank\"><small>http://lab:80/cmi/Services?"
            "Action=Ping</small></a><br>\n\r\n<small>10:00:00</small><small>[001]</small> "
            "<a href=\"http://lab:80/cmi/Services?Action=Login\" target=\"_blank\"><small>"
            "http://lab:80/cmi/Services?Action=Login</small></a><br>\n\r\n");
    }
    void ShowPlaybackOptions(QWidget*) override {}
    void LoginAllMatching(const QString&) override {}

    CPreferences prefs;
};

// Grabs the window until the condition holds on the shot; the last shot is
// saved under the name either way. The grab is the screen's, or the window's
// own rendering for a window that grew after it was shown (without a window
// manager the display may keep the grown part unpainted).
template <typename Grab, typename Condition>
bool grabUntil(QWidget& window, const QString& name, QImage& shot, Grab grab, Condition condition) {
    const bool met = QTest::qWaitFor(
        [&] {
            QCoreApplication::processEvents();
            shot = grab(window);
            return !shot.isNull() && condition(shot);
        },
        10000);
    const QString path = QCoreApplication::applicationDirPath() + u'/' + name;
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
    return met;
}

class AboutWindowsScreenshotTest : public TempHomeTest {
protected:
    void SetUp() override {
        QUILLEX_SKIP_WITHOUT_DESKTOP(false);
        TempHomeTest::SetUp();
    }
    void TearDown() override {
        CSplashAbout::Hide();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        TempHomeTest::TearDown();
    }
};

TEST_F(AboutWindowsScreenshotTest, SplashShowsOurBitmapAndTexts) {
    CSplashAbout::ShowSplashAbout();
    CSplashAbout* splash = CSplashAbout::Instance();
    ASSERT_NE(splash, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
    QImage shot;
    const auto fromScreen = [](QWidget& window) {
        return window.screen()->grabWindow(window.winId()).toImage();
    };
    const bool painted = grabUntil(
        *splash, QStringLiteral("splashabout.png"), shot, fromScreen, [](const QImage& image) {
            // The band at the left is blue, the text area white.
            const QColor band = image.pixelColor(10, 300);
            return band.blue() > band.red() + 40 && image.pixelColor(300, 75) == QColor(Qt::white);
        });
    ASSERT_TRUE(painted) << "the bitmap never showed";
    // The maker's name is drawn where the link to the maker's page lies.
    int makerPixels = 0;
    for (int x = 112; x < 265; ++x) {
        const QColor pixel = shot.pixelColor(x, 29);
        makerPixels += pixel.blue() > pixel.red() + 40 ? 1 : 0;
    }
    EXPECT_GT(makerPixels, 5);
    EXPECT_EQ(shot.size(), splash->size() * splash->devicePixelRatio());
}

TEST_F(AboutWindowsScreenshotTest, ExpandedAboutBoxShowsTheTrail) {
    ScreenshotAboutSite site;
    CAboutDialog dialog(site);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const int collapsed = dialog.height();
    QTest::mouseDClick(&dialog.Icon(), Qt::RightButton, {}, QPoint(3, 3));
    ASSERT_EQ(dialog.LayoutState(), CAboutDialog::kExpanded);
    EXPECT_GT(dialog.height(), collapsed + 150);
    QImage shot;
    const QPoint trail = dialog.TrailBrowser().mapTo(&dialog, QPoint(0, 0));
    const QPoint button =
        dialog.BeginLoginButton().mapTo(&dialog, dialog.BeginLoginButton().rect().center());
    const bool painted = grabUntil(
        dialog, QStringLiteral("aboutdialog.png"), shot,
        [](QWidget& window) { return window.grab().toImage(); },
        [&](const QImage& image) {
            // The whole grown window is drawn, down to the login button.
            if (button.y() >= image.height() || image.pixelColor(button) == QColor(Qt::black)) {
                return false;
            }
            // Some of the trail's link text is drawn inside the browser.
            for (int y = trail.y() + 2; y < trail.y() + 40 && y < image.height(); ++y) {
                for (int x = trail.x() + 2; x < trail.x() + 300 && x < image.width(); ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    if (pixel.blue() > pixel.red() + 60) {
                        return true;
                    }
                }
            }
            return false;
        });
    EXPECT_TRUE(painted) << "the trail's links never showed " << dialog.height() << " "
                         << shot.height() << " " << button.y();
}

}  // namespace
