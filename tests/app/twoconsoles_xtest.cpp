// Two consoles running side by side, each with its own home and World View:
// this test process runs the first, a child process the second. Items of the
// second are copied with Ctrl+C and read here from the X clipboard, and
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
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWindowWidth = 620;
constexpr int kWindowHeight = 640;
// The second console's window lies this far right of the first's.
constexpr int kSecondLeft = 640;
constexpr quint16 kServerPort = 8443;

class TwoConsolesTest : public RunningProgramTest {
protected:
    void SetUp() override {
        RunningProgramTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        secondHome = root() + QStringLiteral("/second");
        // The same shape in both, so that the first console's rows show
        // where the second's are.
        writeConsole(root(), 0,
                     "<folder label='Bench'>" + system("Gamma", "10.0.0.3", 80) +
                         "</folder><folder label='Depot'>" + system("Epsilon", "10.0.0.5", 80) +
                         "</folder>");
        writeConsole(secondHome, kSecondLeft,
                     "<folder label='Lab'>" + system("Alpha", "alpha.example", kServerPort) +
                         "</folder><folder label='Spare'>" +
                         system("Delta", "delta.example", kServerPort) + "</folder>");
        startSecond();

        startProgram();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(frame->geometry().topLeft(), QPoint(0, 0)) << "the tests need no window manager";
        ASSERT_TRUE(secondIsUp());
    }

    void TearDown() override {
        second.Kill();
        RunningProgramTest::TearDown();
    }

    static QString settingsFolderOf(const QString& home) {
        return home + QStringLiteral("/.config/Zorvic/QVX");
    }

    // A server entry reached over https with a user and a password.
    static QByteArray system(const QByteArray& label, const QByteArray& host, quint16 port) {
        return "<system label='" + label + "' server-type='.' hostname='" + host + "' web-port='" +
               QByteArray::number(port) + "' protocol='https' username='ops' password='pa ss'/>";
    }

    // A World View holding `items` under its root, and a window placed at
    // `left`. The console keeps passwords: a server clicked shows its login
    // panel, which otherwise drops the password the World View gave it.
    static void writeConsole(const QString& home, int left, const QByteArray& items) {
        QDir().mkpath(settingsFolderOf(home));
        QDir().mkpath(home + QStringLiteral("/tmp"));
        const QString worldView = home + QStringLiteral("/lab.zwv");
        writeAt(worldView,
                "<?xml version='1.0' encoding='UTF-8'?>\n<tree><root label='World View'>" + items +
                    "</root></tree>\n");
        writeAt(settingsFolderOf(home) + QStringLiteral("/Quillex.ini"),
                "ZWV=" + worldView.toUtf8() + "\nMain.left=" + QByteArray::number(left) +
                    "\nMain.top=0\nMain.right=" + QByteArray::number(left + kWindowWidth) +
                    "\nMain.bottom=" + QByteArray::number(kWindowHeight) + "\nStorePasswords=1\n");
    }

    static void writeAt(const QString& path, const QByteArray& contents) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(contents), contents.size());
    }

    void startSecond() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), secondHome);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           secondHome + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("TMPDIR"), secondHome + QStringLiteral("/tmp"));
        ASSERT_TRUE(second.Start(QStringLiteral(QUILLEX_BINARY), {},
                                 ChildProcess::Output::Forwarded, environment))
            << second.ErrorText().toStdString();
    }

    // The second console listens for scripts before it starts up and lets
    // go of its start-up lock once its window is shown. A script handed to
    // it then runs after what its start-up left queued, so its end shows a
    // console that takes the pointer and keys.
    bool secondIsUp() {
        CSingleInstance probe(settingsFolderOf(secondHome));
        const bool started = QTest::qWaitFor(
            [&] {
                if (!second.IsRunning() || !QFile::exists(probe.SocketPath()) ||
                    !probe.AcquireStartupLock()) {
                    return false;
                }
                probe.ReleaseStartupLock();
                return true;
            },
            60000);
        const QString ran = secondHome + QStringLiteral("/ran");
        const QString script = secondHome + QStringLiteral("/ready.curl");
        writeAt(script, "touch=" + ran.toUtf8() + '\n');
        return started && probe.HandOff(script, 20000) &&
               QTest::qWaitFor([&] { return QFile::exists(ran); }, 20000);
    }

    // The second console's World View as the record of its root gives it:
    // the root clicked and copied with Ctrl+C, read from the X clipboard.
    QString secondWorldView() {
        QGuiApplication::clipboard()->clear();
        if (!clickAt(inSecond(centreOf(app->Tree().GetRootItem()))) ||
            !xdotool({QStringLiteral("key"), QStringLiteral("ctrl+c")})) {
            return {};
        }
        std::optional<QString> xml;
        const bool copied = QTest::qWaitFor(
            [&] {
                const QMimeData* data = QGuiApplication::clipboard()->mimeData();
                if (data == nullptr) {
                    return false;
                }
                const QByteArray record = data->data(QString::fromLatin1(kClipboardItemMime));
                CClipboardReader reader(record);
                const std::optional<ClipboardHeader> header = reader.ReadHeader();
                if (!header || header->kind != kClipWorldView ||
                    header->processId != static_cast<quint32>(second.Pid())) {
                    return false;
                }
                xml = reader.ReadText();
                return true;
            },
            10000);
        EXPECT_TRUE(copied && xml.has_value()) << "the second console's World View";
        return copied && xml ? *xml : QString();
    }

    QTreeWidgetItem* item(const char* label) const {
        return app->Tree().FindItemByName(QString::fromLatin1(label), nullptr);
    }

    // The middle of an item's label in the first console's World View pane
    // (only the icon and the label take clicks), and the same point of the
    // second's.
    QPoint centreOf(QTreeWidgetItem* shown) const {
        CLeftView* pane = frame->GetLeftView();
        pane->scrollToItem(shown);
        return pane->viewport()->mapToGlobal(pane->ItemTextRect(shown).center());
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

    // A server entry made from another console's record.
    void expectFreshEntry(QTreeWidgetItem* entry, const char* host) const {
        const CServerConnection* made = app->Tree().GetSystem(entry);
        ASSERT_NE(made, nullptr);
        EXPECT_NE(dynamic_cast<const CMySystem*>(made), nullptr) << "a full session, to log in";
        EXPECT_EQ(made->ServerType, QChar(u'Q'));
        EXPECT_EQ(made->Protocol, u"http") << "the record carries no scheme";
        EXPECT_EQ(made->Host, QString::fromLatin1(host));
        EXPECT_EQ(made->WebPort, kServerPort);
        EXPECT_EQ(made->User, u"ops");
        EXPECT_EQ(made->Password, u"pa ss");
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
    ChildProcess second;
};

TEST_F(TwoConsolesTest, CtrlCPutsTheServerRecordOnTheDesktopClipboard) {
    QGuiApplication::clipboard()->clear();
    const QPoint alpha = inSecond(centreOf(item("Gamma")));
    ASSERT_TRUE(clickAt(alpha));
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+c")}));

    // Read from the other program through the X server, as any program would.
    const QMimeData* data = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            data = QGuiApplication::clipboard()->mimeData();
            return data != nullptr && data->hasFormat(QString::fromLatin1(kClipboardItemMime));
        },
        10000))
        << (data != nullptr ? data->formats().join(u' ').toStdString() : "");
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
    EXPECT_EQ(header->processId, static_cast<quint32>(second.Pid()));
    EXPECT_NE(header->itemId, 0U);
    const std::optional<ClipboardServer> server = reader.ReadServer();
    ASSERT_TRUE(server);
    EXPECT_EQ(server->name, u"Alpha");
    EXPECT_EQ(server->host, u"alpha.example");
    EXPECT_EQ(server->webPort, kServerPort);
    EXPECT_EQ(server->user, u"ops");
    EXPECT_EQ(server->password, u"pa ss");
    EXPECT_TRUE(reader.AtEnd());
}

// Between consoles folders and servers travel as records: the receiving
// console makes fresh entries (type Q, the default scheme) and answers move,
// so the sending console removes its own unless Shift is held as the drag
// ends.
TEST_F(TwoConsolesTest, ServersAndFoldersDraggedIntoTheOtherConsoleMoveThereUnlessShiftIsHeld) {
    const QPoint alpha = inSecond(centreOf(item("Gamma")));
    const QPoint spare = inSecond(centreOf(item("Depot")));
    const QPoint rootPlace = emptyPlaceOfFirst();
    ASSERT_EQ(
        frame->GetLeftView()->itemAt(frame->GetLeftView()->viewport()->mapFromGlobal(rootPlace)),
        nullptr);
    QTreeWidgetItem* top = app->Tree().GetRootItem();
    const auto lastUnderRoot = [&] { return top->child(top->childCount() - 1); };

    ASSERT_TRUE(drag(alpha, rootPlace, true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rootChildrenNamed(u"Alpha"_qs).size() == 1; }, 10000))
        << "the drop adds the server under the root";
    EXPECT_EQ(rootChildrenNamed(u"Alpha"_qs).front(), lastUnderRoot());
    expectFreshEntry(rootChildrenNamed(u"Alpha"_qs).front(), "alpha.example");
    EXPECT_TRUE(app->Tree().IsModified());
    EXPECT_TRUE(secondWorldView().contains(u"label='Alpha'")) << "Shift kept the source";

    ASSERT_TRUE(drag(spare, rootPlace, false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rootChildrenNamed(u"Spare"_qs).size() == 1; }, 10000));
    QTreeWidgetItem* folder = rootChildrenNamed(u"Spare"_qs).front();
    EXPECT_EQ(folder, lastUnderRoot());
    ASSERT_EQ(folder->childCount(), 1);
    EXPECT_EQ(folder->child(0)->text(0), u"Delta");
    expectFreshEntry(folder->child(0), "delta.example");

    ASSERT_TRUE(drag(alpha, rootPlace, false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rootChildrenNamed(u"Alpha"_qs).size() == 2; }, 10000));
    const QString left = secondWorldView();
    EXPECT_TRUE(left.contains(u"label='Lab'")) << left.toStdString();
    EXPECT_FALSE(left.contains(u"label='Spare'")) << "the move removed the folder";
    EXPECT_FALSE(left.contains(u"label='Delta'"));
    EXPECT_FALSE(left.contains(u"label='Alpha'")) << "the move removed the server";
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'|').toStdString();
}

}  // namespace
