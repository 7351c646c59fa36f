// "Select Fields" against the fake server after a login: the server's field
// list, the preselection from the main grid, moving and ordering fields, and
// what OK stores and reloads.

#include "grid/fieldchooserdialog.h"
#include "mygridfixture.h"
#include "server/mysystem.h"
#include "settings/preferences.h"
#include "support/fakeloginreplies.h"
#include "support/modalcloser.h"
#include "tree/mytree.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

class ChooserSystemSite : public CMySystemSite {
public:
    CNetDispatcher& Dispatcher() override { return m_previous.Dispatcher(); }
    CPreferences* Preferences() override { return &prefs; }
    CMyTree* WorldViewTree() override { return tree; }

    CPreferences prefs;
    CMyTree* tree = nullptr;

private:
    CMySystemSite& m_previous = MySystemSite();
};

// The view's site of the main grid: the World View's selected server.
class ServerGridSite : public RecordingGridSite {
public:
    CMySystem* SelectedSystem() override { return system; }
    CMySystem* system = nullptr;
};

// The server's fields: name, label, properties, description and a fifth
// value. The name column is hidden in the list's own grid, so placement
// moves it behind the others.
const QByteArray kFieldList = GridXml({{"name", "Name", "[H]"},
                                       {"label", "Label", ""},
                                       {"props", "Properties", ""},
                                       {"desc", "Description", ""},
                                       {"extra", "Extra", ""}},
                                      {{"a", "Alpha", "", "The first field", "1"},
                                       {"B", "Bravo", "", "The second field", "2"},
                                       {"c", "Charlie", "", "The third field", "3"},
                                       {"d", "Delta", "", "The fourth field", "4"},
                                       {"e", "Echo", "", "The fifth field", "5"},
                                       {"f", "Foxtrot", "", "The sixth field", "6"},
                                       {"h", "Hidden", "[H]", "Never offered", "7"}});

QStringList texts(const QListWidget& list) {
    QStringList labels;
    for (int row = 0; row < list.count(); ++row) {
        labels << list.item(row)->text();
    }
    return labels;
}

// A user's double-click: the view takes the double-click only on the item
// the first click pressed.
void doubleClick(QListWidget& list, int row) {
    const QPoint at = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

void selectOnly(QListWidget& list, const QList<int>& rows) {
    list.clearSelection();
    for (const int row : rows) {
        list.item(row)->setSelected(true);
    }
}

class FieldChooserTest : public MyGridTest {
protected:
    void SetUp() override {
        MyGridTest::SetUp();
        SetMySystemSite(&systemSite);
        fakelogin::ScriptCmiLogAndCancel(server);
        tree.AttachTreeCtrl(&control);
        systemSite.tree = &tree;
        CMySystem settings;
        settings.Host = u"127.0.0.1"_qs;
        settings.WebPort = server.Port();
        settings.User = u"ops"_qs;
        settings.Password = u"secret"_qs;
        serverItem = tree.AddSystemItem(tree.AddRootItem(u"W"_qs), u"alpha"_qs, settings);
        system = dynamic_cast<CMySystem*>(tree.GetSystem(serverItem));
        ASSERT_NE(system, nullptr);
        fakelogin::ScriptLogin(server, FakeLoginReply());
        QString error;
        ASSERT_EQ(system->Login(error, &tree, serverItem, false), 1) << error.toStdString();
        tree.SelectItem(serverItem, false);
        serverSite.mainGrid = grid;
        serverSite.system = system;
        grid->SetSite(&serverSite);
    }
    void TearDown() override {
        dialog.reset();
        SetMySystemSite(nullptr);
        MyGridTest::TearDown();
    }

    // The main grid shows b, a vanished field x, d hidden, and a.
    void loadMainGrid(const QString& fieldChooser = u"elements"_qs) {
        ASSERT_TRUE(load(
            GridXml({{"b", "Bravo", ""}, {"x", "Gone", ""}, {"d", "Delta", ""}, {"a", "Alpha", ""}},
                    {{"1", "2", "3", "4"}}),
            u"Action=Grid&FieldChooser="_qs + fieldChooser));
        grid->SetColumnWidth(grid->XmlColToGridCol(3) - 1, 0);
    }

    CFieldChooserDialog& start(const QByteArray& reply = kFieldList, int status = 200) {
        serve("Action=GetFieldList&Which=elements", FakeVelnixServer::Reply::Xml(reply, status));
        dialog = std::make_unique<CFieldChooserDialog>(grid, system);
        dialog->SetFieldList(u"elements"_qs);
        EXPECT_TRUE(dialog->Start());
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }

    int gridRequests() const {
        int count = 0;
        for (const auto& request : server.Requests()) {
            count += request.query.startsWith("Action=Grid") &&
                     !request.query.contains("checkconnection");
        }
        return count;
    }

    ChooserSystemSite systemSite;
    ServerGridSite serverSite;
    QTreeWidget control;
    CMyTree tree;
    QTreeWidgetItem* serverItem = nullptr;
    CMySystem* system = nullptr;
    std::unique_ptr<CFieldChooserDialog> dialog;
};

TEST_F(FieldChooserTest, OffersTheServersFieldsAndPreselectsTheGridsVisibleColumns) {
    loadMainGrid();
    CFieldChooserDialog& chooser = start();
    EXPECT_EQ(chooser.GetProfileKey(), u"FieldList:elements");
    EXPECT_EQ(texts(*chooser.ChosenList()), (QStringList{u"Bravo"_qs, u"Alpha"_qs}));
    EXPECT_EQ(texts(*chooser.AvailableList()),
              (QStringList{u"Charlie"_qs, u"Delta"_qs, u"Echo"_qs, u"Foxtrot"_qs}));
    // Read by the list's own columns although its name column moved.
    const QStringList bravo = chooser.ChosenList()->item(0)->data(Qt::UserRole).toStringList();
    EXPECT_EQ(bravo, (QStringList{u"b"_qs, u"Bravo"_qs, u""_qs, u"The second field"_qs, u"2"_qs}));
    EXPECT_TRUE(chooser.ChosenList()->selectedItems().isEmpty());
    EXPECT_FALSE(chooser.DebugLabel()->isVisible());
    EXPECT_FALSE(chooser.AddButton()->isEnabled());
    EXPECT_FALSE(chooser.RemoveButton()->isEnabled());
}

TEST_F(FieldChooserTest, SelectionsDecideTheButtonsAndTheMovesKeepTheBlock) {
    loadMainGrid();
    CFieldChooserDialog& chooser = start();
    selectOnly(*chooser.AvailableList(), {0, 1, 2, 3});
    QTest::mouseClick(chooser.AddButton(), Qt::LeftButton);
    ASSERT_EQ(texts(*chooser.ChosenList()), (QStringList{u"Bravo"_qs, u"Alpha"_qs, u"Charlie"_qs,
                                                         u"Delta"_qs, u"Echo"_qs, u"Foxtrot"_qs}));
    EXPECT_EQ(chooser.ChosenList()->selectedItems().size(), 4);

    struct Case {
        QList<int> selected;
        bool remove;
        bool up;
        bool down;
        const char* afterUp;    // the order after Move Up, when possible
        const char* afterDown;  // after Move Down
    };
    const Case cases[] = {
        {{}, false, false, false, "", ""},         {{0}, true, false, true, "", "ABCDEF"},
        {{0, 1}, true, false, true, "", "CBADEF"}, {{2, 3}, true, true, true, "BCDAEF", "BAECDF"},
        {{5}, true, true, false, "BACDFE", ""},    {{4, 5}, true, true, false, "BACEFD", ""},
        {{0, 2}, true, false, false, "", ""},      {{1, 2, 4}, true, false, false, "", ""},
    };
    const QString start = u"BACDEF"_qs;
    const auto order = [&] {
        QString letters;
        for (const QString& label : texts(*chooser.ChosenList())) {
            letters += label.front();
        }
        return letters;
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(::testing::PrintToString(test.selected));
        selectOnly(*chooser.ChosenList(), test.selected);
        EXPECT_EQ(chooser.RemoveButton()->isEnabled(), test.remove);
        EXPECT_EQ(chooser.MoveUpButton()->isEnabled(), test.up);
        EXPECT_EQ(chooser.MoveDownButton()->isEnabled(), test.down);
        for (const auto& [button, expected] :
             {std::pair{chooser.MoveUpButton(), test.afterUp},
              std::pair{chooser.MoveDownButton(), test.afterDown}}) {
            if (!button->isEnabled()) {
                continue;
            }
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_EQ(order(), QString::fromUtf8(expected));
            // The block stays selected where it moved to.
            EXPECT_EQ(chooser.ChosenList()->selectedItems().size(), test.selected.size());
            // Back to the start for the next case.
            while (order() != start) {
                QTest::mouseClick(button == chooser.MoveUpButton() ? chooser.MoveDownButton()
                                                                   : chooser.MoveUpButton(),
                                  Qt::LeftButton);
            }
            selectOnly(*chooser.ChosenList(), test.selected);
        }
    }
}

TEST_F(FieldChooserTest, DoubleClicksMoveAFieldAndTheDescriptionFollowsOneSelection) {
    loadMainGrid();
    CFieldChooserDialog& chooser = start();
    QListWidget& available = *chooser.AvailableList();
    selectOnly(available, {2});
    EXPECT_EQ(chooser.DescriptionLabel()->text(), u"The fifth field");
    EXPECT_TRUE(chooser.AddButton()->isEnabled());
    selectOnly(available, {1, 2});
    EXPECT_EQ(chooser.DescriptionLabel()->text(), u"");

    doubleClick(available, 2);
    EXPECT_EQ(texts(*chooser.ChosenList()), (QStringList{u"Bravo"_qs, u"Alpha"_qs, u"Echo"_qs}));
    EXPECT_EQ(texts(available), (QStringList{u"Charlie"_qs, u"Delta"_qs, u"Foxtrot"_qs}));

    QListWidget& chosen = *chooser.ChosenList();
    doubleClick(chosen, 0);
    EXPECT_EQ(texts(chosen), (QStringList{u"Alpha"_qs, u"Echo"_qs}));
    EXPECT_TRUE(texts(available).contains(u"Bravo"_qs));
    ASSERT_EQ(available.selectedItems().size(), 1);
    EXPECT_EQ(available.selectedItems()[0]->text(), u"Bravo");
    EXPECT_EQ(chooser.GetChangeCount(), 2);
}

TEST_F(FieldChooserTest, OkWithoutChangesStoresNothingAndDoesNotReload) {
    loadMainGrid();
    const int before = gridRequests();
    CFieldChooserDialog& chooser = start();
    QTest::mouseClick(chooser.OkButton(), Qt::LeftButton);
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_FALSE(systemSite.prefs.IsDirty());
    EXPECT_EQ(systemSite.prefs.GetString(u"FieldChooser:elements"_qs, u"absent"_qs), u"absent");
    QCoreApplication::processEvents();
    EXPECT_EQ(gridRequests(), before);
}

TEST_F(FieldChooserTest, OkStoresTheChosenOrderAndReloadsTheGridWithIt) {
    loadMainGrid();
    CFieldChooserDialog& chooser = start();
    selectOnly(*chooser.ChosenList(), {0, 1});
    QTest::mouseClick(chooser.RemoveButton(), Qt::LeftButton);
    QListWidget& available = *chooser.AvailableList();
    for (const QString& label : {u"Charlie"_qs, u"Alpha"_qs}) {
        available.clearSelection();
        available.findItems(label, Qt::MatchExactly).front()->setSelected(true);
        QTest::mouseClick(chooser.AddButton(), Qt::LeftButton);
    }
    serve("Action=Grid&FieldChooser=elements&Columns=c,a",
          FakeVelnixServer::Reply::Xml(GridXml({{"c", "Charlie", ""}, {"a", "Alpha", ""}}, {})));
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    QTest::mouseClick(chooser.OkButton(), Qt::LeftButton);
    EXPECT_EQ(systemSite.prefs.GetString(u"FieldChooser:elements"_qs), u"c,a");
    EXPECT_EQ(systemSite.prefs.GetInt(u"grid:elements/c"_qs, 0), 1);
    EXPECT_EQ(systemSite.prefs.GetInt(u"grid:elements/a"_qs, 0), 2);
    ASSERT_TRUE(ended.wait(kWaitMs));
    QByteArray last;
    for (const auto& request : server.Requests()) {
        if (request.query.startsWith("Action=Grid") && !request.query.contains("checkconnection")) {
            last = request.query;
        }
    }
    EXPECT_TRUE(last.endsWith("&Columns=c,a")) << last.toStdString();
}

TEST_F(FieldChooserTest, AnUnauthorisedAnswerLogsTheServerOutAndOffersNothing) {
    loadMainGrid();
    CFieldChooserDialog& chooser = start("<cmi/>", 401);
    EXPECT_EQ(chooser.AvailableList()->count(), 0);
    EXPECT_EQ(chooser.ChosenList()->count(), 0);
    EXPECT_FALSE(system->LoggedIn);
}

TEST_F(FieldChooserTest, WithoutAFieldListTheUserIsToldAndNothingIsAsked) {
    CFieldChooserDialog chooser(grid, system);
    server.ClearRequests();
    EXPECT_FALSE(chooser.Start());
    ASSERT_EQ(ui.popups.size(), 1u);
    EXPECT_EQ(ui.popups[0].text,
              u"BUG: CFieldChooserDialog.DoModal() called before SetFieldList().");
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(FieldChooserTest, ContextDebuggingShowsTheFieldListsAndFlagsAMismatch) {
    systemSite.prefs.SetInt(u"ContextDebugging"_qs, 1);
    struct Case {
        const char16_t* gridList;
        bool bad;
    };
    for (const Case test : {Case{u"elements", false}, Case{u"interfaces", true}}) {
        loadMainGrid(QString::fromUtf16(test.gridList));
        CFieldChooserDialog& chooser = start();
        EXPECT_TRUE(chooser.DebugLabel()->isVisible());
        const QString text = chooser.DebugLabel()->text();
        EXPECT_TRUE(
            text.startsWith(u"[DebugInfo] m_strFieldList: elements, FieldList (off grid url): "_qs +
                            QString::fromUtf16(test.gridList)))
            << text.toStdString();
        EXPECT_EQ(text.endsWith(u"   <-- BAD!!!!"), test.bad);
    }
}

}  // namespace

namespace {

TEST_F(FieldChooserTest, AGridWithAFieldChooserRunsItOnItsOwnList) {
    loadMainGrid();
    EXPECT_EQ(GridFieldChooserList(*grid), u"elements");
    serve("Action=GetFieldList&Which=elements", FakeVelnixServer::Reply::Xml(kFieldList));
    QStringList chosen;
    ModalCloser<CFieldChooserDialog> closer(
        [&](CFieldChooserDialog& shown) { chosen = texts(*shown.ChosenList()); });
    EXPECT_TRUE(RunFieldChooser(*grid, &host));
    EXPECT_TRUE(closer.seen);
    EXPECT_EQ(chosen, (QStringList{u"Bravo"_qs, u"Alpha"_qs}));
}

TEST_F(FieldChooserTest, AGridWithoutAFieldChooserOpensNothing) {
    ASSERT_TRUE(load(GridXml({{"a", "Alpha", ""}}, {{"1"}})));
    EXPECT_EQ(GridFieldChooserList(*grid), u"");
    EXPECT_FALSE(RunFieldChooser(*grid, &host));
}

}  // namespace
