#include "app/actioninterpreter.h"
#include "app/actionfixture.h"
#include "app/actions.h"
#include "framework/klog.h"
#include "server/mysystem.h"
#include "support/childprocess.h"
#include "support/fakeloginreplies.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ActionInterpreterTest : public ActionFixture {
protected:
    int runCommand(const QString& command, const QString& name = {}) {
        CActionContext context;
        context.command = command;
        context.name = name;
        return app->Interpreter().RunCommand(context);
    }
    int curlPath(const QString& command) {
        CActionContext context;
        context.command = command;
        return app->Interpreter().CurlPath(context);
    }
    QString selectedLabel() const {
        const CMyItem* record = app->Tree().GetMyItem(app->Tree().GetSelectedItem());
        return record != nullptr ? record->GetLabel() : QString();
    }
    QString debugLog() const {
        return QString::fromUtf8(readFile(settingsFolder() + QStringLiteral("/Quillex.log")));
    }
};

// One row per command form: what it returns, the boxes it shows and the
// windows it calls, with and without a main grid.
TEST_F(ActionInterpreterTest, CommandTable) {
    struct Case {
        const char* command;
        bool grid;
        int result;
        QStringList boxes;
        QStringList calls;
    };
    const QString notActive = QStringLiteral("Cannot process '%1': Grid is NOT ACTIVE.");
    const Case cases[] = {
        {"MESSAGE=Keep The Case", false, 1, {"Keep The Case"}, {}},
        {"info=same", false, 1, {"same"}, {}},
        {"set:foo", false, 1, {"Missing = sign after 'foo' (line:1)"}, {}},
        {"prompt:nothing", false, 1, {"Missing = sign after 'nothing' (line:1)"}, {}},
        {"setpreference:x", false, 1, {"setpreference: Missing = sign after 'x' (line:1)"}, {}},
        {"timer:clear", false, 1, {}, {}},
        {"timer:start", false, 1, {"Wrong number of args for 'timer:' action."}, {}},
        {"timer:go,t", false, 1, {"Invalid args after 'timer:' action."}, {}},
        {"timer:start,t", false, 1, {}, {}},
        {"gridsort:Name,0", false, 1, {notActive.arg("gridsort:Name,0")}, {}},
        {"GridSort:Name", true, 1, {"Wrong number of args for 'GridSort:' action."}, {}},
        {"gridsort: Name , 0", true, 1, {}, {"GridSort(Name,down)"}},
        {"gridsort:Name,1", true, 1, {}, {"GridSort(Name,up)"}},
        {"gridselection=,k1", false, 1, {notActive.arg("gridselection=,k1")}, {}},
        {"gridselection=,k1@k2", true, 1, {}, {"GridSelectRows(,k1@k2)"}},
        {"gridexportall=/tmp/a.csv", false, 1, {notActive.arg("gridexportall=/tmp/a.csv")}, {}},
        {"gridexportselected= /tmp/s.csv", true, 1, {}, {"GridSaveSelected(/tmp/s.csv)"}},
        {"fieldchooser", false, 1, {"Cannot process 'fieldchooser': Main Grid is NOT ACTIVE."}, {}},
        {"fieldchooser",
         true,
         1,
         {"Cannot process 'fieldchooser': this Grid has no Field Chooser."},
         {}},
        {"tab:add", false, 1, {}, {"AddPart({missing label} -> curl:error=missing action)"}},
        {"tab:add,Mine,grid:/x", false, 1, {}, {"AddPart(Mine -> grid:/x)"}},
        {"tab:Nope", false, 1, {"Invalid tab specification: Nope"}, {"SelectTab(Nope)"}},
        {"logout", false, 128, {}, {}},
        {"login=ops/pw", false, 128, {}, {}},
        {"selectfile", false, 128, {}, {}},
        {"gototab", false, 2, {}, {}},
        {"gototab2", false, 2, {}, {}},
        {"no such word", false, 2, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        boxes.clear();
        actionWindows->calls.clear();
        actionWindows->hasGrid = c.grid;
        app->SetUp(c.grid);
        EXPECT_EQ(runCommand(QString::fromUtf8(c.command), QStringLiteral("line:1")), c.result);
        EXPECT_EQ(boxTexts(), c.boxes);
        for (const QString& call : c.calls) {
            EXPECT_TRUE(actionWindows->calls.contains(call))
                << actionWindows->calls.join(u' ').toStdString();
        }
    }
}

TEST_F(ActionInterpreterTest, LocatorCommandsAddTheCallersParameters) {
    struct Case {
        const char* command;
        const char* shown;
    };
    const Case cases[] = {
        {"grid:/cmi/x", "grid:/cmi/x&Selected=,1&Target=T&v=1"},
        {"GRID:/cmi/x&Selected=,2", "GRID:/cmi/x&Selected=,2&Target=T&v=1"},
        {"browser:http://h/p&Target=U", "browser:http://h/p&Target=U&Selected=,1&v=1"},
    };
    for (const Case& c : cases) {
        services->calls.clear();
        CActionContext context;
        context.command = QString::fromUtf8(c.command);
        context.selected = QStringLiteral("&Selected=,1");
        context.target = QStringLiteral("&Target=T");
        context.extra = QStringLiteral("&v=1");
        EXPECT_EQ(app->Interpreter().RunCommand(context), 1);
        EXPECT_EQ(services->calls, QStringList{QStringLiteral("ShowCurl(%1)").arg(c.shown)});
    }
    // A locator that cannot be rendered is a script error.
    services->rendersCurl = false;
    app->SetActionRunFlags(1);
    EXPECT_EQ(runCommand(QStringLiteral("grid:/cmi/y")), 1);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("FAILED: grid:/cmi/y")});
}

TEST_F(ActionInterpreterTest, SetStoresVariablesAndTheDelay) {
    int result = 1;
    CActionContext context;
    context.command = QStringLiteral("set: ActionDelayMSecs = 300");
    context.result = &result;
    EXPECT_EQ(app->Interpreter().RunCommand(context), 1);
    EXPECT_EQ(app->Interpreter().ActionDelayMSecs(), 300);
    EXPECT_EQ(result, 0) << "no delay after set:";
    EXPECT_EQ(runCommand(QStringLiteral("SET:Colour=a=b")), 1);
    EXPECT_EQ(app->GetUserVariable(QStringLiteral("colour")), QStringLiteral("a=b"));
}

TEST_F(ActionInterpreterTest, ActionLogStartsFreshButAFolderIsKept) {
    const QString log = writeFile(QStringLiteral("run.log"), "old line\n");
    EXPECT_EQ(runCommand(u"set:actionlog="_qs + log), 1);
    EXPECT_FALSE(QFile::exists(log));
    app->LogAction(QStringLiteral("first"));
    EXPECT_TRUE(readFile(log).contains("| first")) << readFile(log).toStdString();

    const QString folder = root() + QStringLiteral("/keep");
    writeFile(QStringLiteral("keep/inside.txt"), "x");
    EXPECT_EQ(runCommand(u"set:actionlog="_qs + folder), 1);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/inside.txt")));
}

TEST_F(ActionInterpreterTest, TouchAndRemoveWorkOnFilesOnly) {
    app->SetActionRunFlags(1);
    const QString file = writeFile(QStringLiteral("t.txt"), "content");
    EXPECT_EQ(runCommand(u"touch= "_qs + file), 1);
    EXPECT_EQ(readFile(file), QByteArray());
    EXPECT_EQ(runCommand(u"remove="_qs + file), 1);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(runCommand(u"remove="_qs + file), 1) << "a missing file is no failure";
    EXPECT_TRUE(boxes.empty());

    writeFile(QStringLiteral("folder/inside.txt"), "x");
    const QString folder = root() + QStringLiteral("/folder");
    EXPECT_EQ(runCommand(u"remove="_qs + folder), 1);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/inside.txt")));
    EXPECT_EQ(boxTexts(), QStringList{u"FAILED to remove: "_qs + folder});

    boxes.clear();
    EXPECT_EQ(runCommand(u"touch="_qs + folder), 1);
    EXPECT_EQ(boxTexts(), QStringList{u"FAILED to create: "_qs + folder});
}

// The program starts without a shell: values that hold shell syntax are data.
TEST_F(ActionInterpreterTest, AppStartsTheProgramWithQuotedValues) {
    const QString made = root() + QStringLiteral("/made");
    const QString injected = root() + QStringLiteral("/X");
    KPROPS list;
    list.Add(QStringLiteral("V"), QStringLiteral("'; touch ") + injected + u'\'');
    list.Add(QStringLiteral("bad-name"), QStringLiteral("v"));
    CActionContext context;
    context.command = QStringLiteral("app:touch \"") + made + u'"';
    context.selected = QStringLiteral("&Selected=,1");
    context.list = &list;
    EXPECT_EQ(app->Interpreter().RunCommand(context), 1);
    EXPECT_TRUE(eventually([&] { return QFile::exists(made); }));

    const QString record = settingsFolder() + QStringLiteral("/RunMe.bat");
    const QByteArray text = readFile(record);
    EXPECT_TRUE(text.startsWith("#! /bin/sh\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("export SELECTED='&Selected=,1'\n"));
    EXPECT_TRUE(text.contains(("export V=''\\''; touch " + injected + "'\\'''\n").toUtf8()))
        << text.toStdString();
    EXPECT_FALSE(text.contains("bad-name"));
    QFile::remove(made);
    QByteArray output;
    EXPECT_EQ(RunChildProcess(QStringLiteral("/bin/sh"), {record}, output, 30000), 0);
    EXPECT_TRUE(QFile::exists(made)) << "the record runs the same command";
    EXPECT_FALSE(QFile::exists(injected));

    app->SetActionRunFlags(1);
    EXPECT_EQ(runCommand(QStringLiteral("app:/no/such/program -x")), 1);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("FAILED to run: /no/such/program -x")});
}

TEST_F(ActionInterpreterTest, HelpTableGoesIntoTheWindow) {
    QTreeWidget help;
    CActionContext context;
    context.command = QStringLiteral("message=not shown");
    context.window = &help;
    EXPECT_EQ(app->Interpreter().RunCommand(context), 256);
    ASSERT_EQ(help.topLevelItemCount(), 42);
    EXPECT_EQ(help.topLevelItem(0)->text(0), QStringLiteral("curlpath"));
    EXPECT_EQ(help.topLevelItem(41)->text(1),
              QStringLiteral("Invoke tree menu pick with id=xxx (or label=xxx or file=xxx)."));
    EXPECT_TRUE(boxes.empty());
}

// ---- the interpreter entry ----

TEST_F(ActionInterpreterTest, EntryPreparesTheText) {
    struct Case {
        const char* action;
        QStringList boxes;
    };
    const Case cases[] = {
        {"curl:MESSAGE=Hi%20there", {"Hi there"}},
        {"message=a+b%2Bc", {"a b+c"}},
        {"curl:message=%2541", {"%41"}},  // decoded once only
        {"Curl:message=x", {}},           // "curl:" has its case: a path, not found
        {"message=${Name} stays", {"${Name} stays"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        boxes.clear();
        EXPECT_EQ(curlPath(QString::fromUtf8(c.action)), 1);
        EXPECT_EQ(boxTexts(), c.boxes);
    }
    services->calls.clear();
    EXPECT_EQ(curlPath(QStringLiteral("grid:/cmi/x//")), 1);
    EXPECT_EQ(services->calls, QStringList{QStringLiteral("ShowCurl(grid:/cmi/x)")});
}

TEST_F(ActionInterpreterTest, GridReferencesExpandOnce) {
    actionWindows->hasGrid = true;
    actionWindows->columns[QStringLiteral("Name")] = QStringLiteral(",,a,${Name}");
    actionWindows->columns[QStringLiteral("Id")] = QStringLiteral("7");
    struct Case {
        const char* action;
        const char* shown;
    };
    const Case cases[] = {
        {"message=${Name}|${Id}|${Name}", "a,${Name}|7|a,${Name}"},
        {"message=} then ${Id}", "} then 7"},
        {"message=${Id", "${Id"},
        {"message=${Missing}!", "!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        boxes.clear();
        EXPECT_EQ(curlPath(QString::fromUtf8(c.action)), 1);
        EXPECT_EQ(boxTexts(), QStringList{QString::fromUtf8(c.shown)});
    }
}

TEST_F(ActionInterpreterTest, UnknownWordsAreErrorsOnlyInScripts) {
    EXPECT_EQ(curlPath(QStringLiteral("bogus")), 1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(app->CancelFlag(), 0);

    app->SetActionRunFlags(1);
    EXPECT_EQ(curlPath(QStringLiteral("bogus")), 1);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Could not find tree item: bogus")});
    EXPECT_EQ(app->CancelFlag(), 1);
}

// World View > Net > Srv(server) > Nodes > Router; World View > Other.
class TreeWalkTest : public ActionInterpreterTest {
protected:
    void SetUp() override {
        ActionInterpreterTest::SetUp();
        CMyTree& tree = app->Tree();
        net = tree.AddFolderItem(worldView, QStringLiteral("Net"));
        CMySystem connection;
        connection.Host = QStringLiteral("127.0.0.1");
        connection.WebPort = server.Port();
        server_ = tree.AddSystemItem(net, QStringLiteral("Srv"), connection);
        nodes = tree.AddFolderItem(server_, QStringLiteral("Nodes"));
        router = tree.AddFolderItem(nodes, QStringLiteral("Router"));
        other = tree.AddFolderItem(worldView, QStringLiteral("Other"));
        tree.SelectItem(router, true);
    }

    FakeVelnixServer server;
    QTreeWidgetItem* net = nullptr;
    QTreeWidgetItem* server_ = nullptr;
    QTreeWidgetItem* nodes = nullptr;
    QTreeWidgetItem* router = nullptr;
    QTreeWidgetItem* other = nullptr;
};

TEST_F(TreeWalkTest, PathsSelectTheirItems) {
    struct Case {
        const char* path;
        const char* selected;
    };
    const Case cases[] = {
        {"//World View|Other", "Other"},   // whole path from the root
        {"curl:||World View|Net", "Net"},  // "||" is the same
        {"Nodes|Router", "Router"},        // below the selected item's server
        {"..|..|Other", "Other"},          // parent, grandparent, then below it
        {"this", "Srv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        app->Tree().SelectItem(router, true);
        EXPECT_EQ(curlPath(QString::fromUtf8(c.path)), 1);
        EXPECT_EQ(selectedLabel(), QString::fromUtf8(c.selected));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TreeWalkTest, ItemActionsRunWithoutSelecting) {
    app->Tree().SelectItem(other, true);
    EXPECT_EQ(curlPath(QStringLiteral("//World View|Net|Srv|Nodes:refresh,populate")), 1);
    EXPECT_EQ(selectedLabel(), QStringLiteral("Srv")) << "passed items are selected";
    EXPECT_TRUE(actionWindows->calls.contains(QStringLiteral("FetchAndExpand(Nodes)")))
        << actionWindows->calls.join(u' ').toStdString();
}

TEST_F(TreeWalkTest, MissingItemInAScriptStopsTheWalk) {
    app->SetActionRunFlags(1);
    EXPECT_EQ(curlPath(QStringLiteral("//World View|Gone|Other")), 1);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Could not find tree item: Gone")});
    EXPECT_EQ(selectedLabel(), QStringLiteral("World View"));
}

TEST_F(TreeWalkTest, ActionOnADeletedItemDoesNotRun) {
    CMyItem* record = app->Tree().GetMyItem(nodes);
    ASSERT_NE(record, nullptr);
    const quint32 id = record->GetItemId();
    app->Tree().DeleteItem(nodes);
    CActionContext context;
    context.command = QStringLiteral("refresh");
    context.itemId = id;
    EXPECT_EQ(app->Interpreter().RunCommand(context), 128);
    EXPECT_TRUE(actionWindows->calls.isEmpty());
}

// A failed login is reported once and never walked as a path: that would
// log in a second time and write the password into the log.
TEST_F(TreeWalkTest, FailedLoginLogsInOnceAndKeepsThePasswordOutOfTheLog) {
    fakelogin::ScriptCmiLogAndCancel(server);
    fakelogin::ScriptLoginStatus(server, 403);
    {
        QFile flag(settingsFolder() + QStringLiteral("/Quillex.dbg"));
        ASSERT_TRUE(flag.open(QIODevice::WriteOnly));
        flag.write("3\n");
    }
    ASSERT_GT(kDebugLevel(1), 0);
    app->SetActionRunFlags(1);

    EXPECT_EQ(curlPath(QStringLiteral("login=Ops/Sec Ret")), 12);

    EXPECT_EQ(fakelogin::RequestsOf(server, fakelogin::kLoginQuery).size(), 1U);
    ASSERT_EQ(boxes.size(), 1U) << boxTexts().join(u'|').toStdString();
    EXPECT_EQ(boxes[0].type, kPopupError);
    auto* system = dynamic_cast<CMySystem*>(app->Tree().GetSystem(router));
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->User, QStringLiteral("Ops")) << "arguments keep their case";
    EXPECT_EQ(system->Password, QStringLiteral("Sec Ret"));
    for (const QString& line : debugLog().split(u'\n')) {
        if (line.contains(QStringLiteral("Sec Ret"))) {
            ADD_FAILURE() << line.toStdString();
        }
    }
    EXPECT_FALSE(debugLog().contains(QStringLiteral("Could not find tree item")));
}

// The words that open windows run at once, even inside another action.
TEST_F(ActionInterpreterTest, WindowWordsRunAtOnce) {
    CActionContext context;
    context.command = QStringLiteral("tab:add,Fields,fieldchooser");
    EXPECT_EQ(app->Interpreter().DispatchCurl(context), 1);
    EXPECT_TRUE(actionWindows->calls.contains(QStringLiteral("AddPart(Fields -> fieldchooser)")));
    EXPECT_EQ(app->Actions().QueuedCount(), 0);

    context.command = QStringLiteral("launchbrowser:http://h/cmi?Action=Ping");
    context.selected = QStringLiteral("&Selected=,9");
    EXPECT_EQ(app->Interpreter().DispatchCurl(context), 1);
    EXPECT_TRUE(actionWindows->calls.contains(
        QStringLiteral("LaunchBrowser(http://h/cmi?Action=Ping&Selected=,9 | Ping - Quillet for "
                       "Velnix by Zorvic)")))
        << actionWindows->calls.join(u' ').toStdString();
}

}  // namespace
