#include "app/actionrunner.h"
#include "app/actionfixture.h"
#include "app/actioninterpreter.h"
#include "app/actions.h"
#include "dialogs/promptdialog.h"
#include "support/modalcloser.h"
#include "tree/myitem.h"
#include "tree/mytree.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class ActionRunnerTest : public ActionFixture {
protected:
    void SetUp() override {
        ActionFixture::SetUp();
        actionLog = root() + QStringLiteral("/actions.log");
        app->SetActionLogPath(actionLog);
        app->Runner().SetStepPause([this](int milliseconds) { steps << milliseconds; });
    }

    static KPROPS listOf(const QStringList& actions) {
        KPROPS list;
        for (int i = 0; i < actions.size(); ++i) {
            list.Add(QStringLiteral("mitem%1").arg(i), actions[i]);
        }
        return list;
    }

    QStringList logLines() const {
        QStringList lines;
        for (const QString& line : QString::fromUtf8(readFile(actionLog)).split(u'\n')) {
            if (!line.isEmpty()) {
                lines << line.section(QStringLiteral(" | "), 1);
            }
        }
        return lines;
    }

    QString actionLog;
    QList<int> steps;
};

TEST_F(ActionRunnerTest, DelayIsSleptIn250MillisecondSteps) {
    struct Case {
        const char* delay;
        int steps;
    };
    const Case cases[] = {{"1", 1}, {"250", 1}, {"251", 2}, {"1000", 4}, {"-5", 0}, {"0", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay);
        steps.clear();
        CActionContext set;
        set.command = QStringLiteral("set:ActionDelayMSecs=") + QString::fromUtf8(c.delay);
        app->Interpreter().RunCommand(set);
        EXPECT_EQ(app->Runner().RunActions(listOf({QStringLiteral("timer:clear")}), u'X'), 1);
        EXPECT_EQ(steps.size(), c.steps);
        for (int step : steps) {
            EXPECT_EQ(step, 250);
        }
    }
}

TEST_F(ActionRunnerTest, EmptyListLogsNoErrors) {
    EXPECT_EQ(app->Runner().RunActions(KPROPS(), u'S'), 1);
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("0 errors")});
}

// The worker runs each action before the next is handed over, so the error
// box of the second stops the third.
TEST_F(ActionRunnerTest, ErrorInTheSecondActionStopsTheThird) {
    const KPROPS list = listOf({QStringLiteral("message=one"), QStringLiteral("error=two"),
                                QStringLiteral("message=three")});
    EXPECT_EQ(app->Runner().RunActions(list, u'S'), 4);
    EXPECT_EQ(boxTexts(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(logLines(),
              (QStringList{QStringLiteral("mitem0: message=one"),
                           QStringLiteral("mitem1: error=two"), QStringLiteral("1 error")}));
}

// An action holding a window word runs at once on the UI thread; its error
// ends the list as a queued action's does.
TEST_F(ActionRunnerTest, ErrorOfAnActionRunAtOnceEndsTheList) {
    const KPROPS list = listOf({QStringLiteral("xfieldchooserx"), QStringLiteral("message=no")});
    EXPECT_EQ(app->Runner().RunActions(list, u'S'), 4);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Could not find tree item: xfieldchooserx")});
    EXPECT_EQ(app->Actions().QueuedCount(), 0);
}

TEST_F(ActionRunnerTest, HelpTableInsteadOfRunning) {
    QTreeWidget help;
    EXPECT_EQ(app->Runner().RunActions(listOf({QStringLiteral("error=x")}), u'S', &help), 256);
    ASSERT_EQ(help.topLevelItemCount(), 26);
    EXPECT_EQ(help.topLevelItem(25)->text(0), QStringLiteral("tab:label"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ActionRunnerTest, ScriptsAreReadLineByLine) {
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList entries;  // name=value
    };
    const QByteArray longLine = "message=" + QByteArray(1024 * 1024, 'x');
    const Case cases[] = {
        {"comments and blanks", "# c\n\n  message=a  \n", {"line:3=message=a"}},
        {"comment after blanks", "   # c\nmessage=a\n", {"line:2=message=a"}},
        {"CRLF", "message=a\r\nmessage=b\r\n", {"line:1=message=a", "line:2=message=b"}},
        {"BOM", "\xEF\xBB\xBFmessage=a\n", {"line:1=message=a"}},
        {"UTF-8",
         "message=Gr\xC3\xBC\xC3\x9F"
         "e\n",
         {"line:1=message=Grüße"}},
        {"Latin-1",
         "message=Gr\xFC\xDF"
         "e\n",
         {"line:1=message=Grüße"}},
        {"no last line feed", "message=a", {"line:1=message=a"}},
        {"NUL bytes",
         QByteArray("message=a\0b\n", 12),
         {QString::fromUtf16(u"line:1=message=a\u0000b", 18)}},
        {"a 1 MB line", longLine, {"line:1=" + QString::fromLatin1(longLine)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = writeFile(QStringLiteral("script.curl"), c.bytes);
        KPROPS list;
        ASSERT_EQ(app->Runner().LoadActionScript(path, list), 1);
        QStringList entries;
        for (int i = 0; i < list.Count(); ++i) {
            entries << list.GetNameAt(i) + u'=' + list.GetValueAt(i);
        }
        EXPECT_EQ(entries, c.entries);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ActionRunnerTest, UnreadableScriptShowsItsPathAndRunsNothing) {
    const QString folder = root() + QStringLiteral("/a folder.curl");
    writeFile(QStringLiteral("a folder.curl/x"), "message=no\n");
    const QString missing = root() + QStringLiteral("/missing.curl");
    for (const QString& path : {folder, missing}) {
        SCOPED_TRACE(path.toStdString());
        boxes.clear();
        EXPECT_FALSE(app->Runner().RunActionScript(path));
        ASSERT_EQ(boxes.size(), 1U);
        EXPECT_EQ(boxes[0].type, kPopupError);
        EXPECT_TRUE(boxes[0].text.contains(path)) << boxes[0].text.toStdString();
        EXPECT_EQ(app->CancelFlag(), 0) << "a file error counts no error";
    }
}

// A script's "tab:add" gives the selected item a tab and shows the item
// again: collapsed, its children go, and it stays selected.
TEST_F(ActionRunnerTest, ScriptAddsTabsToTheSelectedItem) {
    CMyTree& tree = app->Tree();
    QTreeWidgetItem* ports = tree.AddFolderItem(worldView, QStringLiteral("Ports"));
    tree.AddFolderItem(ports, QStringLiteral("old child"));
    tree.SelectItem(ports, true);
    const QString path =
        writeFile(QStringLiteral("tabs.curl"), "tab:add,Rows,grid:/cmi/Ports\ntab:add\n");

    EXPECT_TRUE(app->Runner().RunActionScript(path));

    const CMyItem* record = tree.GetMyItem(ports);
    ASSERT_NE(record, nullptr);
    QStringList tabs;
    for (int i = 0; i < record->Parts.Count(); ++i) {
        tabs << record->Parts.GetValueAt(i) + QStringLiteral(" = ") + record->Parts.GetNameAt(i);
    }
    EXPECT_EQ(tabs, (QStringList{"Rows = grid:/cmi/Ports",
                                 "{missing label} = curl:error=missing action"}));
    EXPECT_EQ(ports->childCount(), 0) << "the item was not shown again";
    EXPECT_EQ(tree.GetSelectedItem(), ports);
    EXPECT_TRUE(boxes.empty()) << boxTexts().join(u'|').toStdString();
}

TEST_F(ActionRunnerTest, ScriptRunsInScriptMode) {
    const QString path =
        writeFile(QStringLiteral("run.curl"), "# first\n\nmessage=ok\nbogus\nmessage=never\n");
    EXPECT_FALSE(app->Runner().RunActionScript(path));
    EXPECT_EQ(boxTexts(), (QStringList{QStringLiteral("ok"),
                                       QStringLiteral("Could not find tree item: bogus")}));
    EXPECT_EQ(logLines().last(), QStringLiteral("1 error"));
}

TEST_F(ActionRunnerTest, TreeMenusSendTheItemsIdAndGridMenusTheSelection) {
    CMyTree& tree = app->Tree();
    CMyItem record;
    record.SetLabel(QStringLiteral("Node 7"));
    record.ID = QStringLiteral("n 7");
    QTreeWidgetItem* node = tree.InsertItemCopy(worldView, nullptr, record);
    ASSERT_NE(node, nullptr);
    tree.SelectItem(node, true);
    const KPROPS list = listOf({QStringLiteral("grid:/cmi/x")});

    app->Runner().RunActions(list, u'T');
    EXPECT_TRUE(services->calls.contains(QStringLiteral("ShowCurl(grid:/cmi/x&Selected=,n%207)")))
        << services->calls.join(u' ').toStdString();

    actionWindows->selectedKeys = QStringLiteral(",a@b");
    services->calls.clear();
    app->Runner().RunActions(list, u'G');
    EXPECT_TRUE(services->calls.contains(
        QStringLiteral("ShowCurl(grid:/cmi/x&Selected=,a@b&Target=n%207)")))
        << services->calls.join(u' ').toStdString();
}

// The program's own prompt: the worker that runs "prompt:" waits while the
// question is asked on the UI thread, and the answer reaches the next action.
class PromptActionTest : public AppFixture {};

TEST_F(PromptActionTest, TheWorkerWaitsForTheAnswerGivenOnTheUiThread) {
    const struct {
        const char* typed;
        Qt::Key key;
        int result;
        QStringList curls;
    } cases[] = {
        {"node 7&x", Qt::Key_Return, 1, {u"ShowCurl(grid:/cmi/x&v=node+7%26x)"_qs}},
        {"", Qt::Key_Return, 1, {u"ShowCurl(grid:/cmi/x&v=)"_qs}},
        {"never", Qt::Key_Escape, 4, {}},
    };
    KPROPS list;
    list.Add(u"mitem0"_qs, u"prompt:v=Which node?"_qs);
    list.Add(u"mitem1"_qs, u"grid:/cmi/x"_qs);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        services->calls.clear();
        app->SetCancelFlag(0);
        bool onUiThread = false;
        bool workerWaits = false;
        QString question;
        ModalCloser<CPromptDialog> closer([&](CPromptDialog& dialog) {
            onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
            workerWaits = app->Actions().IsWorkerBusy();
            question = dialog.findChild<QLabel*>()->text();
            auto* edit = dialog.findChild<QLineEdit*>();
            QTest::keyClicks(edit, QString::fromUtf8(c.typed));
            QTest::keyClick(edit, c.key);
        });
        EXPECT_EQ(app->Runner().RunActions(list, u'S'), c.result);
        EXPECT_TRUE(closer.seen);
        EXPECT_TRUE(onUiThread);
        EXPECT_TRUE(workerWaits) << "the action worker asked";
        EXPECT_EQ(question, u"Which node?");
        EXPECT_EQ(services->calls, c.curls);
    }
}

}  // namespace
