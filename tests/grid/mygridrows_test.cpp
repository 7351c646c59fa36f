// A loaded grid as the user works in it: the selection kept across sorts,
// deletions and reloads, the properties panel following the selected row,
// the server menu's row commands from clicks and keys, the column layout in
// the preferences.

#include "mygridrowsfixture.h"

namespace {

const QByteArray kTwoKeyGrid =
    GridXml({{"k1", "K1", "[PKEY]"}, {"mid", "Mid", ""}, {"k2", "K2", "[PKEY]"}},
            {{"a", "3", "b"}, {"c", "1", "d"}, {"e", "2", "f"}, {"g", "4", "h"}});

}  // namespace

// Two key columns shown out of their XML order: the selected row stays
// selected when a header click sorts, when the last row goes and when a
// reload selects the keys again.
TEST_F(MyGridRowsTest, TheSelectionSurvivesSortDeletionAndReload) {
    ASSERT_TRUE(load(withMenu(kTwoKeyGrid)));
    grid->MoveColumn(2, 0);  // K2, K1, Mid
    ASSERT_EQ(grid->GetItemText(0, 0).trimmed(), u"K2");
    const int row = rowOf(1, u"c"_qs);
    ASSERT_GT(row, 0);
    click(row, 2);
    ASSERT_EQ(grid->GetSelectedRowsByColProp(u"[PKEY]"_qs, 0, u","_qs, u"@"_qs), u",c@d");

    click(0, 2);  // sorts by Mid: the row moves
    const int sorted = rowOf(1, u"c"_qs);
    EXPECT_NE(sorted, row);
    EXPECT_TRUE(grid->IsRowSelected(sorted));
    EXPECT_EQ(grid->GetSelectedRowCount(), 1);

    // The action language's sort by name, the other way round, so that
    // another row is last.
    ASSERT_EQ(grid->SortByColName(u"mid"_qs, sorted != grid->GetRowCount() - 1), 1);
    EXPECT_TRUE(grid->IsRowSelected(rowOf(1, u"c"_qs)));
    ASSERT_NE(rowOf(1, u"c"_qs), grid->GetRowCount() - 1);
    ASSERT_EQ(grid->DeleteLastRow(), 1);
    EXPECT_TRUE(grid->IsRowSelected(rowOf(1, u"c"_qs)));
    EXPECT_EQ(grid->GetSelectedRowCount(), 1);

    grid->SetReselectAfterLoad(true,
                               grid->GetSelectedRowsByColProp(u"[PKEY]"_qs, 0, u","_qs, u"@"_qs));
    ASSERT_TRUE(load(withMenu(kTwoKeyGrid)));
    const int reloaded = rowOf(grid->XmlColToGridCol(1) - 1, u"c"_qs);
    ASSERT_GT(reloaded, 0);
    EXPECT_TRUE(grid->IsRowSelected(reloaded));
    EXPECT_EQ(grid->GetSelectedRowCount(), 1);
}

// The keys reach the panel's page as the server wrote them: the list's own
// separators stay, what would change the request is percent-encoded.
TEST_F(MyGridRowsTest, ThePanelUrlCarriesTheKeysEncoded) {
    const struct {
        const char* key;
        const char16_t* sent;
    } cases[] = {
        {"a@b", u",a@b"},     {"x#y", u",x%23y"}, {"p&amp;q", u",p%26q"},
        {"1+1", u",1%2B1"},   {"50%", u",50%25"}, {"two words", u",two%20words"},
        {"plain", u",plain"},
    };
    for (const auto& entry : cases) {
        ASSERT_TRUE(load(withMenu(GridXml({{"k", "K", "[PKEY]"}}, {{entry.key}},
                                          "<properties-url>/cmi/Props?Which=x</properties-url>"))));
        grid->SelectRow(1);
        site.opened.clear();
        EXPECT_EQ(grid->UpdatePropertiesPanel(QString()), 1);
        ASSERT_EQ(site.opened.size(), 1U) << entry.key;
        EXPECT_EQ(site.opened.front(),
                  u"/cmi/Props?Which=x&Selected="_qs + QString::fromUtf16(entry.sent));
    }
}

TEST_F(MyGridRowsTest, ASingleRowOnlyPanelClosesForTwoRows) {
    ASSERT_TRUE(load(withMenu(GridXml({{"k", "K", "[PKEY]"}}, {{"a"}, {"b"}},
                                      "<properties-url>/cmi/Props?</properties-url>"
                                      "<grid-props><properties-single-row-only>1"
                                      "</properties-single-row-only></grid-props>"))));
    click(1, 0);
    EXPECT_EQ(grid->UpdatePropertiesPanel(QString()), 1);
    EXPECT_EQ(site.opened.size(), 1U);
    click(2, 0, Qt::ShiftModifier);
    ASSERT_EQ(grid->GetSelectedRowCount(), 2);
    const int closes = site.closes;
    EXPECT_EQ(grid->UpdatePropertiesPanel(QString()), 1);
    EXPECT_EQ(site.closes, closes + 1);
    EXPECT_EQ(site.opened.size(), 1U);
}

// Without a properties URL: a "URL" column opens its page unless it is too
// short, a directory or a PDF; a "Full Path" fetches the file; anything
// else shows the row's own properties.
TEST_F(MyGridRowsTest, TheUrlAndFullPathColumnsChooseThePanelsPage) {
    const struct {
        const char* url;
        const char* path;
        const char16_t* opened;  // null: the row's own properties
    } cases[] = {
        {"x", "", nullptr},
        {"abc", "", u"abc"},
        {"/cmi/Services?Action=GetDirectory&amp;Dir=/", "", nullptr},
        {"/docs/a.pdf", "", nullptr},
        {"x", "/var/log/a b.txt", u"/cmi/Services?Action=GetFile&File=/var/log/a%20b.txt"},
    };
    for (const auto& entry : cases) {
        ASSERT_TRUE(load(withMenu(
            GridXml({{"name", "Name", ""}, {"URL", "URL", ""}, {"full path", "Full Path", ""}},
                    {{"n", entry.url, entry.path}}))));
        grid->SelectRow(1);
        site.opened.clear();
        const int shown = site.propertiesShown;
        grid->UpdatePropertiesPanel(QString());
        if (entry.opened == nullptr) {
            EXPECT_TRUE(site.opened.empty()) << entry.url;
            EXPECT_EQ(site.propertiesShown, shown + 1) << entry.url;
        } else {
            ASSERT_EQ(site.opened.size(), 1U) << entry.url;
            EXPECT_EQ(site.opened.front(), QString::fromUtf16(entry.opened));
        }
    }
}

// A page with unsent edits stays, and so does the row it shows.
TEST_F(MyGridRowsTest, ADirtyPageKeepsItsRowSelected) {
    ASSERT_TRUE(load(withMenu(GridXml({{"k", "K", "[PKEY]"}}, {{"a"}, {"b"}},
                                      "<properties-url>/cmi/Props?</properties-url>"))));
    click(1, 0);
    site.dirtyBit = 1;
    grid->SelectRow(2);
    site.opened.clear();
    EXPECT_EQ(grid->UpdatePropertiesPanel(QString()), 1);
    EXPECT_GE(site.blanks, 1);
    EXPECT_TRUE(site.opened.empty());
    EXPECT_TRUE(grid->IsRowSelected(1));
    EXPECT_FALSE(grid->IsRowSelected(2));
}

// The row properties escape the heads and the values alike.
TEST_F(MyGridRowsTest, RowPropertiesEscapeHeadsAndValues) {
    ASSERT_TRUE(load(withMenu(GridXml({{"a", "x&amp;y", ""}, {"b", "B", ""}, {"h", "H", "[H]"}},
                                      {{"a&amp;lt;b", "&lt;i&gt;", "hidden"}}))));
    EXPECT_EQ(grid->ShowRowProperties(), 0) << "no row selected";
    grid->SelectRow(1);
    EXPECT_EQ(grid->ShowRowProperties(), site.propertiesShown);
    using Entry = std::pair<QString, QString>;
    EXPECT_EQ(site.shownProperties,
              (std::vector<Entry>{{u"x&amp;y"_qs, u"a&amp;lt;b"_qs}, {u"B"_qs, u"&lt;i&gt;"_qs}}));
}

// The notifications the grid acts on, with the outcome each logs.
TEST_F(MyGridRowsTest, NotificationsLogTheirOutcome) {
    ASSERT_TRUE(load(withMenu(GridXml({{"k", "K", "[PKEY]"}}, {{"a"}, {"b"}}))));
    site.panelOpen = false;
    const struct {
        int code;
        int row;
        bool panelOpen;
        const char16_t* outcome;
    } cases[] = {
        {NM_CLICK, 1, false, u"OnNotify(NM_CLICK          ): let CGridCtrl handle the click event"},
        {NM_RCLICK, 1, false, u"OnNotify(NM_RCLICK         ): passed to CGridCtrl"},
        {GVN_SELCHANGING, 1, false,
         u"OnNotify(GVN_SELCHANGING   ): sel changing: no action taken (TODO: check dirty bit?)"},
        {GVN_SELCHANGED, 1, false,
         u"OnNotify(GVN_SELCHANGED    ): properties panel is closed (nothing to refresh)"},
        {GVN_SELCHANGED, 0, true,
         u"OnNotify(GVN_SELCHANGED    ): no row selected - hide properties panel"},
        {GVN_SELCHANGED, 1, true,
         u"OnNotify(GVN_SELCHANGED    ): forced refresh of properties panel"},
        {GVN_COLUMNCLICK, 0, true,
         u"OnNotify(GVN_COLUMNCLICK   ): forced de-selection and hid details"},
        {GVN_BEGINDRAG, 1, false, u"OnNotify(GVN_BEGINDRAG     ): passed to CGridCtrl"},
        {GVN_COLUMNRESIZED, 0, false, u"OnNotify(GVN_COLUMNRESIZED ): ignored event"},
        {-999, 1, false, u"OnNotify(BUG               ): passed to CGridCtrl"},
    };
    for (const auto& entry : cases) {
        site.panelOpen = entry.panelOpen;
        grid->SelectRow(1);
        grid->SendMessageToParent(entry.row, 0, entry.code);
        const QString wanted =
            kFormat(u"| Grid[col=0,row=%d]::%s", entry.row, QString::fromUtf16(entry.outcome));
        EXPECT_TRUE(debugLog().contains(wanted)) << wanted.toStdString();
    }
    EXPECT_EQ(grid->GetSelectedRowCount(), 1) << "the refresh selected the row";
    grid->SendMessageToParent(0, 0, GVN_COLUMNCLICK);
    EXPECT_EQ(grid->GetSelectedRowCount(), 0);
    EXPECT_FALSE(site.panelOpen);
}

// A resize while the rows still arrive is the load's own; the same resize
// after the load is the user's and is remembered.
TEST_F(MyGridRowsTest, AResizeIsSavedOnlyAfterTheLoad) {
    FakeVelnixServer::Reply held;
    held.chunks = {withMenu(GridXml({{"name", "Name", ""}, {"size", "Size", ""}}, {{"a", "1"}}))
                           .replace("</data></grid>", "") +
                       kHeldPadding,
                   "<r><c>b</c><c>2</c></r></data></grid>"};
    held.holdChunks = true;
    serve("Action=Grid", held);
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, false), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetRowCount() >= 2; }, kWaitMs));
    ASSERT_TRUE(grid->IsReading());
    const QString widthKey = grid->GetPrefKeyBase() + u"/name/w"_qs;
    ASSERT_EQ(widthKey, u"grid:rows/name/w");

    QRect head;
    ASSERT_TRUE(grid->GetCellRect(0, 0, head));
    const QPoint border(head.right() - 1, head.center().y());
    drag(border, border + QPoint(40, 0));
    EXPECT_EQ(prefs.GetInt(widthKey, -1), -1);

    server.ReleaseChunks(1);
    ASSERT_TRUE(ended.wait(kWaitMs));
    const int width = grid->GetColumnWidth(0);
    drag(border + QPoint(40, 0), border + QPoint(70, 0));
    EXPECT_NE(grid->GetColumnWidth(0), width);
    EXPECT_EQ(prefs.GetInt(widthKey, -1), grid->GetColumnWidth(0));
}

// Clicking a row while the rows still arrive leaves the panel alone (a
// refresh would cancel the request that sends them); it follows at the end.
TEST_F(MyGridRowsTest, ThePanelFollowsASelectionMadeDuringTheLoadOnceItEnds) {
    FakeVelnixServer::Reply held;
    held.chunks = {
        withMenu(GridXml({{"k", "K", "[PKEY]"}}, {{"a"}, {"b"}})).replace("</data></grid>", "") +
            kHeldPadding,
        "<r><c>c</c></r></data></grid>"};
    held.holdChunks = true;
    serve("Action=Grid", held);
    site.panelOpen = true;
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, false), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetRowCount() >= 3; }, kWaitMs));
    ASSERT_TRUE(grid->IsReading());
    click(2, 0);
    EXPECT_EQ(site.propertiesShown, 0);
    server.ReleaseChunks(1);
    ASSERT_TRUE(ended.wait(kWaitMs));
    ASSERT_EQ(site.propertiesShown, 1);
    ASSERT_FALSE(site.shownProperties.empty());
    EXPECT_EQ(site.shownProperties.front().second, u"b");
}

// A header double-click saves the layout of a grid without data rows.
TEST_F(MyGridRowsTest, AHeaderDoubleClickSavesTheLayoutOfAnEmptyGrid) {
    ASSERT_TRUE(load(withMenu(GridXml({{"name", "Name", ""}, {"size", "Size", ""}}, {}))));
    doubleClick(0, 1);
    EXPECT_EQ(prefs.GetInt(u"grid:rows/size"_qs, 0), 2);
    EXPECT_EQ(prefs.GetInt(u"grid:rows/name/w"_qs, -1), grid->GetColumnWidth(0));
}

// The first double-click runs the menu's "double-click" item; a second one
// on the only selected row closes the panel instead.
TEST_F(MyGridRowsTest, ASecondDoubleClickOnTheOnlySelectedRowClosesThePanel) {
    ASSERT_TRUE(load(withMenu(GridXml({{"k", "K", "[PKEY]"}}, {{"a"}, {"b"}}))));
    doubleClick(2, 0);
    EXPECT_EQ(ranItems(), QStringList{u"Open"_qs});
    EXPECT_FALSE(grid->IsDetailHidden()) << "the first double-click opens";
    site.panelOpen = true;
    const int closes = site.closes;
    doubleClick(2, 0);
    EXPECT_EQ(site.closes, closes + 1);
    EXPECT_FALSE(site.panelOpen);
    EXPECT_EQ(ranItems(), QStringList{u"Open"_qs});
    // The server menu's entries read it: the next one opens the panel again.
    EXPECT_TRUE(grid->IsDetailHidden());
    grid->ClearDetailHidden();
    EXPECT_FALSE(grid->IsDetailHidden());
}

TEST_F(MyGridRowsTest, TheEntryARefreshRunsAgainFindsTheGridOpeningTheProperties) {
    ASSERT_TRUE(load(withMenu(GridXml({{"k", "K", "[PKEY]"}}, {{"a"}}))));
    const CContextMenu* menu = selectedServer.GetMenuSet().Find(u"rows"_qs);
    ASSERT_NE(menu, nullptr);
    grid->SetPropertiesPanelMenuItem(menu->FindMenuItemId(u"Edit"_qs));
    site.panelOpen = true;
    // Seen as the user's own pick, the entry would close the pane it refreshes.
    std::vector<bool> opening;
    menuHost.onInvoke = [&] { opening.push_back(grid->IsOpeningProperties()); };
    grid->RefreshProperties();
    EXPECT_EQ(ranItems(), QStringList{u"Edit"_qs});
    EXPECT_EQ(opening, std::vector<bool>{true});
    EXPECT_FALSE(grid->IsOpeningProperties());
}

TEST_F(MyGridRowsTest, DoubleClickingADirectoryOfAListingSelectsItInTheWorldView) {
    ASSERT_TRUE(
        load("<tree path=\"/var\" menu=\"rows.menu\">"
             "<item label=\"a.txt\" mode=\"33188\" bytes=\"10\"/>"
             "<item label=\"sub\" mode=\"16877\" tree-url=\"/sub\"/>"
             "</tree>"));
    const int row = rowOf(0, u"sub/"_qs);
    ASSERT_GT(row, 0);
    doubleClick(row, 0);
    ASSERT_NE(tree.GetSelectedItem(), nullptr);
    EXPECT_EQ(tree.GetSelectedItem()->text(0), u"sub");
    EXPECT_TRUE(ranItems().isEmpty());
}

// The keys after the control's own: what each runs, in order.
TEST_F(MyGridRowsTest, KeysRunTheServerMenusRowCommands) {
    ASSERT_TRUE(load(withMenu(GridXml({{"k", "K", "[PKEY]"}}, {{"a"}, {"b"}}))));
    click(1, 0);
    const struct {
        Qt::Key pressed;
        Qt::KeyboardModifiers keys;
        QStringList ran;
    } cases[] = {
        {Qt::Key_Return, {}, {u"Open"_qs}},
        {Qt::Key_Return, Qt::ShiftModifier, {}},
        {Qt::Key_Delete, {}, {u"Remove"_qs}},
        {Qt::Key_Return, Qt::AltModifier, {u"Edit"_qs}},
    };
    for (const auto& entry : cases) {
        menuHost.invoked.clear();
        key(entry.pressed, entry.keys);
        EXPECT_EQ(ranItems(), entry.ran) << entry.pressed << " " << entry.keys.toInt();
    }
}

TEST_F(MyGridRowsTest, EscapeHidesThePanelUnlessAMenuItemFilledIt) {
    ASSERT_TRUE(load(withMenu(GridXml({{"k", "K", "[PKEY]"}}, {{"a"}}))));
    click(1, 0);
    site.panelOpen = true;
    grid->SetPropertiesPanelMenuItem(selectedServer.FindContextMenuItemId(u"rows"_qs, u"Edit"_qs));
    key(Qt::Key_Escape);
    EXPECT_TRUE(site.panelOpen);
    grid->SetPropertiesPanelMenuItem(0);
    key(Qt::Key_Escape);
    EXPECT_FALSE(site.panelOpen);
}

// A head dragged to another place: the column map and the remembered
// positions follow, also past a column the grid had no place for.
TEST_F(MyGridRowsTest, ADraggedHeadKeepsTheMapAndTheSavedPositionsInStep) {
    QByteArray xml =
        withMenu(GridXml({{"a", "A", ""}, {"b", "B", ""}, {"c", "C", ""}}, {{"1", "2", "3"}}));
    // Room for two columns: the third has no place.
    xml.replace("<num-cols>3</num-cols>", "<num-cols>2</num-cols>");
    ASSERT_TRUE(load(xml));
    ASSERT_EQ(grid->XmlColToGridCol(3), 0);
    drag(centreOf(0, 0), centreOf(0, 1));
    EXPECT_EQ(grid->GetItemText(0, 1).trimmed(), u"A");
    EXPECT_EQ(grid->XmlColToGridCol(1), 2);
    EXPECT_EQ(grid->XmlColToGridCol(2), 1);
    EXPECT_EQ(grid->XmlColToGridCol(3), 0);
    EXPECT_EQ(grid->GetItemText(1, grid->XmlColToGridCol(1) - 1), u"1");
    EXPECT_EQ(prefs.GetInt(u"grid:rows/a"_qs, 0), 2);
    EXPECT_EQ(prefs.GetInt(u"grid:rows/b"_qs, 0), 1);
    EXPECT_EQ(prefs.GetInt(u"grid:rows/c"_qs, 0), 0);
}

// A column name that cannot be a key is left out; the others reach the
// settings file, whose save does not fail.
TEST_F(MyGridRowsTest, TheLayoutReachesTheSettingsFileWithoutUnstorableKeys) {
    ASSERT_TRUE(load(withMenu(
        GridXml({{"a=b", "Odd", ""}, {"", "Blank", ""}, {"size", "S", ""}}, {{"1", "2", "3"}}))));
    grid->SaveColumnPrefs();
    EXPECT_EQ(prefs.SavePrefs(1), 1);
    QFile ini(prefs.GetIniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains(u"grid:rows/size=3")) << text.toStdString();
    EXPECT_TRUE(text.contains(u"grid:rows/_sort=")) << text.toStdString();
    EXPECT_FALSE(text.contains(u"a=b")) << text.toStdString();
    EXPECT_FALSE(text.contains(u"grid:rows/=")) << text.toStdString();
}

// In context-help mode a header click opens the column's help and sorts
// nothing.
TEST_F(MyGridRowsTest, ContextHelpModeOpensTheColumnsHelp) {
    ASSERT_TRUE(load(withMenu(GridXml({{"n", "N", ""}}, {{"2"}, {"1"}})
                                  .replace("</colprops>",
                                           "</colprops><help-url>/help/n.htm"
                                           "</help-url>"))));
    site.contextHelp = true;
    click(0, 0);
    EXPECT_EQ(site.helpOpened, std::vector<QString>{u"/help/n.htm"_qs});
    EXPECT_EQ(grid->GetItemText(1, 0), u"2");
}

// F1 while the head's tip shows opens the column's help; elsewhere the key
// is left to the window's own help.
TEST_F(MyGridRowsTest, F1OverAColumnHeadOpensItsHelp) {
    ASSERT_TRUE(load(withMenu(GridXml({{"n", "N", ""}}, {{"2"}, {"1"}})
                                  .replace("</colprops>",
                                           "</colprops><help-url>/help/n.htm"
                                           "</help-url>"))));
    EXPECT_EQ(grid->ShowColumnHelp(), 0);
    QTest::mouseMove(grid->viewport(), centreOf(0, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->IsTitleTipShown(); }));
    EXPECT_EQ(grid->ShowColumnHelp(), 1);
    EXPECT_EQ(site.helpOpened, std::vector<QString>{u"/help/n.htm"_qs});
    QTest::mouseMove(grid->viewport(), centreOf(1, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetTitleTipCell().row != 0; }, 1000) ||
                !grid->IsTitleTipShown());
    EXPECT_EQ(grid->ShowColumnHelp(), 0);
}

// "new" adds one blank row (not a second while the last is still blank),
// selects it and runs the menu's "alt-enter" item for it.
TEST_F(MyGridRowsTest, NewRowAddsOneBlankRowAndRunsAltEnter) {
    ASSERT_TRUE(load(withMenu(GridXml({{"k", "K", "[PKEY]"}, {"n", "N", "[N]"}}, {{"a", "1"}}))));
    EXPECT_FALSE(grid->IsLastRowEmpty());
    EXPECT_EQ(grid->NewRow(), 1);
    EXPECT_EQ(grid->GetRowCount(), 3);
    EXPECT_TRUE(grid->IsLastRowEmpty());
    EXPECT_TRUE(grid->IsRowSelected(2));
    EXPECT_EQ(grid->GetSelectedRowCount(), 1);
    EXPECT_EQ(ranItems(), QStringList{u"Edit"_qs});
    grid->NewRow();
    EXPECT_EQ(grid->GetRowCount(), 3);
    site.system = nullptr;
    EXPECT_EQ(grid->NewRow(), 0) << "no server, no new row";
    EXPECT_EQ(grid->GetRowCount(), 3);
}

// A head marked "[NS]" sorts nothing; with the navigator shown a head click
// asks the server for the first page sorted by the column's XML name, the
// other way round on a second click, and leaves the rows where they are.
TEST_F(MyGridRowsTest, HeadClicksSortLocallyOrAskTheServer) {
    const QByteArray reply = withMenu(GridXml({{"fixed", "Fixed", "[NS]"}, {"num", "Num", ""}},
                                              {{"b", "2"}, {"a", "1"}, {"c", "3"}}));
    ASSERT_TRUE(load(reply));
    const QString first = grid->GetItemText(1, 0);  // as the load's own sort left it
    click(0, 0);
    EXPECT_EQ(grid->GetItemText(1, 0), first) << "[NS] must not sort";

    CGridNavigator navigator(&host, 1, {}, false, &site);
    site.navigator = &navigator;
    struct Owner : CNavigatorOwner {
        void OnPanelShown() override { ++reruns; }
        int reruns = 0;
    } owner;
    navigator.SetRange(3000, &owner, 2, 500);
    ASSERT_TRUE(load(reply));
    const QString firstNumber = grid->GetItemText(1, 1);
    const int shown = owner.reruns;
    click(0, 1);
    EXPECT_EQ(owner.reruns, shown + 1);
    EXPECT_EQ(navigator.GetChunk(), 1);
    EXPECT_EQ(navigator.GetChunkQuery().section(u'&', 3), u"sort=num&reverse=no");
    EXPECT_EQ(grid->GetItemText(1, 1), firstNumber) << "the server sorts a paged grid";
    click(0, 1);
    EXPECT_EQ(navigator.GetChunkQuery().section(u'&', 3), u"sort=num&reverse=yes");
    click(0, 0);
    EXPECT_EQ(navigator.GetChunkQuery().section(u'&', 3), u"sort=num&reverse=yes")
        << "[NS] asks for no other order";
    site.navigator = nullptr;

    ASSERT_TRUE(load(reply));
    click(0, 1);
    EXPECT_EQ(grid->GetItemText(1, 1), u"1") << "without the navigator the grid sorts itself";
}

// How two grids with the same column names come to different key bases:
// by their menus, by the field choosers their URLs name, or by the ids of
// the World View items that show them.
struct TwoGridsCase {
    const char* how;
    const char* extraA;
    const char* extraB;
    const char* queryA;
    const char* queryB;
    bool byTreeItem;
};

void PrintTo(const TwoGridsCase& c, std::ostream* out) {
    *out << c.how;
}

class GridPositionsPerKeyTest : public MyGridRowsTest,
                                public ::testing::WithParamInterface<TwoGridsCase> {
protected:
    // Shows grid `which` ("A" or "B") as the user does: its item selected,
    // its reply loaded; the texts of its header row in grid order.
    std::string visit(const char* which) {
        const TwoGridsCase& c = GetParam();
        const bool first = which[0] == 'A';
        if (c.byTreeItem) {
            tree.SelectItem(first ? itemA : itemB, false);
        }
        QByteArray xml = GridXml({{"name", "Name", ""},
                                  {"size", "Size", ""},
                                  {"kind", "Kind", ""},
                                  {"id", "Id", "[H][PKEY]"}},
                                 {{"n", "s", "k", "1"}});
        xml.replace("<grid>", QByteArray("<grid ") + (first ? c.extraA : c.extraB) + ">");
        EXPECT_TRUE(load(xml, QString::fromLatin1(first ? c.queryA : c.queryB)));
        return heads();
    }

    std::string heads() const {
        QStringList texts;
        for (int col = 0; col < grid->GetColumnCount(); ++col) {
            texts << grid->GetItemText(0, col).trimmed();
        }
        return texts.join(u'|').toStdString();
    }

    void SetUp() override {
        MyGridRowsTest::SetUp();
        for (QTreeWidgetItem** item : {&itemA, &itemB}) {
            CMyItem record;
            record.SetLabel(item == &itemA ? u"A"_qs : u"B"_qs);
            record.ID = item == &itemA ? u"grid-a"_qs : u"grid-b"_qs;
            record.TreeURL = u"/tree"_qs;
            record.PanelParts = kPanelList;
            *item = tree.InsertItemCopy(root, nullptr, record);
            ASSERT_NE(*item, nullptr);
        }
    }

    QTreeWidgetItem* itemA = nullptr;
    QTreeWidgetItem* itemB = nullptr;
};

TEST_P(GridPositionsPerKeyTest, AColumnMovedInOneGridStaysThereAndOnlyThere) {
    const std::string defaults = "Name|Size|Kind|Id";
    const std::string moved = "Size|Kind|Name|Id";
    ASSERT_EQ(visit("A"), defaults);
    drag(centreOf(0, 0), centreOf(0, 2));
    ASSERT_EQ(heads(), moved);
    EXPECT_EQ(visit("B"), defaults) << GetParam().how;
    EXPECT_EQ(visit("A"), moved) << GetParam().how;
    EXPECT_EQ(visit("B"), defaults) << GetParam().how;
}

INSTANTIATE_TEST_SUITE_P(
    ByKeyBase, GridPositionsPerKeyTest,
    ::testing::Values(TwoGridsCase{"menus", "menu=\"alpha.menu\"", "menu=\"beta.menu\"",
                                   "Action=GridA", "Action=GridB", false},
                      TwoGridsCase{"field choosers", "", "", "Action=Grid&FieldChooser=alpha",
                                   "Action=Grid&FieldChooser=beta", false},
                      TwoGridsCase{"World View items", "", "", "Action=GridA", "Action=GridB",
                                   true},
                      TwoGridsCase{"a menu and a World View item", "menu=\"alpha.menu\"", "",
                                   "Action=GridA", "Action=GridB", true},
                      TwoGridsCase{"a field chooser and a menu", "", "menu=\"beta.menu\"",
                                   "Action=Grid&FieldChooser=alpha", "Action=GridB", false}));
