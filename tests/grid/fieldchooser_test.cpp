// "Select Fields": the server's field list, the preselection from the main
// grid, moving and ordering fields, and what OK stores and reloads.

#include "fieldchooserfixture.h"
#include "support/modalcloser.h"

namespace {

TEST_F(FieldChooserTest, OffersTheServersFieldsAndPreselectsTheGridsVisibleColumns) {
    loadMainGrid();
    CFieldChooserDialog& chooser = start();
    EXPECT_EQ(chooser.GetProfileKey(), u"FieldList:elements");
    EXPECT_EQ(listTexts(*chooser.ChosenList()), (QStringList{u"Bravo"_qs, u"Alpha"_qs}));
    EXPECT_EQ(listTexts(*chooser.AvailableList()),
              (QStringList{u"Charlie"_qs, u"Delta"_qs, u"Echo"_qs, u"Foxtrot"_qs}));
    // Read by the list's own columns although its name column moved.
    ASSERT_EQ(chooser.ChosenList()->count(), 2);
    const QStringList bravo = chooser.ChosenList()->item(0)->data(Qt::UserRole).toStringList();
    EXPECT_EQ(bravo, (QStringList{u"b"_qs, u"Bravo"_qs, u""_qs, u"The second field"_qs, u"2"_qs}));
    EXPECT_TRUE(chooser.ChosenList()->selectedItems().isEmpty());
    EXPECT_FALSE(chooser.DebugLabel()->isVisible());
    EXPECT_FALSE(chooser.AddButton()->isEnabled());
    EXPECT_FALSE(chooser.RemoveButton()->isEnabled());
}

TEST_F(FieldChooserTest, AStoredColumnPositionDoesNotPermuteTheFields) {
    // The list's grid remembers its description column in first place.
    prefs.SetInt(u"grid:fieldlist/desc"_qs, 1);
    QByteArray reply = kFieldList;
    reply.replace("<grid>", "<grid menu=\"fieldlist.menu\">");
    CFieldChooserDialog& chooser = start(reply);
    ASSERT_EQ(chooser.AvailableList()->count(), 6);
    const QStringList alpha = chooser.AvailableList()->item(0)->data(Qt::UserRole).toStringList();
    EXPECT_EQ(alpha, (QStringList{u"a"_qs, u"Alpha"_qs, u""_qs, u"The first field"_qs, u"1"_qs}));
}

TEST_F(FieldChooserTest, SelectionsDecideTheButtonsAndTheMovesKeepTheBlock) {
    loadMainGrid();
    CFieldChooserDialog& chooser = start();
    selectOnly(*chooser.AvailableList(), {0, 1, 2, 3});
    QTest::mouseClick(chooser.AddButton(), Qt::LeftButton);
    ASSERT_EQ(listTexts(*chooser.ChosenList()),
              (QStringList{u"Bravo"_qs, u"Alpha"_qs, u"Charlie"_qs, u"Delta"_qs, u"Echo"_qs,
                           u"Foxtrot"_qs}));
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
        for (const QString& label : listTexts(*chooser.ChosenList())) {
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
    EXPECT_EQ(listTexts(*chooser.ChosenList()),
              (QStringList{u"Bravo"_qs, u"Alpha"_qs, u"Echo"_qs}));
    EXPECT_EQ(listTexts(available), (QStringList{u"Charlie"_qs, u"Delta"_qs, u"Foxtrot"_qs}));

    QListWidget& chosen = *chooser.ChosenList();
    doubleClick(chosen, 0);
    EXPECT_EQ(listTexts(chosen), (QStringList{u"Alpha"_qs, u"Echo"_qs}));
    EXPECT_TRUE(listTexts(available).contains(u"Bravo"_qs));
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
    EXPECT_FALSE(prefs.IsDirty());
    EXPECT_EQ(prefs.GetString(u"FieldChooser:elements"_qs, u"absent"_qs), u"absent");
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
    EXPECT_EQ(prefs.GetString(u"FieldChooser:elements"_qs), u"c,a");
    EXPECT_EQ(prefs.GetInt(u"grid:elements/c"_qs, 0), 1);
    EXPECT_EQ(prefs.GetInt(u"grid:elements/a"_qs, 0), 2);
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
    prefs.SetInt(u"ContextDebugging"_qs, 1);
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
        [&](CFieldChooserDialog& shown) { chosen = listTexts(*shown.ChosenList()); });
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
