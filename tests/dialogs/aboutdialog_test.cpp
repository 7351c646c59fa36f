#include "dialogs/aboutdialog.h"
#include "dialogs/aboutsite.h"
#include "settings/preferences.h"
#include "support/temphome.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

class RecordingAboutSite : public CAboutSite {
public:
    CPreferences& Prefs() override { return prefs; }
    QString ModulePath() override { return QStringLiteral("/opt/quillex/bin/quillex"); }
    QString URLTrailHTML() override { return trail; }
    void ShowPlaybackOptions(QWidget*) override { calls << QStringLiteral("playback"); }
    void LoginAllMatching(const QString& hosts) override {
        calls << QStringLiteral("login(%1)").arg(hosts);
    }

    CPreferences prefs;
    QString trail = QStringLiteral("<small>[001]</small> <a href=\"http://h/one\">one</a><br>");
    QStringList calls;
};

class AboutDialogTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        dialog = std::make_unique<CAboutDialog>(site);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }

    void TearDown() override {
        dialog.reset();
        TempHomeTest::TearDown();
    }

    void rightDoubleClick(QWidget* target, QPoint at) {
        QTest::mouseDClick(target, Qt::RightButton, {}, at);
    }

    RecordingAboutSite site;
    std::unique_ptr<CAboutDialog> dialog;
};

TEST_F(AboutDialogTest, ShowsTheBuildWhereItRunsFromAndTheCompiler) {
    EXPECT_TRUE(dialog->BuildText().text().startsWith(QStringLiteral("6.3.0.")));
    EXPECT_TRUE(dialog->BuildText().text().endsWith(QStringLiteral(" [PV=2009]")));
    EXPECT_EQ(dialog->ModulePathText().text(), QStringLiteral("/opt/quillex/bin/quillex"));
    EXPECT_FALSE(dialog->CompilerText().text().contains(QStringLiteral("_MSC_VER")));
    EXPECT_TRUE(dialog->CompilerText().text().contains(QStringLiteral(__VERSION__)));
    EXPECT_TRUE(dialog->TrailBrowser().toHtml().contains(QStringLiteral("http://h/one")));
}

TEST_F(AboutDialogTest, RightDoubleClickOnTheGlobeTogglesTheDeveloperArea) {
    EXPECT_EQ(dialog->LayoutState(), CAboutDialog::kCollapsed) << "the first layout collapses";
    EXPECT_FALSE(dialog->DeveloperHooksShown());
    const int collapsedHeight = dialog->height();

    // Off the icon, and a left double-click on it, change nothing.
    rightDoubleClick(dialog.get(), QPoint(dialog->width() - 5, 5));
    rightDoubleClick(&dialog->BuildText(), QPoint(2, 2));
    QTest::mouseDClick(&dialog->Icon(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dialog->LayoutState(), CAboutDialog::kCollapsed);

    const QPoint corner(dialog->Icon().width() - 1, dialog->Icon().height() - 1);
    for (char expected :
         {CAboutDialog::kExpanded, CAboutDialog::kCollapsed, CAboutDialog::kExpanded}) {
        rightDoubleClick(&dialog->Icon(), corner);
        EXPECT_EQ(dialog->LayoutState(), expected);
        EXPECT_EQ(dialog->DeveloperHooksShown(), expected == CAboutDialog::kExpanded);
        EXPECT_EQ(dialog->height() > collapsedHeight, expected == CAboutDialog::kExpanded);
    }

    // A point given from outside counts only on the icon, edges included.
    const QPoint iconOrigin = dialog->Icon().mapToGlobal(QPoint(0, 0));
    dialog->ToggleDeveloperHooks(iconOrigin + QPoint(dialog->Icon().width() + 1, 0));
    EXPECT_EQ(dialog->LayoutState(), CAboutDialog::kExpanded);
    dialog->ToggleDeveloperHooks(iconOrigin + QPoint(dialog->Icon().width(), 0));
    EXPECT_EQ(dialog->LayoutState(), CAboutDialog::kCollapsed);
}

TEST_F(AboutDialogTest, MenuDebuggingFollowsThePreference) {
    EXPECT_FALSE(dialog->MenuDebugBox().isChecked());
    dialog->MenuDebugBox().click();
    EXPECT_EQ(site.prefs.GetInt(QStringLiteral("MenuDebug"), -1), 1);
    dialog->MenuDebugBox().click();
    EXPECT_EQ(site.prefs.GetInt(QStringLiteral("MenuDebug"), -1), 0);

    site.prefs.SetInt(QStringLiteral("MenuDebug"), 1);
    CAboutDialog again(site);
    EXPECT_TRUE(again.MenuDebugBox().isChecked());
}

TEST_F(AboutDialogTest, BeginLoggingClosesTheBoxThenLogsInWithTheHosts) {
    dialog->ToggleDeveloperHooks();
    QTest::keyClicks(&dialog->HostsEdit(), QStringLiteral("lab-"));
    bool closedFirst = false;
    QObject::connect(dialog.get(), &QDialog::rejected, [&] { closedFirst = site.calls.isEmpty(); });
    QTest::mouseClick(&dialog->BeginLoginButton(), Qt::LeftButton);
    EXPECT_TRUE(closedFirst);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(site.calls, QStringList{QStringLiteral("login(lab-)")});

    site.calls.clear();
    QTest::mouseClick(&dialog->PlaybackButton(), Qt::LeftButton);
    EXPECT_EQ(site.calls, QStringList{QStringLiteral("playback")});
}

}  // namespace
