#include "app/appfixture.h"
#include "frame/mainframe.h"
#include "support/fakeloginreplies.h"
#include "tree/leftview.h"
#include "tree/mytree.h"

#include <QTest>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QByteArray kWorldView =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<tree>\n"
    "  <root label='World View'>\n"
    "    <folder label='Lab'>\n"
    "      <system label='Alpha' server-type='.' hostname='alpha' web-port='8080' "
    "protocol='http'>\n"
    "      </system>\n"
    "    </folder>\n"
    "  </root>\n"
    "</tree>\n";

// The application with its own World View model behind start-up and exit,
// not the recording stand-ins.
class WorldViewStartupTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        useProgramServices();
        worldView = writeFile(QStringLiteral("views/lab.zwv"), kWorldView);
        writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex.ini"),
                  "ZWV=" + worldView.toUtf8() + '\n');
    }

    QStringList labelsBelow(const QTreeWidgetItem* item) const {
        QStringList labels;
        for (int i = 0; i < item->childCount(); ++i) {
            labels << item->child(i)->text(0);
        }
        return labels;
    }

    // Starts, changes the World View, closes the window and answers the
    // save question.
    void exitAfterAddingAFolder(int answer) {
        ASSERT_TRUE(app->InitInstance({}));
        CMyTree& tree = app->Tree();
        tree.AddFolderItem(tree.GetRootItem(), QStringLiteral("Added"));
        tree.SetModified();
        boxAnswer = answer;
        app->MainFrame()->close();
        ASSERT_EQ(boxes.size(), 1U);
        EXPECT_EQ(boxes[0].type, kPopupYesNo);
    }

    QString worldView;
};

TEST_F(WorldViewStartupTest, StartRestoresTheRememberedWorldViewIntoThePane) {
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_TRUE(boxes.empty()) << "no first-run introduction";
    const QTreeWidget* pane = app->MainFrame()->GetLeftView();
    ASSERT_EQ(pane->topLevelItemCount(), 1);
    const QTreeWidgetItem* root = pane->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("World View"));
    ASSERT_EQ(labelsBelow(root), QStringList{QStringLiteral("Lab")});
    EXPECT_EQ(labelsBelow(root->child(0)), QStringList{QStringLiteral("Alpha")});
}

// The locator shown when the program last ended comes back, although
// selecting the restored server or root shows a locator of its own first.
TEST_F(WorldViewStartupTest, StartShowsTheLocatorOfTheLastSession) {
    writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex.ini"),
              "ZWV=" + worldView.toUtf8() + "\nCurrentCurl=||World View|Lab\n");
    ASSERT_TRUE(app->InitInstance({}));
    CMyTree& tree = app->Tree();
    QTreeWidgetItem* lab = tree.GetRootItem()->child(0);
    QTRY_COMPARE_WITH_TIMEOUT(tree.GetSelectedItem(), lab, 10000);
    EXPECT_EQ(app->Prefs().GetString(QStringLiteral("CurrentCurl")), tree.GetFullCurl(lab));
}

// A World View named on the command line that cannot be read is said so in
// a box; the program goes on with the World View it restored.
TEST_F(WorldViewStartupTest, AnUnreadableCommandLineWorldViewIsShownAsSuch) {
    const QByteArray garbage("\xda\x12\xe8\x05\xd8\x94\xd2*\x00\x01", 10);
    const QString named = writeFile(QStringLiteral("views/garbage.zwv"), garbage);
    ASSERT_TRUE(app->InitInstance({named}));
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].type, kPopupWarning);
    EXPECT_TRUE(boxes[0].text.contains(named)) << boxes[0].text.toStdString();
    EXPECT_EQ(app->Prefs().GetString(QStringLiteral("ZWV")), worldView);
    EXPECT_EQ(app->Tree().GetMyItem(app->Tree().RootLevel())->GetLabel(), u"World View");
}

TEST_F(WorldViewStartupTest, ACommandLineWorldViewBecomesTheCurrentOne) {
    const QString other = writeFile(QStringLiteral("views/other.zwv"),
                                    "<tree>\n  <root label='Other'>\n  </root>\n</tree>\n");
    ASSERT_TRUE(app->InitInstance({other}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(app->Prefs().GetString(QStringLiteral("ZWV")), other);
    EXPECT_EQ(app->Tree().GetMyItem(app->Tree().RootLevel())->GetLabel(), u"Other");
}

// The actions a start dispatches carry no list of their own, and the log
// says nothing of one missing.
TEST_F(WorldViewStartupTest, AStartLogsNoMissingListWarning) {
    ASSERT_TRUE(app->InitInstance({}));
    const QByteArray log = readFile(settingsFolder() + QStringLiteral("/Quillex.log"));
    EXPECT_FALSE(log.contains("NULL pProps")) << log.toStdString();
}

// A World View of `servers` servers in folders of a hundred.
QByteArray largeWorldView(int servers) {
    QByteArray text = "<tree>\n  <root label='World View'>\n";
    constexpr int kServersPerFolder = 100;
    for (int server = 0; server < servers; ++server) {
        if (server % kServersPerFolder == 0) {
            text += server == 0 ? "" : "    </folder>\n";
            text += "    <folder label='Site " + QByteArray::number(server / kServersPerFolder) +
                    "'>\n";
        }
        const QByteArray number = QByteArray::number(server);
        text += "      <system label='node-" + number + "' server-type='Q' hostname='h" + number +
                "' web-port='8080' protocol='http'>\n      </system>\n";
    }
    return text + "    </folder>\n  </root>\n</tree>\n";
}

// How a large World View comes into the pane.
enum class LargeLoad { AtStartUp, ByFileOpen };

// A World View of 20,000 servers, and a turn of the event loop counted
// whenever it comes while the pane's tree is being read.
class LargeWorldViewTest : public WorldViewStartupTest {
protected:
    void SetUp() override {
        WorldViewStartupTest::SetUp();
        large = writeFile(QStringLiteral("views/large.zwv"), largeWorldView(20000));
        turn.setInterval(0);
        QObject::connect(&turn, &QTimer::timeout, [this] {
            if (app->Tree().IsBuilding()) {
                ++turnsWhileLoading;
                shownWhileLoading = shownWhileLoading || app->MainFrame()->isVisible();
                if (closeWhileLoading) {
                    app->MainFrame()->close();
                }
            }
        });
    }

    // Events run at most once a second, when the clock's second has changed
    // since they last ran: a load that starts late in a second crosses into
    // the next one however fast the machine reads.
    static void waitUntilLateInASecond() {
        constexpr int kLateMs = 900;
        while (QTime::currentTime().msec() < kLateMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, kLateMs);
        }
    }

    // Start-up restores the large World View.
    void rememberLarge() {
        writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex.ini"), "ZWV=" + large.toUtf8() + '\n');
    }

    QString large;
    QTimer turn;
    int turnsWhileLoading = 0;
    bool shownWhileLoading = false;
    bool closeWhileLoading = false;
};

class LargeWorldViewLoadTest : public LargeWorldViewTest,
                               public testing::WithParamInterface<LargeLoad> {};

// Reading a large World View takes seconds; the window shows and its events
// run meanwhile.
TEST_P(LargeWorldViewLoadTest, TheWindowRunsWhileItLoads) {
    if (GetParam() == LargeLoad::AtStartUp) {
        rememberLarge();
        turn.start();
        waitUntilLateInASecond();
        ASSERT_TRUE(app->InitInstance({}));
    } else {
        ASSERT_TRUE(app->InitInstance({}));
        turn.start();
        waitUntilLateInASecond();
        ASSERT_EQ(app->WorldViewFile().OpenWorldView(large), 1);
    }
    turn.stop();
    EXPECT_GT(turnsWhileLoading, 0);
    EXPECT_TRUE(shownWhileLoading);
    EXPECT_EQ(app->MainFrame()->GetLeftView()->topLevelItem(0)->childCount(), 200);
}

INSTANTIATE_TEST_SUITE_P(Loads, LargeWorldViewLoadTest,
                         testing::Values(LargeLoad::AtStartUp, LargeLoad::ByFileOpen),
                         [](const testing::TestParamInfo<LargeLoad>& info) {
                             return info.param == LargeLoad::AtStartUp ? "AtStartUp" : "ByFileOpen";
                         });

// A window closed while start-up reads its World View ends the program: the
// rest of the file is not read, no first-run box or new World View follows,
// and the remembered World View stays the current one.
TEST_F(LargeWorldViewTest, ACloseWhileStartUpLoadsItEndsStartUp) {
    rememberLarge();
    closeWhileLoading = true;
    turn.start();
    waitUntilLateInASecond();
    EXPECT_FALSE(app->InitInstance({}));
    turn.stop();
    EXPECT_FALSE(app->IsUp());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(app->MainFrame()->GetLeftView()->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(app->Prefs().GetString(QStringLiteral("ZWV")), large);
    EXPECT_TRUE(
        readFile(settingsFolder() + QStringLiteral("/Quillex.ini")).contains(large.toUtf8()));
}

TEST_F(WorldViewStartupTest, ExitKeepsTheFileWhenTheUserDeclinesToSave) {
    exitAfterAddingAFolder(kAnswerNo);
    EXPECT_EQ(readFile(worldView), kWorldView);
}

TEST_F(WorldViewStartupTest, ExitSavesUnsavedChangesOnYes) {
    exitAfterAddingAFolder(kAnswerYes);
    EXPECT_TRUE(readFile(worldView).contains("label='Added'"));
}

}  // namespace

// With "AutoLogin" set, start-up logs in to the remembered current server.
class AutoLoginStartupTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(server.IsListening());
        fakelogin::ScriptCmiLogAndCancel(server);
        fakelogin::ScriptLogin(server, FakeLoginReply());
        useProgramServices();
        const QByteArray port = QByteArray::number(server.Port());
        const QString worldView =
            writeFile(QStringLiteral("views/auto.zwv"),
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tree><root label='World View'>"
                      "<system label='Home' server-type='.' hostname='127.0.0.1' web-port='" +
                          port + "' protocol='http'></system></root></tree>\n");
        writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex.ini"),
                  "ZWV=" + worldView.toUtf8() + "\nCurrentServer=127.0.0.1:" + port +
                      "\nAutoLogin=1\nSCAuthentication=0\n");
    }
    FakeVelnixServer server;
};

TEST_F(AutoLoginStartupTest, StartLogsInToTheCurrentServer) {
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_FALSE(fakelogin::RequestsOf(server, fakelogin::kLoginQuery).empty());
    CMyTree& tree = app->Tree();
    QTreeWidgetItem* home = tree.GetRootItem()->child(0);
    ASSERT_NE(home, nullptr);
    ASSERT_NE(tree.GetSystem(home), nullptr);
    EXPECT_TRUE(tree.GetSystem(home)->LoggedIn);
}
