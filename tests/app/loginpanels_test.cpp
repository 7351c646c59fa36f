#include "app/appfixture.h"
#include "frame/logindialog.h"
#include "frame/logoutdialog.h"
#include "frame/mainframe.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"
#include "tree/mytree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The started program shows the login panel for a logged-out server and the
// logout panel once it is in; each panel's button replaces the panel itself.
class LoginPanelsInTheFrameTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(server.IsListening());
        fakelogin::ScriptCmiLogAndCancel(server);
        fakelogin::ScriptLogin(server, FakeLoginReply());
        useProgramServices();
        ASSERT_TRUE(app->InitInstance({}));
        app->Prefs().SetInt(QStringLiteral("SCAuthentication"), 0);
        app->Prefs().SetInt(QStringLiteral("AskStorePass"), 0);
        serverItem = addLocalServerUnderRoot(server.Port());
        CMyTree& tree = app->Tree();
        tree.SelectItem(serverItem, true);
    }

    template <typename Panel>
    Panel* shownPanel() {
        for (Panel* panel : app->MainFrame()->findChildren<Panel*>()) {
            if (panel->isVisible()) {
                return panel;
            }
        }
        return nullptr;
    }
    // Lets events run until the condition holds, at most ten seconds.
    template <typename Condition>
    bool waitUntil(Condition condition) {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 10000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return condition();
    }
    CMySystem& system() { return dynamic_cast<CMySystem&>(*app->Tree().GetSystem(serverItem)); }

    FakeVelnixServer server;
    QTreeWidgetItem* serverItem = nullptr;
};

TEST_F(LoginPanelsInTheFrameTest, LogInThenOutThroughThePanelsButtons) {
    CLoginDialog* login = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (login = shownPanel<CLoginDialog>()) != nullptr; }));
    for (QLineEdit* edit : login->findChildren<QLineEdit*>()) {
        const int id = edit->property("controlId").toInt();
        if (id == CLoginDialog::kUserId || id == CLoginDialog::kPasswordId) {
            edit->setText(QStringLiteral("ops"));
            Q_EMIT edit->textEdited(edit->text());
        }
    }
    QPushButton* logIn = nullptr;
    for (QPushButton* button : login->findChildren<QPushButton*>()) {
        if (button->property("controlId").toInt() == CLoginDialog::kLoginId) {
            logIn = button;
        }
    }
    ASSERT_NE(logIn, nullptr);
    logIn->click();
    ASSERT_TRUE(waitUntil([&] { return system().LoggedIn; }));
    CLogoutDialog* logout = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (logout = shownPanel<CLogoutDialog>()) != nullptr; }));

    server.ClearRequests();
    QPushButton* logOut = logout->findChild<QPushButton*>();
    ASSERT_NE(logOut, nullptr);
    logOut->click();
    ASSERT_TRUE(waitUntil([&] { return !system().LoggedIn; }));
    EXPECT_TRUE(waitUntil([&] { return shownPanel<CLoginDialog>() != nullptr; }));
    EXPECT_TRUE(fakelogin::RequestsOf(server, fakelogin::kLoginQuery).empty());
}

}  // namespace
