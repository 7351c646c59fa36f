#include "app/actiondialog.h"
#include "app/actionfixture.h"
#include "app/actionrunner.h"
#include "app/history.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class ActionDialogTest : public ActionFixture {
protected:
    void SetUp() override {
        ActionFixture::SetUp();
        // The pad and path live for the whole run; each case starts afresh.
        g_ActionScratchPad.clear();
        g_ActionScriptPath.clear();
        dialog = std::make_unique<CActionDialog>(*app);
        dialog->SetFilePrompt(
            [this](bool open, QString& path, const QString& initialName, QWidget*) {
                prompts << QStringLiteral("%1 %2").arg(open ? "open" : "save", initialName);
                path = chosenPath;
                return !chosenPath.isEmpty();
            });
        dialog->SetReadOnlyQuestion([this](const QString& name) {
            questions << name;
            return readOnlyAnswer;
        });
    }

    void TearDown() override {
        dialog.reset();
        ActionFixture::TearDown();
    }

    QString padText() { return dialog->Pad().toPlainText(); }

    void placeCaret(int line, int column) {
        QTextCursor cursor(dialog->Pad().document()->findBlockByNumber(line - 1));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        dialog->Pad().setTextCursor(cursor);
    }

    std::unique_ptr<CActionDialog> dialog;
    QString chosenPath;
    QStringList prompts;
    QStringList questions;
    CFileDeleter::Answer readOnlyAnswer = CFileDeleter::Answer::No;
};

TEST_F(ActionDialogTest, FirstOpeningShowsTheDefaultsAndBothHelpTables) {
    EXPECT_EQ(padText(), QStringLiteral("curl:yesno=Are you breathing?"));
    EXPECT_EQ(g_ActionScriptPath, settingsFolder() + QStringLiteral("/actions.curl"));
    EXPECT_EQ(dialog->HistoryButton().text(), QStringLiteral("Load Curl History (0 items)"));
    EXPECT_FALSE(dialog->HistoryButton().isEnabled());
    for (QTreeWidget* list : {&dialog->ListHelp(), &dialog->CommandHelp()}) {
        EXPECT_GT(list->topLevelItemCount(), 10);
        EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Name"));
        EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Comment"));
    }

    // Typed text survives closing and reopening.
    dialog->Pad().setPlainText(QStringLiteral("curl:sleep=1"));
    dialog = std::make_unique<CActionDialog>(*app);
    EXPECT_EQ(padText(), QStringLiteral("curl:sleep=1"));
}

TEST_F(ActionDialogTest, HistoryFillsThePadOldestFirst) {
    app->History().AddCURL(QStringLiteral("grid:/cmi/first"));
    app->History().AddCURL(QStringLiteral("browser:/second"));
    dialog = std::make_unique<CActionDialog>(*app);
    EXPECT_EQ(dialog->HistoryButton().text(), QStringLiteral("Load Curl History (2 items)"));
    ASSERT_TRUE(dialog->HistoryButton().isEnabled());

    QTest::mouseClick(&dialog->HistoryButton(), Qt::LeftButton);
    EXPECT_EQ(padText(), QStringLiteral("curl:grid:/cmi/first\ncurl:browser:/second\n"));
}

TEST_F(ActionDialogTest, SavedScriptsHoldLineFeedsAndWindowsFilesLoadClean) {
    dialog->Pad().setPlainText(QStringLiteral("set:a=1\nset:b=2"));
    chosenPath = root() + QStringLiteral("/scripts/mine.curl");
    QDir().mkpath(root() + QStringLiteral("/scripts"));
    ASSERT_TRUE(dialog->OnSaveFile());
    EXPECT_EQ(readFile(chosenPath), QByteArray("set:a=1\nset:b=2"));
    EXPECT_EQ(g_ActionScriptPath, chosenPath);
    ASSERT_EQ(prompts.size(), 1);
    EXPECT_EQ(prompts[0], QStringLiteral("save %1/*.curl").arg(settingsFolder()));

    // The next dialog starts in the folder of the script last used.
    chosenPath = writeFile(QStringLiteral("scripts/windows.curl"),
                           "curl:sleep=1\r\ncurl:message=hi\n\rset:c=3\r\n");
    dialog->OnLoadFile();
    EXPECT_EQ(prompts[1], QStringLiteral("open %1/scripts/*.curl").arg(root()));
    EXPECT_EQ(padText(), QStringLiteral("curl:sleep=1\ncurl:message=hi\nset:c=3\n"));
    EXPECT_EQ(g_ActionScratchPad, padText());
}

TEST_F(ActionDialogTest, InsertedRowsBecomeWholeLines) {
    struct Case {
        const char* name;
        int line;
        int column;
        int selectLines;  // lines the selection reaches down, 0 for none
        QString expected;
    };
    const QString pad = QStringLiteral("one\ntwo\nthree\nfour");
    const Case cases[] = {
        {"caret mid line 2", 2, 1, 0, QStringLiteral("one\ntwo\nNEW\nthree\nfour")},
        {"caret at the end", 4, 4, 0, QStringLiteral("one\ntwo\nthree\nfour\nNEW")},
        {"selection over lines 2-3", 2, 2, 1, QStringLiteral("one\nNEW\nfour")},
        {"selection inside line 3", 3, 1, 0, QStringLiteral("one\ntwo\nthree\nNEW\nfour")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog->Pad().setPlainText(pad);
        placeCaret(c.line, c.column);
        if (c.selectLines > 0) {
            QTextCursor cursor = dialog->Pad().textCursor();
            cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, c.selectLines);
            dialog->Pad().setTextCursor(cursor);
        }
        dialog->InsertLine(QStringLiteral("NEW"));
        EXPECT_EQ(padText(), c.expected);
        EXPECT_EQ(g_ActionScratchPad, c.expected);
    }
}

TEST_F(ActionDialogTest, DoubleClickedHelpRowsAreWrittenIntoThePad) {
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    struct Case {
        QTreeWidget* list;
        QString expectedLine;
    };
    const Case cases[] = {
        {&dialog->CommandHelp(),
         QStringLiteral("curl:") + dialog->CommandHelp().topLevelItem(0)->text(0)},
        {&dialog->ListHelp(), dialog->ListHelp().topLevelItem(0)->text(0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedLine.toStdString());
        dialog->Pad().setPlainText(QStringLiteral("first"));
        placeCaret(1, 2);
        const QRect row = c.list->visualItemRect(c.list->topLevelItem(0));
        // A widget's double click is a press and release, then the double click.
        const QPoint onName(10, row.center().y());
        QTest::mouseClick(c.list->viewport(), Qt::LeftButton, {}, onName);
        QTest::mouseDClick(c.list->viewport(), Qt::LeftButton, {}, onName);
        EXPECT_EQ(padText(), QStringLiteral("first\n") + c.expectedLine);
        EXPECT_EQ(QApplication::focusWidget(), &dialog->Pad());
    }
}

TEST_F(ActionDialogTest, RunScriptRunsThePadWithTheButtonsOff) {
    useProgramServices();  // the real script runner
    QList<bool> enabledWhileRunning;
    app->Runner().SetStepPause([&](int) {
        for (QPushButton* button : {&dialog->RunButton(), &dialog->HistoryButton(),
                                    &dialog->LoadButton(), &dialog->SaveButton()}) {
            enabledWhileRunning << button->isEnabled();
        }
    });
    app->History().AddCURL(QStringLiteral("grid:/cmi/one"));
    dialog->Pad().setPlainText(QStringLiteral("set:ActionDelayMSecs=1\nset:Breathing=yes"));

    ASSERT_TRUE(dialog->OnRunScript());
    EXPECT_EQ(app->GetUserVariable(QStringLiteral("breathing")), QStringLiteral("yes"));
    ASSERT_FALSE(enabledWhileRunning.isEmpty());
    EXPECT_FALSE(enabledWhileRunning.contains(true));
    for (QPushButton* button : {&dialog->RunButton(), &dialog->HistoryButton(),
                                &dialog->LoadButton(), &dialog->SaveButton()}) {
        EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(settingsFolder() + QStringLiteral("/Quillex.curl")));
}

TEST_F(ActionDialogTest, UnwritableTempScriptIsReportedAndNotRun) {
    ASSERT_TRUE(QDir().mkpath(settingsFolder() + QStringLiteral("/Quillex.curl")));
    EXPECT_FALSE(dialog->OnRunScript());
    ASSERT_EQ(boxTexts(), QStringList{QStringLiteral("Failed to write temp file.")});
    EXPECT_FALSE(services->calls.join(u',').contains(QStringLiteral("RunActionScript")));
}

TEST_F(ActionDialogTest, FailedOrRefusedSavesKeepTheOldFile) {
    dialog->Pad().setPlainText(QStringLiteral("set:new=1"));

    // The folder is a plain file: nothing can be written below it.
    writeFile(QStringLiteral("blocker"), "x");
    chosenPath = root() + QStringLiteral("/blocker/script.curl");
    EXPECT_FALSE(dialog->OnSaveFile());
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Could not write to: ") + chosenPath});

    // A read-only script stays untouched unless the user says Yes.
    chosenPath = writeFile(QStringLiteral("kept.curl"), "set:old=1\n");
    QFile::setPermissions(chosenPath, QFileDevice::ReadOwner);
    EXPECT_FALSE(dialog->OnSaveFile());
    EXPECT_EQ(questions, QStringList{QStringLiteral("kept.curl")});
    EXPECT_EQ(readFile(chosenPath), QByteArray("set:old=1\n"));

    readOnlyAnswer = CFileDeleter::Answer::Yes;
    EXPECT_TRUE(dialog->OnSaveFile());
    EXPECT_EQ(readFile(chosenPath), QByteArray("set:new=1"));
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(ActionDialogTest, DocumentationIsAReferencePageOfBothTables) {
    dialog->OnOpenDocumentation();
    ASSERT_EQ(actionWindows->calls.size(), 1);
    const QString call = actionWindows->calls[0];
    ASSERT_TRUE(call.startsWith(QStringLiteral("LaunchBrowser(file://"))) << call.toStdString();
    const QString path =
        QUrl(call.section(u'(', 1).section(QStringLiteral(" | "), 0, 0)).toLocalFile();
    const QString page = QString::fromUtf8(readFile(path));
    EXPECT_TRUE(page.contains(QStringLiteral("<code>curl:yesno=xxx</code>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<code>set:name=value</code>")));
    EXPECT_TRUE(page.contains(QStringLiteral("GridSelection=,key1@key2")));
}

}  // namespace
