// Two consoles running side by side, each with its own home and World View:
// this test process runs the first, a child process the second. A server of
// the second is copied with Ctrl+C and read here from the X clipboard, and
// dragged with the real pointer into the first.

#include "app/appfixture.h"
#include "app/singleinstance.h"
#include "frame/mainframe.h"
#include "server/mysystem.h"
#include "support/xinput.h"
#include "tree/clipboarditem.h"
#include "tree/leftview.h"
#include "tree/mytree.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWindowWidth = 620;
constexpr int kWindowHeight = 640;
// The second console's window lies this far right of the first's.
constexpr int kSecondLeft = 640;
constexpr quint16 kAlphaPort = 8443;

class TwoConsolesTest : public ProgramTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        if (QGuiApplication::platformName() != u"xcb") {
            GTEST_SKIP() << "needs an X server (run under xvfb-run)";
        }
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "needs xdotool";
        }
        secondHome = root() + QStringLiteral("/second");
        // The same shape in both, so that the first console's rows show
        // where the second's are.
        writeConsole(root(), 0, "Gamma", "hostname='10.0.0.3' web-port='80' protocol='http'");
        writeConsole(secondHome, kSecondLeft, "Alpha",
                     "hostname='alpha.example' web-port='" + QByteArray::number(kAlphaPort) +
                         "' protocol='https' username='ops' password='pa ss'");
        startSecond();

        app = std::make_unique<CTheApp>();
        app->Popups().SetPresenter([this](QWidget*, const QString&, const QString& text, int) {
            boxes << text;
            return 1;
        });
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        ASSERT_EQ(frame->geometry().topLeft(), QPoint(0, 0)) << "the tests need no window manager";
        ASSERT_TRUE(secondIsUp());
    }

    void TearDown() override {
        app.reset();
        if (second.state() != QProcess::NotRunning) {
            second.kill();
            second.waitForFinished(10000);
        }
        TempHomeTest::TearDown();
    }

    static QString settingsFolderOf(const QString& home) {
        return home + QStringLiteral("/.config/Zorvic/QVX");
    }

    // A World View of one folder "Lab" holding one server, and a window
    // placed at `left`.
    static void writeConsole(const QString& home, int left, const QByteArray& server,
                             const QByteArray& attributes) {
        QDir().mkpath(settingsFolderOf(home));
        QDir().mkpath(home + QStringLiteral("/tmp"));
        const QString worldView = home + QStringLiteral("/lab.zwv");
        writeAt(worldView, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tree>\n"
                           "  <root label='World View'>\n    <folder label='Lab'>\n"
                           "      <system label='" +
                               server + "' server-type='.' " + attributes +
                               "/>\n    </folder>\n  </root>\n</tree>\n");
        writeAt(settingsFolderOf(home) + QStringLiteral("/Quillex.ini"),
                "ZWV=" + worldView.toUtf8() + "\nMain.left=" + QByteArray::number(left) +
                    "\nMain.top=0\nMain.right=" + QByteArray::number(left + kWindowWidth) +
                    "\nMain.bottom=" + QByteArray::number(kWindowHeight) + '\n');
    }

    static void writeAt(const QString& path, const QByteArray& contents) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(contents), contents.size());
    }

    void startSecond() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), secondHome);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), secondHome + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("TMPDIR"), secondHome + QStringLiteral("/tmp"));
        second.setProcessEnvironment(environment);
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        second.start(QStringLiteral(QUILLEX_BINARY), {});
        ASSERT_TRUE(second.waitForStarted());
    }

    // The second console listens for scripts before it starts up, and lets
    // go of its start-up lock once its window is shown; the pointer needs
    // that window mapped.
    bool secondIsUp() {
        CSingleInstance probe(settingsFolderOf(secondHome));
        const bool started = QTest::qWaitFor(
            [&] {
                if (second.state() != QProcess::Running ||
                    !QFile::exists(probe.SocketPath()) || !probe.AcquireStartupLock()) {
                    return false;
                }
                probe.ReleaseStartupLock();
                return true;
            },
            60000);
        QProcess mapped;
        mapped.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--sync"),
                      QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                      QString::number(second.processId())});
        const bool shown = started && mapped.waitForFinished(30000) && mapped.exitCode() == 0;
        if (mapped.state() != QProcess::NotRunning) {
            mapped.kill();
            mapped.waitForFinished();
        }
        return shown;
    }

    // Whether the second console's World View holds the path, asked through
    // an action script handed to it.
    bool secondHolds(const QByteArray& path) {
        static int scripts = 0;
        const QString tag = QString::number(++scripts);
        const QString log = secondHome + QStringLiteral("/actions-") + tag + QStringLiteral(".log");
        const QString found = secondHome + QStringLiteral("/found-") + tag;
        const QString script = secondHome + QStringLiteral("/probe-") + tag + QStringLiteral(".curl");
        writeAt(script, "set:actionlog=" + log.toUtf8() + '\n' + path + "\ntouch=" +
                            found.toUtf8() + '\n');
        CSingleInstance handOff(settingsFolderOf(secondHome));
        EXPECT_TRUE(handOff.HandOff(script, 20000)) << handOff.ErrorText().toStdString();
        const bool answered = QTest::qWaitFor(
            [&] {
                return QFile::exists(found) ||
                       readFile(log).contains("Could not find tree item");
            },
            30000);
        EXPECT_TRUE(answered) << readFile(log).toStdString();
        return QFile::exists(found);
    }

    QTreeWidgetItem* item(const char* label) const {
        return app->Tree().FindItemByName(QString::fromLatin1(label), nullptr);
    }

    // A point of the first console's World View pane, and the same point of
    // the second's.
    QPoint centreOf(QTreeWidgetItem* shown) const {
        CLeftView* pane = frame->GetLeftView();
        pane->scrollToItem(shown);
        return pane->viewport()->mapToGlobal(pane->visualItemRect(shown).center());
    }
    static QPoint inSecond(QPoint first) { return first + QPoint(kSecondLeft, 0); }
    // Below the last row: a drop there goes to the World View's root.
    QPoint emptyPlaceOfFirst() const {
        const QWidget* viewport = frame->GetLeftView()->viewport();
        return viewport->mapToGlobal(QPoint(viewport->width() / 3, viewport->height() * 2 / 3));
    }

    static bool drag(QPoint from, QPoint to, bool shift) {
        QList<QPoint> path{from, from + QPoint(12, 0), from + QPoint(24, 4)};
        for (int step = 1; step <= 4; ++step) {
            path << from + (to - from) * step / 4;
        }
        path << to + QPoint(2, 2) << to;
        return pointerDrag(path, shift ? QStringLiteral("shift") : QString(),
                           static_cast<int>(path.size()) - 1);
    }

    std::vector<QTreeWidgetItem*> rootChildrenNamed(const QString& label) const {
        std::vector<QTreeWidgetItem*> found;
        QTreeWidgetItem* top = app->Tree().GetRootItem();
        for (int i = 0; top != nullptr && i < top->childCount(); ++i) {
            if (top->child(i)->text(0) == label) {
                found.push_back(top->child(i));
            }
        }
        return found;
    }

    SharedDataHome dataHome;
    QString secondHome;
    QProcess second;
    std::unique_ptr<CTheApp> app;
    CMainFrame* frame = nullptr;
    QStringList boxes;
};

TEST_F(TwoConsolesTest, CtrlCPutsTheServerRecordOnTheDesktopClipboard) {
    QGuiApplication::clipboard()->clear();
    const QPoint alpha = inSecond(centreOf(item("Gamma")));
    ASSERT_TRUE(clickAt(alpha));
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+c")}));

    // Read from the other program through the X server, as any program would.
    const QMimeData* data = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        data = QGuiApplication::clipboard()->mimeData();
        return data != nullptr && data->hasFormat(QString::fromLatin1(kClipboardItemMime));
    }, 10000)) << (data != nullptr ? data->formats().join(u' ').toStdString() : "");
    EXPECT_TRUE(data->hasText());
    EXPECT_EQ(data->text(), u"Alpha");
    EXPECT_EQ(data->data(QString::fromLatin1(kPasswordManagerHintMime)), "secret")
        << "the record carries a password";

    const QByteArray record = data->data(QString::fromLatin1(kClipboardItemMime));
    ASSERT_EQ(record.size(), ClipboardHeader::kSize + ClipboardServer::kSize);
    CClipboardReader reader(record);
    const std::optional<ClipboardHeader> header = reader.ReadHeader();
    ASSERT_TRUE(header);
    EXPECT_EQ(header->kind, kClipServer);
    EXPECT_EQ(header->processId, static_cast<quint32>(second.processId()));
    EXPECT_NE(header->itemId, 0U);
    const std::optional<ClipboardServer> server = reader.ReadServer();
    ASSERT_TRUE(server);
    EXPECT_EQ(server->name, u"Alpha");
    EXPECT_EQ(server->host, u"alpha.example");
    EXPECT_EQ(server->webPort, kAlphaPort);
    EXPECT_EQ(server->user, u"ops");
    EXPECT_EQ(server->password, u"pa ss");
    EXPECT_TRUE(reader.AtEnd());
}

// Between consoles a server travels as its record: the receiving console
// makes a fresh entry (type Q, the default scheme) and answers move, so the
// sending console removes its own unless Shift is held as the drag ends.
TEST_F(TwoConsolesTest, ServerDraggedIntoTheOtherConsoleMovesThereUnlessShiftIsHeld) {
    const QPoint alpha = inSecond(centreOf(item("Gamma")));
    const QPoint rootPlace = emptyPlaceOfFirst();
    ASSERT_EQ(frame->GetLeftView()->itemAt(frame->GetLeftView()->viewport()->mapFromGlobal(
                  rootPlace)),
              nullptr);

    ASSERT_TRUE(drag(alpha, rootPlace, true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rootChildrenNamed(u"Alpha"_qs).size() == 1; }, 10000))
        << "the drop adds the server under the root";
    QTreeWidgetItem* added = rootChildrenNamed(u"Alpha"_qs).front();
    EXPECT_EQ(app->Tree().GetRootItem()->indexOfChild(added),
              app->Tree().GetRootItem()->childCount() - 1);
    const CServerConnection* made = app->Tree().GetSystem(added);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(dynamic_cast<const CMySystem*>(made), nullptr) << "a full session that can log in";
    EXPECT_EQ(made->ServerType, QChar(u'Q'));
    EXPECT_EQ(made->Protocol, u"http") << "the record carries no scheme";
    EXPECT_EQ(made->Host, u"alpha.example");
    EXPECT_EQ(made->WebPort, kAlphaPort);
    EXPECT_EQ(made->User, u"ops");
    EXPECT_EQ(made->Password, u"pa ss");
    EXPECT_TRUE(app->Tree().IsModified());
    EXPECT_TRUE(secondHolds("//World View|Lab|Alpha")) << "Shift kept the source";

    ASSERT_TRUE(drag(alpha, rootPlace, false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rootChildrenNamed(u"Alpha"_qs).size() == 2; }, 10000));
    EXPECT_FALSE(secondHolds("//World View|Lab|Alpha")) << "the move removed the source";
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'|').toStdString();
}

}  // namespace
