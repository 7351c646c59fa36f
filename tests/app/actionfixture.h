#pragma once

// The test application with a World View tree in a control of its own and
// recording action seams: a grid, tabs, a prompt and a file chooser that
// answer as the test says, and a list of every seam called.

#include "app/actionseams.h"
#include "app/appfixture.h"
#include "server/mysystem.h"
#include "support/fakevelnixserver.h"
#include "tree/mytree.h"

#include <QStringList>
#include <QTreeWidget>

#include <map>

class RecordingActionSeams : public CActionSeams {
public:
    bool HasGrid() override { return hasGrid; }
    bool IsGridUsable() override { return hasGrid; }
    QString GridSelectedRowsByColName(const QString& column, const QString&) override {
        record(u"GridSelectedRowsByColName", column);
        const auto found = columns.find(column);
        return found != columns.end() ? found->second : QString();
    }
    QString GridSelectedRowsByColProp(const QString&, const QString&) override {
        return selectedKeys;
    }
    int GridSelectRows(const QString& keys, const QString&, const QString&) override {
        record(u"GridSelectRows", keys);
        return rowsMatched;
    }
    bool GridSaveAsCSV(const QString& path, bool selectedOnly, bool) override {
        record(selectedOnly ? u"GridSaveSelected" : u"GridSaveAll", path);
        return csvWritten;
    }
    bool GridSortByColName(const QString& column, bool ascending) override {
        record(u"GridSort", column + (ascending ? QStringLiteral(",up") : QStringLiteral(",down")));
        return true;
    }
    bool GridHasFieldChooser() override { return false; }
    bool SelectTabByLabel(const QString& label) override {
        record(u"SelectTab", label);
        return tabs.contains(label);
    }
    void AddPart(QTreeWidgetItem*, const QString& label, const QString& action) override {
        record(u"AddPart", label + QStringLiteral(" -> ") + action);
    }
    void FetchAndExpand(QTreeWidgetItem* item) override {
        record(u"FetchAndExpand", item != nullptr ? item->text(0) : QStringLiteral("-"));
    }
    void LaunchBrowser(const QString& url, const QString& title) override {
        record(u"LaunchBrowser", url + QStringLiteral(" | ") + title);
    }
    bool Prompt(const QString& text, QString& answer) override {
        record(u"Prompt", text);
        answer = promptAnswer;
        return promptAnswers;
    }
    void GridEndLoad() override { record(u"GridEndLoad"); }

    bool hasGrid = false;
    std::map<QString, QString> columns;
    QString selectedKeys;
    int rowsMatched = 1;
    bool csvWritten = true;
    QStringList tabs;
    bool promptAnswers = true;
    QString promptAnswer;
    QStringList calls;

private:
    void record(const char16_t* name, const QString& argument = {}) {
        calls << QString::fromUtf16(name) + u'(' + argument + u')';
    }
};

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
        auto recording = std::make_unique<RecordingActionSeams>();
        actionSeams = recording.get();
        app->SetActionSeams(std::move(recording));
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

    QStringList boxTexts() const {
        QStringList texts;
        for (const Box& box : boxes) {
            texts << box.text;
        }
        return texts;
    }

    QTreeWidget treeControl;
    RecordingActionSeams* actionSeams = nullptr;
    QTreeWidgetItem* worldView = nullptr;
};
