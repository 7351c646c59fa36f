#include "dialogs/selectfile.h"
#include "app/actionfixture.h"
#include "app/actioninterpreter.h"
#include "app/appactionwindows.h"
#include "grid/mygrid.h"
#include "server/mysystem.h"
#include "settings/urlcoding.h"
#include "support/fakeloginreplies.h"
#include "ui/popupmessages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Reply = FakeVelnixServer::Reply;

constexpr int kDirectoryMode = 040755;
constexpr int kFileMode = 0100644;

// One "item" of a listing; a file's URL names it with "File" unless told not to.
QByteArray listingItem(const QByteArray& label, int mode, const QByteArray& url) {
    return "<item label='" + label + "' mode='" + QByteArray::number(mode) +
           "' bytes='12' owner='ops' main-grid-url='" + url + "'/>";
}

QByteArray directoryItem(const QByteArray& label, const QByteArray& dir) {
    return listingItem(label, kDirectoryMode,
                       "/cmi/Services?Action=GetDirectory&amp;Dir=" + dir + "&amp;MaxLevel=1");
}

QByteArray fileItem(const QByteArray& label, const QByteArray& path) {
    return listingItem(label, kFileMode, "/cmi/Services?Action=GetFile&amp;File=" + path);
}

class SelectFileTest : public ActionFixture {
protected:
    void SetUp() override {
        ActionFixture::SetUp();
        ASSERT_TRUE(server.IsListening());
        fakelogin::ScriptCmiLogAndCancel(server);
        fakelogin::ScriptLogin(server, FakeLoginReply());
        scriptListing("$KJ_HOME",
                      directoryItem("sub", "$KJ_HOME/sub/") + fileItem("a.dcr", "$KJ_HOME/a.dcr") +
                          fileItem("b.arf", "$KJ_HOME/b.arf") +
                          listingItem("c.dcr", kFileMode, "/cmi/Services?Action=GetFile"));
        // The server lists a directory alike with or without a "/" at its end.
        for (const char* sub : {"$KJ_HOME/sub/", "$KJ_HOME/sub"}) {
            scriptListing(sub, fileItem("deep.dcr", "$KJ_HOME/sub/deep.dcr"));
        }
        scriptListing("$KJ_HOME/a+b%26c%23", fileItem("odd.dcr", "$KJ_HOME/a b/odd.dcr"));

        ASSERT_NE(addLoggedInServer(server, &serverItem), nullptr);
        boxAnswer = kAnswerYes;
    }

    void scriptListing(const QByteArray& encodedDir, const QByteArray& items) {
        server.Script(FakeVelnixServer::kServicesPath,
                      "Action=GetDirectory&Dir=" + encodedDir + "&MaxLevel=1",
                      Reply::Xml("<tree path='" + encodedDir + "'>" + items + "</tree>"));
    }

    std::unique_ptr<CSelectFile> open() {
        server.ClearRequests();
        auto dialog = std::make_unique<CSelectFile>(
            app->Prefs(), app->Tree(), QStringLiteral("SelectFile"), QStringLiteral("$KJ_HOME"));
        EXPECT_TRUE(dialog->OnInitDialog());
        return dialog;
    }

    // The directories the server was asked to list, decoded.
    QStringList listedDirs() const {
        QStringList dirs;
        for (const auto& request : server.Requests()) {
            const QString query = QString::fromUtf8(request.query);
            if (query.startsWith(u"Action=GetDirectory&Dir=")) {
                dirs << DecodeFromURL(query.section(u'&', 1, 1).mid(4));
            }
        }
        return dirs;
    }

    // The rows' names in the grid's order.
    static QStringList rowNames(CSelectFile& dialog) {
        QStringList rows;
        for (int row = 1; row < dialog.Grid().GetRowCount(); ++row) {
            rows << dialog.Grid().GetItemText(row, 0);
        }
        return rows;
    }

    // The rows' names sorted, whatever order the grid keeps.
    static QStringList names(CSelectFile& dialog) {
        QStringList rows = rowNames(dialog);
        rows.sort();
        return rows;
    }

    static int rowNamed(CSelectFile& dialog, const QString& name) {
        return static_cast<int>(rowNames(dialog).indexOf(name)) + 1;
    }

    static void select(CSelectFile& dialog, int row) {
        dialog.Grid().SetSelectedRange(row, 0, row, dialog.Grid().GetColumnCount() - 1);
    }

    QString pref(const char* suffix) const {
        return app->Prefs().GetString(QStringLiteral("SelectFile") + QString::fromLatin1(suffix));
    }

    FakeVelnixServer server;
    QTreeWidgetItem* serverItem = nullptr;
};

TEST_F(SelectFileTest, FirstOpeningListsTheBaseDirectoryWithRuleFiles) {
    auto dialog = open();
    EXPECT_EQ(listedDirs(), QStringList{QStringLiteral("$KJ_HOME")});
    EXPECT_EQ(dialog->FileTypes().currentText(), QStringLiteral("Discover Rule Files (*.dcr)"));
    EXPECT_EQ(dialog->FileTypes().count(), 3);
    EXPECT_FALSE(dialog->UpButton().isEnabled());
    EXPECT_EQ(dialog->PathEdit().text(), QStringLiteral("$KJ_HOME"));
    EXPECT_EQ(names(*dialog), (QStringList{QStringLiteral("a.dcr"), QStringLiteral("c.dcr"),
                                           QStringLiteral("sub/")}));
    EXPECT_EQ(pref("/BaseDirectory"), QStringLiteral("$KJ_HOME"));
}

TEST_F(SelectFileTest, StoredTypesChooseTheFilter) {
    struct Case {
        const char* stored;
        const char* shown;
        QStringList rows;
    };
    const Case cases[] = {
        {".txt",
         "Discover Rule Files (*.dcr)",
         {QStringLiteral("a.dcr"), QStringLiteral("c.dcr"), QStringLiteral("sub/")}},
        {".arf",
         "UI Generated Discover Rule Files (*.arf)",
         {QStringLiteral("b.arf"), QStringLiteral("sub/")}},
        {".*",
         "All Files (*.*)",
         {QStringLiteral("a.dcr"), QStringLiteral("b.arf"), QStringLiteral("c.dcr"),
          QStringLiteral("sub/")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        app->Prefs().SetString(QStringLiteral("SelectFile/Filter"), QString::fromLatin1(c.stored));
        auto dialog = open();
        EXPECT_EQ(dialog->FileTypes().currentText(), QString::fromLatin1(c.shown));
        EXPECT_EQ(names(*dialog), c.rows);
    }

    // Changing the type lists the directory again with the new filter.
    auto dialog = open();
    dialog->FileTypes().setCurrentIndex(0);
    EXPECT_EQ(names(*dialog), (QStringList{QStringLiteral("b.arf"), QStringLiteral("sub/")}));
}

TEST_F(SelectFileTest, EnteringADirectoryAndGoingUp) {
    auto dialog = open();
    select(*dialog, rowNamed(*dialog, QStringLiteral("sub/")));
    QTest::mouseClick(&dialog->OpenButton(), Qt::LeftButton);
    EXPECT_EQ(listedDirs(),
              (QStringList{QStringLiteral("$KJ_HOME"), QStringLiteral("$KJ_HOME/sub/")}));
    EXPECT_EQ(dialog->RelativeDirectory(), QStringLiteral("sub/"));
    EXPECT_TRUE(dialog->UpButton().isEnabled());
    EXPECT_EQ(names(*dialog), QStringList{QStringLiteral("deep.dcr")});

    QTest::mouseClick(&dialog->UpButton(), Qt::LeftButton);
    EXPECT_EQ(listedDirs().last(), QStringLiteral("$KJ_HOME"));
    EXPECT_EQ(server.Requests().back().query,
              QByteArray("Action=GetDirectory&Dir=$KJ_HOME&MaxLevel=1"));
    EXPECT_EQ(dialog->RelativeDirectory(), QString());
    EXPECT_FALSE(dialog->UpButton().isEnabled());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SelectFileTest, OpenNeedsOnePlainTextFile) {
    auto dialog = open();
    struct Case {
        const char* name;
        QList<int> rows;
        QString box;
    };
    const Case cases[] = {
        {"no row", {}, QStringLiteral("Please Select a single file or directory")},
        {"two rows",
         {rowNamed(*dialog, QStringLiteral("a.dcr")), rowNamed(*dialog, QStringLiteral("c.dcr"))},
         QStringLiteral("Please Select a single file or directory")},
        {"no File in its URL",
         {rowNamed(*dialog, QStringLiteral("c.dcr"))},
         QStringLiteral("Please select a plain text file.\nThis file does not appear to be a "
                        "plain text file.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        dialog->Grid().SetSelectedRange(-1, -1, -1, -1);
        if (!c.rows.isEmpty()) {
            dialog->Grid().SetSelectedRange(c.rows.first(), 0, c.rows.last(),
                                            dialog->Grid().GetColumnCount() - 1);
        }
        dialog->OnOK();
        ASSERT_EQ(boxTexts(), QStringList{c.box});
        EXPECT_EQ(dialog->result(), 0);
        EXPECT_TRUE(dialog->ChosenFile().isEmpty());
    }
}

TEST_F(SelectFileTest, ChoosingAFileRemembersItForTheNextOpening) {
    auto dialog = open();
    select(*dialog, rowNamed(*dialog, QStringLiteral("sub/")));
    dialog->OnOK();
    // The focus stays elsewhere: the selected row is the one acted on.
    dialog->Grid().SetFocusCell(-1, -1);
    select(*dialog, rowNamed(*dialog, QStringLiteral("deep.dcr")));

    boxAnswer = kAnswerNo;
    dialog->OnOK();
    EXPECT_TRUE(dialog->ChosenFile().isEmpty()) << "No keeps the dialog open";
    boxAnswer = kAnswerYes;
    dialog->OnOK();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, QStringLiteral("You have selected $KJ_HOME/sub/deep.dcr\nDo you "
                                            "want to Rediscover using this as a rules file?"));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->ChosenFile(), QStringLiteral("$KJ_HOME/sub/deep.dcr"));
    EXPECT_EQ(pref("/Directory"), QStringLiteral("sub/"));
    EXPECT_EQ(pref("/Filter"), QStringLiteral(".dcr"));
    EXPECT_EQ(pref("/File"), QStringLiteral("deep.dcr"));

    auto again = open();
    EXPECT_EQ(listedDirs(), QStringList{QStringLiteral("$KJ_HOME/sub")});
    EXPECT_EQ(again->FileTypes().currentText(), QStringLiteral("Discover Rule Files (*.dcr)"));
    EXPECT_TRUE(again->UpButton().isEnabled());
    const int row = rowNamed(*again, QStringLiteral("deep.dcr"));
    EXPECT_EQ(again->Grid().GetFocusCell().row, row);
    EXPECT_EQ(again->Grid().GetSelectedRowCount(), 1);
    EXPECT_EQ(again->Grid().GetSelectedCellRange().minRow, row);

    // Up goes back to the base it rebuilt from the stored directory.
    again->OnUp();
    EXPECT_EQ(listedDirs().last(), QStringLiteral("$KJ_HOME"));
}

TEST_F(SelectFileTest, RememberedFileIsScrolledIntoViewWhenTheDialogShows) {
    QByteArray items;
    for (int n = 0; n < 80; ++n) {
        const QByteArray name = "f" + QByteArray::number(n).rightJustified(2, '0') + ".dcr";
        items += fileItem(name, "$KJ_HOME/long/" + name);
    }
    scriptListing("$KJ_HOME/long", items);
    app->Prefs().SetString(QStringLiteral("SelectFile/Directory"), QStringLiteral("long/"));
    app->Prefs().SetString(QStringLiteral("SelectFile/File"), QStringLiteral("f40.dcr"));
    auto dialog = open();
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    const int row = rowNamed(*dialog, QStringLiteral("f40.dcr"));
    ASSERT_GT(row, 0);
    EXPECT_EQ(dialog->Grid().GetFocusCell().row, row);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->Grid().IsCellVisible(row, 0); }, 5000));
    // Far from both ends of the listing, whichever way the grid sorts it.
    for (const char* end : {"f00.dcr", "f79.dcr"}) {
        EXPECT_FALSE(dialog->Grid().IsCellVisible(rowNamed(*dialog, QString::fromLatin1(end)), 0))
            << end;
    }
}

TEST_F(SelectFileTest, DoubleClicksEnterDirectoriesButNotTheHeader) {
    auto dialog = open();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    CMyGrid& grid = dialog->Grid();
    // A widget's double click is a press and release, then the double click.
    const auto doubleClick = [&grid](int row) {
        QRect cell;
        ASSERT_TRUE(grid.GetCellRect(row, 0, cell));
        const QPoint at = cell.center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
    };
    server.ClearRequests();
    doubleClick(0);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialog->result(), 0);

    doubleClick(rowNamed(*dialog, QStringLiteral("sub/")));
    EXPECT_EQ(listedDirs(), QStringList{QStringLiteral("$KJ_HOME/sub/")});
}

TEST_F(SelectFileTest, StoredDirectoryWithQuerySignsIsRequestedIntact) {
    app->Prefs().SetString(QStringLiteral("SelectFile/Directory"), QStringLiteral("a b&c#/"));
    auto dialog = open();
    EXPECT_EQ(listedDirs(), QStringList{QStringLiteral("$KJ_HOME/a b&c#")});
    EXPECT_EQ(names(*dialog), QStringList{QStringLiteral("odd.dcr")});
    ASSERT_EQ(dialog->BackStack().size(), 1u);
    EXPECT_EQ(dialog->BackStack().front(),
              CSelectFile::DirectoryRequest(QStringLiteral("$KJ_HOME")));
}

TEST_F(SelectFileTest, SelectFileActionShowsTheChosenFile) {
    app->SetActionWindows(std::make_unique<CAppActionWindows>(*app));  // the real chooser
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CSelectFile*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        select(*dialog, rowNamed(*dialog, QStringLiteral("a.dcr")));
        QTest::mouseClick(&dialog->OpenButton(), Qt::LeftButton);
    });
    CActionContext context;
    context.command = QStringLiteral("selectfile");
    app->Interpreter().RunCommand(context);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, QStringLiteral("You choose: $KJ_HOME/a.dcr"));
    EXPECT_EQ(pref("/File"), QStringLiteral("a.dcr"));
}

TEST_F(SelectFileTest, WithoutAServerTheDialogCancels) {
    app->Tree().SelectItem(worldView, true);
    CSelectFile dialog(app->Prefs(), app->Tree(), QStringLiteral("SelectFile"),
                       QStringLiteral("$KJ_HOME"));
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(boxTexts(),
              QStringList{QStringLiteral("SelectFile dialog cannot determine parent system.")});
}

}  // namespace
