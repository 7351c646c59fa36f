#include "app/appfixture.h"
#include "frame/logindialog.h"
#include "frame/mainframe.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"
#include "support/xinput.h"
#include "tree/mytree.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// The program's login panel on the desktop, typed into with the real
// keyboard.
class LoginPanelKeysTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        QUILLEX_SKIP_WITHOUT_DESKTOP(true);
        ASSERT_TRUE(server.IsListening());
        fakelogin::ScriptCmiLogAndCancel(server);
        fakelogin::ScriptLogin(server, FakeLoginReply());
        server.RequireBasicAuth("ops", "pw");
        useProgramServices();
        ASSERT_TRUE(app->InitInstance({}));
        app->Prefs().SetInt(QStringLiteral("SCAuthentication"), 0);
        app->Prefs().SetInt(QStringLiteral("AskStorePass"), 0);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->MainFrame()));
        serverItem = addLocalServerUnderRoot(server.Port());
        app->Tree().SelectItem(serverItem, true);
    }

    CLoginDialog* shownLoginPanel() {
        for (CLoginDialog* panel : app->MainFrame()->findChildren<CLoginDialog*>()) {
            if (panel->isVisible()) {
                return panel;
            }
        }
        return nullptr;
    }
    static QLineEdit* field(QWidget& panel, int id) {
        for (QLineEdit* edit : panel.findChildren<QLineEdit*>()) {
            if (edit->property("controlId").toInt() == id) {
                return edit;
            }
        }
        return nullptr;
    }
    // Clicks into the field and types the text with the keyboard.
    static bool typeInto(QLineEdit& edit, const QString& text) {
        return clickAt(edit.mapToGlobal(edit.rect().center())) &&
               QTest::qWaitFor([&] { return edit.hasFocus(); }) &&
               xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
                        text}) &&
               QTest::qWaitFor([&] { return edit.text() == text; });
    }
    CMySystem& system() { return dynamic_cast<CMySystem&>(*app->Tree().GetSystem(serverItem)); }

    FakeVelnixServer server;
    QTreeWidgetItem* serverItem = nullptr;
};

TEST_F(LoginPanelKeysTest, EnterInThePasswordFieldLogsIn) {
    if (IsSkipped()) {
        return;
    }
    CLoginDialog* panel = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (panel = shownLoginPanel()) != nullptr; }));
    QLineEdit* user = field(*panel, CLoginDialog::kUserId);
    QLineEdit* password = field(*panel, CLoginDialog::kPasswordId);
    ASSERT_TRUE(user != nullptr && password != nullptr);
    ASSERT_TRUE(typeInto(*user, QStringLiteral("ops")));
    ASSERT_TRUE(typeInto(*password, QStringLiteral("pw")));
    server.ClearRequests();

    ASSERT_TRUE(password->hasFocus()) << "the password field lost the keyboard";
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Return")}));

    EXPECT_TRUE(QTest::qWaitFor([&] { return system().LoggedIn; }, 20000));
    EXPECT_FALSE(fakelogin::RequestsOf(server, fakelogin::kLoginQuery).empty());
}

}  // namespace
