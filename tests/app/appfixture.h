#pragma once

// A test's own application object in a temporary home: its services record
// their calls, and pop-up boxes are recorded and answered instead of shown.

#include "app/theapp.h"
#include "frame/mainframe.h"
#include "server/mysystem.h"
#include "support/onworker.h"
#include "support/recordingappservices.h"
#include "support/temphome.h"
#include "support/xinput.h"
#include "tree/mytree.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

#include <memory>
#include <vector>

// Points XDG_DATA_HOME at one folder beside the test binary for a scope.
// Registering the file types writes there once; later starts find the files
// unchanged and start no desktop database refresh that could still be
// writing when a test's temporary home goes away.
class SharedDataHome {
public:
    SharedDataHome() : m_saved(qEnvironmentVariableIsSet("XDG_DATA_HOME")) {
        m_value = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME",
                QFile::encodeName(QCoreApplication::applicationDirPath() + "/app-xdg-data"));
    }
    ~SharedDataHome() {
        if (m_saved) {
            qputenv("XDG_DATA_HOME", m_value);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
    }
    SharedDataHome(const SharedDataHome&) = delete;
    SharedDataHome& operator=(const SharedDataHome&) = delete;

private:
    bool m_saved;
    QByteArray m_value;
};

// A test that starts the real program with a World View of its own.
class ProgramTest : public TempHomeTest {
protected:
    // A World View file with the server "Alpha" on `port` in the folder
    // "Lab", spoken to with `protocol`, written as the one Quillex.ini opens
    // at start-up.
    QString writeLabWorldView(quint16 port, const QByteArray& protocol = "http") {
        const QString worldView = writeFile(
            QStringLiteral("views/lab.zwv"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tree>\n  <root label='World View'>\n"
            "    <folder label='Lab'>\n"
            "      <system label='Alpha' server-type='.' hostname='127.0.0.1' web-port='" +
                QByteArray::number(port) + "' protocol='" + protocol +
                "'>\n      </system>\n    </folder>\n  </root>\n</tree>\n");
        writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex.ini"),
                  "ZWV=" + worldView.toUtf8() + '\n');
        return worldView;
    }
};

// The real program run in this process on the X server, for tests that
// drive it with the real pointer and keys (xdotool). Its boxes are recorded
// and answered with the first button.
class RunningProgramTest : public ProgramTest {
protected:
    // Skips the test without an X server or xdotool; derived fixtures go on
    // only when IsSkipped() is false.
    void SetUp() override {
        TempHomeTest::SetUp();
        QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    }

    // Starts the program with the application's own services, its window
    // shown.
    void startProgram() {
        app = std::make_unique<CTheApp>();
        app->Popups().SetPresenter([this](QWidget*, const QString&, const QString& text, int) {
            boxes << text;
            return 1;
        });
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    }

    void TearDown() override {
        app.reset();
        ProgramTest::TearDown();
    }

    std::unique_ptr<CTheApp> app;
    CMainFrame* frame = nullptr;
    QStringList boxes;
};

class AppFixture : public TempHomeTest {
protected:
    struct Box {
        QString text;
        int type;
        QString caption;
    };

    void SetUp() override {
        TempHomeTest::SetUp();
        newApp();
    }

    // A fresh application object in place of the current one.
    void newApp() {
        app.reset();
        app = std::make_unique<CTheApp>();
        auto recording = std::make_unique<RecordingAppServices>(*app);
        services = recording.get();
        app->SetServices(std::move(recording));
        app->Popups().SetPresenter(
            [this](QWidget*, const QString& caption, const QString& text, int type) {
                boxes.push_back({text, type, caption});
                return boxAnswer;
            });
    }

    void TearDown() override {
        app.reset();
        TempHomeTest::TearDown();
    }

    // The program's own services in place of the recording ones.
    void useProgramServices() {
        services = nullptr;
        app->SetServices(std::make_unique<CTheAppServices>(*app));
    }

    QString settingsFolder() const { return configHome() + QStringLiteral("/Zorvic/QVX"); }

    // A server entry "Srv" for a local server on `port` right under the World
    // View's root, which is made when the World View has none.
    QTreeWidgetItem* addLocalServerUnderRoot(quint16 port) {
        CMyTree& tree = app->Tree();
        if (tree.GetRootItem() == nullptr) {
            tree.AddRootItem(QStringLiteral("World View"));
        }
        CMySystem connection;
        connection.Host = QStringLiteral("127.0.0.1");
        connection.WebPort = port;
        return tree.AddSystemItem(tree.GetRootItem(), QStringLiteral("Srv"), connection);
    }

    std::unique_ptr<CTheApp> app;
    RecordingAppServices* services = nullptr;
    std::vector<Box> boxes;
    int boxAnswer = 1;

private:
    SharedDataHome m_dataHome;
};
