#include "dialogs/aboutdialog.h"
#include "app/actiondialog.h"
#include "app/actionfixture.h"
#include "app/actioninterpreter.h"
#include "app/appaboutsite.h"
#include "app/history.h"
#include "dialogs/splashabout.h"
#include "frame/animatectrl.h"
#include "frame/mainframe.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"
#include "support/modalcloser.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class AppAboutTest : public ActionFixture {
protected:
    void SetUp() override {
        ActionFixture::SetUp();
        fakelogin::ScriptCmiLogAndCancel(server);
        fakelogin::ScriptLogin(server, FakeLoginReply());
        server.Script(FakeVelnixServer::kServicesPath, "Action=Ping", Reply::Xml("<cmi/>"));
    }

    using Reply = FakeVelnixServer::Reply;
    FakeVelnixServer server;
};

TEST_F(AppAboutTest, TrailPageListsTheServersRequestsNewestFirst) {
    ASSERT_NE(addLoggedInServer(server), nullptr);
    CActionContext ping;
    ping.command = QStringLiteral("xml:/cmi/Services?Action=Ping");
    app->Interpreter().RunCommand(ping);
    ASSERT_TRUE(eventually([&] { return app->History().TrailCopy().Count() >= 2; }));

    CAppAboutSite site(*app);
    CAboutDialog dialog(site);
    dialog.ToggleDeveloperHooks();
    const QString page = dialog.TrailBrowser().toHtml();
    const qsizetype login = page.indexOf(QStringLiteral("Action=Login"));
    const qsizetype pinged = page.indexOf(QStringLiteral("Action=Ping"));
    ASSERT_GE(login, 0) << page.toStdString();
    ASSERT_GE(pinged, 0) << page.toStdString();
    EXPECT_LT(pinged, login) << "the newest request comes first";
    EXPECT_EQ(dialog.ModulePathText().text(), app->ModulePath());
}

TEST_F(AppAboutTest, BeginLoggingHandsTheHostsToTheLoginOfAllServers) {
    CAppAboutSite site(*app);
    CAboutDialog dialog(site);
    dialog.HostsEdit().setText(QStringLiteral("127.0"));
    dialog.OnBeginLogin();
    EXPECT_TRUE(services->calls.contains(QStringLiteral("LoginAllMatching(127.0)")))
        << services->calls.join(u',').toStdString();
}

class FrameAboutCommandsTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(app->InitInstance({}));
    }
    void TearDown() override {
        CSplashAbout::Hide();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AppFixture::TearDown();
    }
};

TEST_F(FrameAboutCommandsTest, AboutAndCtrlGOpenTheirWindows) {
    ASSERT_NE(app->MainFrame(), nullptr);
    EXPECT_TRUE(app->MainFrame()->OnCommand(57664));
    ASSERT_NE(CSplashAbout::Instance(), nullptr);
    EXPECT_EQ(CSplashAbout::Instance()->parentWidget(), app->MainFrame());

    // The pad is modal: note it and close it once it shows.
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* pad = qobject_cast<CActionDialog*>(QApplication::activeModalWidget())) {
            shown = pad->windowTitle();
            pad->reject();
        }
    });
    EXPECT_TRUE(app->MainFrame()->OnCommand(32851));
    EXPECT_EQ(shown, QStringLiteral("Action Script Dialog (for QA and Development)"));
}

TEST_F(FrameAboutCommandsTest, ARightDoubleClickOnTheBusyAnimationOpensTheDeveloperAboutBox) {
    auto* throbber = app->MainFrame()->findChild<CAnimateCtrl*>();
    ASSERT_NE(throbber, nullptr);
    ModalCloser<CAboutDialog> closer;
    QTest::mouseDClick(throbber, Qt::RightButton);
    EXPECT_TRUE(closer.seen);
    EXPECT_EQ(CSplashAbout::Instance(), nullptr) << "not the About window of Help > About";
}

}  // namespace
