// Server grid replies loaded into a shown data grid through the dispatcher,
// the grid pipe and the replay.

#include "mygridfixture.h"
#include "settings/preferences.h"
#include "support/onworker.h"

#include <QImage>

#include <thread>

namespace {

// Every element of the grid vocabulary: the three spellings of each family,
// every row property letter, colprops twice, hover text escapes, the grid
// properties, the common elements and the server's process id.
const QByteArray kVocabularyReply =
    "<grid menu=\"hosts.menu\" pid=\"77\" drag-type=\"host\">"
    "<message type=\"warning\">Heads up</message>"
    "<curl>sleep=0</curl>"
    "<grid-props><num-cols>4</num-cols><field-chooser>fc</field-chooser>"
    "<properties-single-row-only>1</properties-single-row-only></grid-props>"
    "<expected-rows>7</expected-rows>"
    "<properties-url>/cmi/Services?Action=Props</properties-url>"
    "<synch-count-with-tree>0</synch-count-with-tree>"
    "<disable_advanced_filters>type</disable_advanced_filters>"
    "<headers>"
    "<col><colname>Name</colname><colhead>Host</colhead><colprops>[L]</colprops>"
    "<colprops>[PKEY]</colprops><hovertext>first%0asecond</hovertext>"
    "<help-url>/help/name</help-url><colwidth>120</colwidth></col>"
    "<col-a><colname>size</colname><colhead>Size</colhead><colprops>[BYTES]</colprops></col-a>"
    "<col><colname>addr</colname><colhead>Address</colhead><colprops>[IP]</colprops></col>"
    "<col><colname>secret</colname><colhead>Secret</colhead><colprops>[H]</colprops></col>"
    "</headers>"
    "<data>"
    "<r property=\"disabled\"><c>alpha</c><c>3072</c><c>10.0.0.1:80</c><c>s1</c></r>"
    "<row property=\"error\"><cell>beta</cell><cell>1536</cell><cell>10.0.0.2</cell>"
    "<cell>s2</cell></row>"
    "<row-x property=\"highlighted\"><cell-y>gamma</cell-y><td>0</td><td>1.2.3.4</td>"
    "<td>s3</td></row-x>"
    "<tr property=\"warning\"><c>delta</c><c></c><c>5.6.7.8</c><c>s4</c></tr>"
    "<r property=\"readonly\"><c>epsilon</c><c>1</c><c>9.9.9.9</c><c>s5</c></r>"
    "<r property=\"x\"><c>zeta</c><c>2</c><c>1.1.1.1</c><c>s6</c></r>"
    "<r><c>eta</c><c>3</c><c>2.2.2.2</c><c>s7</c></r>"
    "</data>"
    "<chunks numberofentries=\"1000\" numberofchunks=\"2\" selectedchunk=\"2\" "
    "numberofentriesperchunk=\"500\"/>"
    "</grid>";

}  // namespace

TEST_F(MyGridTest, EveryElementOfTheVocabularyFillsMapHeadersCellsColoursAndCancelUrl) {
    CGridNavigator navigator(&host, 1, {}, false, &site);
    site.navigator = &navigator;
    struct Owner : CNavigatorOwner {
        void OnPanelShown() override {}
    } owner;
    navigator.SetRange(0, &owner, 1, 500);

    ASSERT_TRUE(load(kVocabularyReply));

    // The map: visible columns first, the hidden one last.
    EXPECT_EQ(grid->GetColumnCount(), 4);
    EXPECT_EQ(grid->XmlColToGridCol(1), 1);
    EXPECT_EQ(grid->XmlColToGridCol(4), 4);
    EXPECT_EQ(grid->GetColumnWidth(3), 0);
    EXPECT_EQ(grid->GetRowCount(), 8);
    EXPECT_EQ(grid->GetXmlRowCount(), 7);

    const GridColumn* name = grid->GetColumn(1);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->colname, u"name");
    EXPECT_EQ(name->colprops, u"[L][PKEY]");
    EXPECT_EQ(name->propsCopy, u"[PKEY]");
    EXPECT_EQ(name->hovertext, u"first\nsecond");
    EXPECT_EQ(grid->GetColumnHeaderTip(0), u"first\nsecond\n Hit [F1] for Help...");
    EXPECT_TRUE(grid->GetColumnHeaderTip(1).isEmpty());

    EXPECT_EQ(grid->GetItemText(0, 0), u"Host");
    EXPECT_EQ(grid->GetItemText(0, 1), u"Size");
    EXPECT_EQ(grid->GetMenuName(), u"hosts");
    EXPECT_EQ(grid->GetDragType(), u"host");
    EXPECT_EQ(grid->GetServerPid(), 77u);
    EXPECT_EQ(grid->GetPropertiesURL(), u"/cmi/Services?Action=Props");
    EXPECT_EQ(grid->GetPropertiesMode(), CMyGrid::kPropertiesURL);
    EXPECT_EQ(grid->GetExpectedRows(), 7);
    EXPECT_EQ(grid->GetPrefKeyBase(), u"grid:fc");
    EXPECT_EQ(grid->GetGridProperties().GetValue(QStringLiteral("properties-single-row-only")),
              u"1");
    EXPECT_EQ(site.Progress().CancelURL(), u"");  // the load ended and took it back
    EXPECT_EQ(site.chooserCommands, std::vector<QString>{u"disable_advanced_filters=type"_qs});

    // The common elements went to the application.
    ASSERT_EQ(wire.popups().size(), 1u);
    EXPECT_EQ(wire.popups()[0].text, u"Heads up");
    EXPECT_EQ(wire.curls(), std::vector<QString>{u"sleep=0"_qs});
    ASSERT_GE(wire.pids().size(), 2u);
    EXPECT_EQ(wire.pids()[0].pid, 77u);
    EXPECT_TRUE(wire.pids()[0].added);
    EXPECT_FALSE(wire.pids()[1].added);

    // Rows are sorted by column 0 descending (no preferences): zeta first.
    EXPECT_EQ(grid->GetItemText(1, 0), u"zeta");
    EXPECT_EQ(grid->GetItemText(7, 0), u"alpha");

    struct Expected {
        const char16_t* name;
        const char16_t* size;
        GridColour back;
    };
    const CellFormatStyle style;
    const std::vector<Expected> expected = {
        {u"alpha", u"3 KB", style.disabledBack},
        {u"beta", u"1536 B", style.errorBack},
        {u"gamma", u"0 B", style.highlightedBack},
        {u"delta", u" ", style.warningBack},
        {u"epsilon", u"1 B", style.disabledBack},
        {u"zeta", u"2 B", CLR_DEFAULT},
        {u"eta", u"3 B", CLR_DEFAULT},
    };
    for (const Expected& row : expected) {
        SCOPED_TRACE(QString::fromUtf16(row.name).toStdString());
        int found = -1;
        for (int r = 1; r < grid->GetRowCount(); ++r) {
            if (grid->GetItemText(r, 0) == QStringView(row.name)) {
                found = r;
            }
        }
        ASSERT_GT(found, 0);
        EXPECT_EQ(grid->GetItemText(found, 1), QStringView(row.size));
        const GridColour back = grid->GetCell(found, 0)->GetBackColour();
        EXPECT_EQ(back.IsDefault() ? style.cellBack : back,
                  row.back.IsDefault() ? style.cellBack : row.back);
    }
    const int alphaRow = 7;
    ASSERT_NE(valueAt(alphaRow, 2), nullptr);
    EXPECT_EQ(valueAt(alphaRow, 2)->sortText, u"0A0000010050");
    EXPECT_EQ(valueAt(alphaRow, 1)->integer, 3072);

    // The chunks went to the navigator.
    EXPECT_EQ(navigator.GetChunk(), 2);
    EXPECT_EQ(navigator.GetTotalText(), u"1,000");

    EXPECT_EQ(ui.panes[32811], u"Rows: 7");
    // The progress kept the expected rows as its estimate and a step per row.
    EXPECT_EQ(site.Progress().Estimate(), 7);
    EXPECT_EQ(site.Progress().Position(), 7);
    EXPECT_EQ(site.rowCounterStarts, 1);
    EXPECT_GE(site.rowCounterStops, 1);
    EXPECT_TRUE(grid->isVisible());
}

TEST_F(MyGridTest, A151stColumnIsDroppedWithItsCells) {
    QByteArray xml = "<grid><grid-props><num-cols>151</num-cols></grid-props><headers>";
    for (int n = 1; n <= 151; ++n) {
        xml += "<col><colname>c" + QByteArray::number(n) + "</colname><colhead>H" +
               QByteArray::number(n) + "</colhead></col>";
    }
    xml += "</headers><data><r>";
    for (int n = 1; n <= 151; ++n) {
        xml += "<c>v" + QByteArray::number(n) + "</c>";
    }
    xml += "</r></data></grid>";
    ASSERT_TRUE(load(xml));
    EXPECT_EQ(grid->GetColumnCount(), 150);
    EXPECT_EQ(grid->GetItemText(1, 149), u"v150");
    EXPECT_EQ(grid->GetItemText(0, 149), u"H150");
    for (int col = 0; col < 150; ++col) {
        EXPECT_NE(grid->GetItemText(1, col), u"v151");
    }
}

// XML column 150 of one load must not keep its place in the next, whose
// column 150 has another name.
TEST_F(MyGridTest, EveryLoadClearsAllOf151MapEntries) {
    auto reply = [](int columns) {
        QByteArray xml = "<grid><grid-props><num-cols>" + QByteArray::number(columns) +
                         "</num-cols></grid-props><headers>";
        for (int n = 1; n <= columns; ++n) {
            xml += "<col><colname>c" + QByteArray::number(n) + "</colname></col>";
        }
        return xml + "</headers><data/></grid>";
    };
    ASSERT_TRUE(load(reply(150)));
    EXPECT_EQ(grid->XmlColToGridCol(150), 150);
    ASSERT_TRUE(load(reply(3)));
    EXPECT_EQ(grid->XmlColToGridCol(150), 0);
    EXPECT_EQ(grid->XmlColToGridCol(3), 3);
}

TEST_F(MyGridTest, NumColsFromTheServerIsClampedTo150) {
    ASSERT_TRUE(load("<grid><grid-props><num-cols>100000</num-cols></grid-props></grid>"));
    EXPECT_EQ(grid->GetColumnCount(), 150);
    ASSERT_TRUE(load("<grid><grid-props><num-cols>-5</num-cols></grid-props></grid>"));
    EXPECT_EQ(grid->GetColumnCount(), 0);
}

TEST_F(MyGridTest, ZeroRowsNoGridAndTiming) {
    ASSERT_TRUE(load(GridXml({{"a", "A", ""}}, {})));
    EXPECT_EQ(ui.panes[32811], u"No Rows");
    EXPECT_FALSE(grid->GetNoRows());
    EXPECT_EQ(grid->GetColumnCount(), 1);

    ASSERT_TRUE(load("<grid></grid>"));
    EXPECT_EQ(grid->GetRowCount(), 0);
    EXPECT_EQ(ui.panes[32811], u"");
    EXPECT_TRUE(grid->GetNoRows());
}

TEST_F(MyGridTest, TimingWithinTheSecondShowsTookAndNothingAfter) {
    CPreferences prefs;
    prefs.SetInt(QStringLiteral("EnableTimingInfo"), 1);
    systemSite.prefs = &prefs;
    const bool loaded = load(GridXml({{"a", "A", ""}}, {{"x"}}));
    systemSite.prefs = nullptr;
    ASSERT_TRUE(loaded);
    // A load may cross a second boundary; within one the text ends at the blank.
    EXPECT_TRUE(ui.panes[32812].startsWith(u"Took: ")) << ui.panes[32812].toStdString();
}

TEST_F(MyGridTest, ADirectoryListingShowsDotDotDirectoriesAndFilteredFiles) {
    const QByteArray listing =
        "<tree path=\"/var\" menu=\"files.menu\">"
        "<item label=\"..\" mode=\"16877\" tree-url=\"/up\"/>"
        "<item label=\"logs\" mode=\"16877\" tree-url=\"/logs\" owner=\"root\"/>"
        "<item label=\"a.txt\" mode=\"33188\" bytes=\"3072\" main-browser-url=\"/a\"/>"
        "<item label=\"b.log\" mode=\"33188\" bytes=\"10\"/>"
        "</tree>";
    grid->SetDirListFilter(QStringLiteral(".txt"));
    ASSERT_TRUE(load(listing));
    EXPECT_TRUE(grid->IsDirList());
    EXPECT_EQ(grid->GetDirListPath(), u"/var");
    EXPECT_EQ(grid->GetPropertiesMode(), CMyGrid::kPropertiesDirList);
    EXPECT_EQ(grid->GetPrefKeyBase(), u"grid:dirlist");
    EXPECT_EQ(grid->GetGridLineColor(), GridColour(0xFFFFFF));
    EXPECT_EQ(grid->GetColumnCount(), 8);
    QStringList names;
    for (int row = 1; row < grid->GetRowCount(); ++row) {
        names << grid->GetItemText(row, 0);
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{u"../"_qs, u"a.txt"_qs, u"logs/"_qs}));
    // The folders sort before the files, whichever way round they compare.
    for (int row = 1; row < grid->GetRowCount(); ++row) {
        if (grid->GetItemText(row, 0) == u"a.txt") {
            EXPECT_EQ(grid->GetItemText(row, 1), u"3 KB");
            EXPECT_EQ(grid->GetItemText(row, grid->XmlColToGridCol(8) - 1), u"/a");
        }
    }
    const int hiddenUrlColumn = grid->XmlColToGridCol(8) - 1;
    EXPECT_EQ(grid->GetColumnWidth(hiddenUrlColumn), 0);
}

TEST_F(MyGridTest, HeldDeliveryShowsRowsFromTheSecondRowWhileChunksWait) {
    FakeVelnixServer::Reply held;
    held.chunks = {
        "<grid><grid-props><num-cols>1</num-cols></grid-props><headers><col>"
        "<colname>a</colname></col></headers><data><r><c>1</c></r><r><c>2</c></r>" +
            kHeldPadding,
        "<r><c>3</c></r></data></grid>"};
    held.holdChunks = true;
    serve("Action=Grid", held);
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, false), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetRowCount() == 3; }, kWaitMs));
    EXPECT_TRUE(grid->IsReading());
    EXPECT_TRUE(grid->isVisible());
    EXPECT_TRUE(grid->IsRedrawAllowed());
    EXPECT_EQ(grid->GetItemText(2, 0), u"2");
    server.ReleaseChunks(1);
    ASSERT_TRUE(ended.wait(kWaitMs));
    EXPECT_EQ(grid->GetRowCount(), 4);
}

TEST_F(MyGridTest, AReplyDroppedMidBodyKeepsTheRowsThatArrived) {
    const QByteArray xml = GridXml({{"a", "A", ""}}, {{"1"}, {"2"}, {"3"}});
    FakeVelnixServer::Reply dropped = FakeVelnixServer::Reply::Xml(xml);
    dropped.dropAfterBytes = xml.indexOf("<r><c>3");
    serve("Action=Grid", dropped);
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, false), 1);
    ASSERT_TRUE(ended.wait(kWaitMs));
    EXPECT_EQ(grid->GetRowCount(), 3);
    EXPECT_FALSE(grid->IsReading());
}

TEST_F(MyGridTest, GetDataDuringAHeldLoadShowsOnlyTheSecondReplysRows) {
    FakeVelnixServer::Reply held;
    held.chunks = {
        "<grid pid=\"5\"><grid-props><num-cols>1</num-cols></grid-props><headers><col>"
        "<colname>a</colname></col></headers><data><r><c>first</c></r>" +
            kHeldPadding,
        "<r><c>first-late</c></r></data></grid>"};
    held.holdChunks = true;
    serve("Action=Grid&n=1", held);
    serve("Action=Grid&n=2", FakeVelnixServer::Reply::Xml(GridXml({{"a", "A", ""}}, {{"second"}})));
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid&n=1")), nullptr, false), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetRowCount() == 2; }, kWaitMs));
    ASSERT_TRUE(loadScripted(*grid, QStringLiteral("Action=Grid&n=2")));
    server.ReleaseChunks(1);
    QTest::qWait(200);
    ASSERT_EQ(grid->GetRowCount(), 2);
    EXPECT_EQ(grid->GetItemText(1, 0), u"second");
}

TEST_F(MyGridTest, TwoGridsLoadingAtOnceEachGetTheirOwnRows) {
    CMyGrid* other = makeGrid(QRect(0, 300, 800, 300));
    serve("Action=Grid&g=1", FakeVelnixServer::Reply::Xml(GridXml({{"a", "A", ""}}, {{"one"}})));
    serve("Action=Grid&g=2",
          FakeVelnixServer::Reply::Xml(GridXml({{"a", "A", ""}}, {{"two"}, {"2b"}})));
    QSignalSpy firstEnded(grid, &CMyGrid::LoadEnded);
    QSignalSpy secondEnded(other, &CMyGrid::LoadEnded);
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid&g=1")), nullptr, false), 1);
    ASSERT_EQ(other->GetData(url(QStringLiteral("Action=Grid&g=2")), nullptr, false), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstEnded.size() == 1 && secondEnded.size() == 1; },
                                kWaitMs));
    EXPECT_NE(grid->GetRequestId(), other->GetRequestId());
    EXPECT_EQ(grid->GetRowCount(), 2);
    EXPECT_EQ(grid->GetItemText(1, 0), u"one");
    EXPECT_EQ(other->GetRowCount(), 3);
    EXPECT_EQ(other->GetItemText(2, 0), u"2b");
}

TEST_F(MyGridTest, AReplyNobodyWaitsForIsClosed) {
    CNamedPipe pipe;
    ASSERT_TRUE(pipe.Open(QStringLiteral("gridpipe")));
    EXPECT_FALSE(RouteGridData(0xFFF0, pipe.TakeClientEnd()));
    const char byte = 0;
    EXPECT_EQ(pipe.Write(&byte, 1), 0);
}

TEST_F(MyGridTest, StopLeavesTheRowsBeforeTheLastAndShowsStopped) {
    FakeVelnixServer::Reply held;
    QByteArray rows;
    for (int n = 1; n <= 5; ++n) {
        rows += "<r><c>" + QByteArray::number(n) + "</c></r>";
    }
    held.chunks = {
        "<grid><grid-props><num-cols>1</num-cols></grid-props><headers><col>"
        "<colname>a</colname></col></headers><data>" +
            rows + kHeldPadding,
        "<r><c>late</c></r></data></grid>"};
    held.holdChunks = true;
    serve("Action=Grid", held);
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, false), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetRowCount() == 6; }, kWaitMs));
    wire.cancelFlag = 1;
    server.ReleaseChunks(1);
    ASSERT_TRUE(ended.wait(kWaitMs));
    wire.cancelFlag = 0;
    EXPECT_EQ(grid->GetRowCount(), 5);  // the header and rows 1 to 4
    EXPECT_EQ(ui.panes[32812], u"STOPPED");
    EXPECT_TRUE(grid->isVisible());
}

TEST_F(MyGridTest, HoldHiddenStopsTheReplayAtTheNextRecordAndKeepsTheGridHidden) {
    FakeVelnixServer::Reply held;
    held.chunks = {
        "<grid><grid-props><num-cols>1</num-cols></grid-props><headers><col>"
        "<colname>a</colname><colprops>[PKEY]</colprops></col></headers><data>"
        "<r><c>1</c></r><r><c>2</c></r>" +
            kHeldPadding,
        "<r><c>3</c></r></data></grid>"};
    held.holdChunks = true;
    serve("Action=Grid", held);
    site.system = &selectedServer;
    grid->SetReselectAfterLoad(true, QStringLiteral(",1"));
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, false), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetRowCount() == 3; }, kWaitMs));
    grid->hide();
    grid->SetHoldHidden(true);
    server.ReleaseChunks(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid->IsReading(); }, kWaitMs));
    EXPECT_EQ(grid->GetRowCount(), 3);
    EXPECT_FALSE(grid->isVisible());
    EXPECT_EQ(site.propertiesShown, 0);
    EXPECT_TRUE(grid->GetReselectAfterLoad());
}

TEST_F(MyGridTest, ASynchronousLoadFromAWorkerThreadReplaysOnTheUiThread) {
    serve("Action=Grid", FakeVelnixServer::Reply::Xml(GridXml(
                             {{"a", "A", "[PKEY]"}, {"n", "N", "[N]"}}, {{"x", "1"}, {"y", "2"}},
                             "<message>from the worker's reply</message>")));
    const int result =
        onWorker([&] { return grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, true); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(grid->GetRowCount(), 3);
    EXPECT_EQ(grid->GetItemText(1, 0), u"y");
    // The reply's own message box, besides the warning that no key base was found.
    const auto popups = wire.popups();
    EXPECT_TRUE(std::any_of(popups.begin(), popups.end(), [](const auto& popup) {
        return popup.text == u"from the worker's reply";
    }));
    EXPECT_FALSE(grid->IsReading());
}

TEST_F(MyGridTest, ASynchronousLoadOnTheUiThreadParsesInPlace) {
    serve("Action=Grid",
          FakeVelnixServer::Reply::Xml(GridXml({{"a", "A", "[PKEY]"}}, {{"p"}, {"q"}, {"r"}})));
    site.system = &selectedServer;
    grid->SetReselectAfterLoad(true, QStringLiteral(",q"));
    EXPECT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, true), 1);
    EXPECT_EQ(grid->GetRowCount(), 4);
    EXPECT_EQ(grid->GetSelectedRowCount(), 1);
    EXPECT_EQ(site.propertiesShown, 1);
    EXPECT_FALSE(grid->GetReselectAfterLoad());
}

TEST_F(MyGridTest, AGridNeverCreatedBuildsItsTableWithoutAWindow) {
    CMyGrid chooser;
    chooser.SetSavePrefsOnReset(false);
    chooser.BeginLoad();
    chooser.AddColumn(QStringLiteral("Name"), QStringLiteral("Name"), QStringLiteral("[PKEY]"));
    EXPECT_FALSE(chooser.WindowExists());
    EXPECT_EQ(chooser.GetColumn(1)->colname, u"name");
    serve("Action=Fields", FakeVelnixServer::Reply::Xml(GridXml({{"f", "F", ""}}, {{"v"}})));
    EXPECT_EQ(chooser.GetData(url(QStringLiteral("Action=Fields")), nullptr, true), 1);
    EXPECT_EQ(chooser.GetRowCount(), 2);
    EXPECT_EQ(chooser.GetItemText(1, 0), u"v");
    EXPECT_FALSE(chooser.isVisible());
}

// A cell text handed over as a string of its own is kept, not copied: the
// builders of large tables and the parse in place pay no allocation per cell.
TEST_F(MyGridTest, ACellGivenAsAStringKeepsThatStringRatherThanACopy) {
    grid->BeginLoad();
    const XmlElementStack stack;
    const KPROPS none(100, 10);
    grid->XMLHandleEndTag(u"num-cols"_qs, u"2"_qs, none, u"grid-props"_qs, stack);
    grid->AddColumn(u"name"_qs, u"Name"_qs, u"[L]"_qs);
    grid->AddColumn(u"more"_qs, u"More"_qs, u"[L]"_qs);
    grid->XMLHandleStartTag(u"row"_qs, none, u"data"_qs, stack);
    const QString added = QString::number(1234567);
    const QString parsed = QString::number(7654321);
    grid->AddCell(added);
    grid->XMLHandleStartTag(u"c"_qs, none, u"r"_qs, stack);
    grid->XMLHandleEndTag(u"c"_qs, parsed, none, u"r"_qs, stack);
    grid->EndLoad();
    ASSERT_EQ(grid->GetRowCount(), 2);
    EXPECT_EQ(grid->GetCell(1, 0)->GetTextView().data(), added.constData());
    EXPECT_EQ(grid->GetCell(1, 1)->GetTextView().data(), parsed.constData());
}

TEST_F(MyGridTest, AWarningRowShowsItsColours) {
    ASSERT_TRUE(load(GridXml({{"a", "A", ""}}, {})
                         .replace("<data>", "<data><r property=\"warning\"><c>careful</c></r>")));
    QApplication::processEvents();
    QRect rect;
    ASSERT_TRUE(grid->GetCellRect(1, 0, rect));
    const QImage image = grid->viewport()->grab().toImage();
    const CellFormatStyle style;
    EXPECT_EQ(QColor(image.pixel(rect.left() + 2, rect.top() + 2)), style.warningBack.ToQColor());
}

// A large load sorts on a worker: the rows end in the order of the column.
TEST_F(MyGridTest, ALargeLoadEndsSortedByItsSortColumn) {
    std::vector<QByteArray> texts;
    std::vector<std::vector<const char*>> rows;
    texts.reserve(6000);
    for (int n = 0; n < 6000; ++n) {
        texts.push_back(QByteArray::number((n * 7919) % 6007));
    }
    for (const QByteArray& text : texts) {
        rows.push_back({text.constData()});
    }
    ASSERT_TRUE(load(GridXml({{"n", "N", "[N]"}}, rows)));
    ASSERT_EQ(grid->GetRowCount(), 6001);
    for (int row = 2; row < grid->GetRowCount(); ++row) {
        ASSERT_GE(grid->GetItemText(row - 1, 0).toInt(), grid->GetItemText(row, 0).toInt()) << row;
    }
    EXPECT_EQ(grid->GetSortColumn(), 0);
    EXPECT_FALSE(grid->GetSortAscending());
}

// A header click while the rows still arrive is not lost to the end of the
// load's own sort: the load ends sorted by the clicked column, its rows whole,
// and the choice is kept as the grid's sort.
TEST_F(MyGridTest, AHeaderClickDuringTheLoadSortsTheWholeLoadByThatColumn) {
    auto rows = [](int first, int last) {
        QByteArray xml;
        for (int row = first; row <= last; ++row) {
            // Descending numbers against ascending names: the two sorts differ.
            xml += "<r><c>row " + QByteArray::number(row) + "</c><c>" +
                   QByteArray::number(1000 - row) + "</c></r>";
        }
        return xml;
    };
    FakeVelnixServer::Reply held;
    held.chunks = {"<grid><grid-props><num-cols>2</num-cols></grid-props><headers>"
                   "<col><colname>name</colname><colprops>[L]</colprops></col>"
                   "<col><colname>n</colname><colprops>[N]</colprops></col></headers><data>" +
                       rows(1, 40) + kHeldPadding,
                   rows(41, 60) + "</data></grid>"};
    held.holdChunks = true;
    serve("Action=Grid", held);
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, false), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetRowCount() == 41; }, kWaitMs));
    ASSERT_TRUE(grid->IsReading());
    grid->OnHeaderRowClick(CCellID(0, 1));
    server.ReleaseChunks(1);
    ASSERT_TRUE(ended.wait(kWaitMs));
    ASSERT_EQ(grid->GetRowCount(), 61);
    for (int row = 1; row <= 60; ++row) {
        const int number = 1000 - (61 - row);
        ASSERT_EQ(rowTexts(row), QStringList({QStringLiteral("row %1").arg(1000 - number),
                                              QString::number(number)}))
            << row;
    }
    EXPECT_EQ(grid->GetSortColumn(), 1);
    EXPECT_TRUE(grid->GetSortAscending());
}

// Off the UI thread an empty-the-grid goes to the UI thread as the blocking
// ResetGrid message, which the main frame answers.
TEST_F(MyGridTest, ResetGridOffTheUiThreadIsTheBlockingMessage) {
    ASSERT_TRUE(load(GridXml({{"a", "A", ""}}, {{"1"}})));
    int resets = 0;
    ui.Bridge().SetHandler(UiMessage::ResetGrid, [&](quintptr, quintptr) {
        ++resets;
        grid->ResetGrid();
        return qintptr(1);
    });
    onWorker([&] {
        grid->ResetGrid();
        return 0;
    });
    ui.Bridge().RemoveHandler(UiMessage::ResetGrid);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(grid->GetRowCount(), 0);
}
