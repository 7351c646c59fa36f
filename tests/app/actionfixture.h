#pragma once

// The test application with a World View tree in a control of its own and
// recording action windows: a grid, tabs and a prompt that answer as the
// test says, and a list of the calls made to them.

#include "app/appfixture.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"
#include "support/fakevelnixserver.h"
#include "support/recordingactionwindows.h"
#include "tree/mytree.h"

#include <QStringList>
#include <QTreeWidget>

// Waits for the condition while handling events; generous, since the
// sanitizer builds and a loaded machine are slow.
template <typename Condition>
bool eventually(Condition condition) {
    return QTest::qWaitFor(condition, 30000);
}

class ActionFixture : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        auto recording = std::make_unique<RecordingActionWindows>(*app);
        actionWindows = recording.get();
        app->SetActionWindows(std::move(recording));
        app->Tree().AttachTreeCtrl(&treeControl);
        worldView = app->Tree().AddRootItem(QStringLiteral("World View"));
    }

    // The World View's entries go before the application they belong to: a
    // server entry that logged in gives its menu command ids back to it.
    void TearDown() override {
        app->Tree().AttachTreeCtrl(nullptr);
        treeControl.clear();
        AppFixture::TearDown();
    }

    // A server entry "Srv" under the World View for the fake server (whose
    // login the test scripted), selected and logged in as ops/pw. Null, with
    // the failure recorded, when the login fails.
    CMySystem* addLoggedInServer(const FakeVelnixServer& server,
                                 QTreeWidgetItem** entry = nullptr) {
        CMySystem connection;
        connection.Host = QStringLiteral("127.0.0.1");
        connection.WebPort = server.Port();
        connection.User = QStringLiteral("ops");
        connection.Password = QStringLiteral("pw");
        QTreeWidgetItem* item =
            app->Tree().AddSystemItem(worldView, QStringLiteral("Srv"), connection);
        app->Tree().SelectItem(item, true);
        if (entry != nullptr) {
            *entry = item;
        }
        auto* system = dynamic_cast<CMySystem*>(app->Tree().GetSystem(item));
        QString error;
        if (system == nullptr || system->Login(error, nullptr, nullptr, false) != 1) {
            ADD_FAILURE() << "login failed: " << error.toStdString();
            return nullptr;
        }
        return system;
    }

    // A "win32" server whose jobs can be cancelled, logged in and selected:
    // its replies' process ids go to its list.
    CMySystem* addLoggedInCancellingServer(FakeVelnixServer& server,
                                           QTreeWidgetItem** entry = nullptr) {
        fakelogin::ScriptCmiLogAndCancel(server);
        FakeLoginReply reply;
        reply.serverInfo = "win32";
        fakelogin::ScriptLogin(server, reply);
        return addLoggedInServer(server, entry);
    }

    QStringList boxTexts() const {
        QStringList texts;
        for (const Box& box : boxes) {
            texts << box.text;
        }
        return texts;
    }

    QTreeWidget treeControl;
    RecordingActionWindows* actionWindows = nullptr;
    QTreeWidgetItem* worldView = nullptr;
};
