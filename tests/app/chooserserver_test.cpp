#include "app/choosersfixture.h"
#include "dialogs/elemchooser.h"
#include "dialogs/jobchooser.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "grid/gridnavigator.h"
#include "grid/mygrid.h"
#include "net/netthread.h"
#include "server/mysystem.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "support/fakeloginreplies.h"
#include "support/fakevelnixserver.h"
#include "support/gridreplies.h"
#include "tree/myitem.h"
#include "tree/mytree.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Reply = FakeVelnixServer::Reply;

const QString kElements = u"ElemChooser:/cmi/Services?Action=GetElements"_qs;
const QString kJobs = u"JobChooser:/cmi/Services?Action=Jobs"_qs;
// The server's filter lists; an element type's value holds a character a
// query must encode.
const QByteArray kFilterLists =
    "<element_type id='Router' value='a&amp;b'/><element_type id='Switch' value='sw'/>"
    "<nms_state id='Active' value='act'/><protocol id='SNMP' value='snmp'/>";

// A grid reply of `rows` rows with further elements in front of its data.
QByteArray gridReply(int rows, const QByteArray& beforeData = {}) {
    QByteArray reply = MakeTextCellGridReply(rows);
    reply.replace("<data>", beforeData + "<data>");
    return reply;
}

// A grid reply that names `chunks` pages of 500 rows, this the first.
QByteArray pagedReply(int rows, int chunks) {
    QByteArray reply = MakeTextCellGridReply(rows);
    reply.replace("</data>", "</data><chunks numberofentries=\"" + QByteArray::number(chunks * 500) +
                                 "\" numberofchunks=\"" + QByteArray::number(chunks) +
                                 "\" selectedchunk=\"1\" numberofentriesperchunk=\"500\"/>");
    return reply;
}

// The reply cut into pieces at row starts, every piece after the first held
// until the test releases it. Each piece is padded to the network thread's
// chunk size, so that it reaches the grid as soon as it is sent.
Reply heldReply(const QByteArray& reply, int pieces) {
    Reply held;
    held.holdChunks = true;
    held.header("Content-Type", "text/xml");
    qsizetype from = 0;
    for (int piece = 1; piece < pieces; ++piece) {
        const qsizetype to = reply.indexOf("<r>", reply.size() * piece / pieces);
        held.chunks.push_back(reply.mid(from, to - from) +
                              QByteArray(CNetThread::kGridChunkBytes, ' '));
        from = to;
    }
    held.chunks.push_back(reply.mid(from));
    return held;
}

// The started program with a server entry for the fake server, selected,
// whose choosers load from it; the test logs in with the filter lists it
// wants. Each test scripts its own replies: replies scripted for the same
// query are used in turn, the connection probes before each load too.
class ServerChoosersTest : public ChoosersFixture {
protected:
    void SetUp() override {
        ChoosersFixture::SetUp();
        fakelogin::ScriptCmiLogAndCancel(server);
        system = dynamic_cast<CMySystem*>(app->Tree().GetSystem(item));
        ASSERT_NE(system, nullptr);
    }

    void logIn(const QByteArray& filterLists) {
        FakeLoginReply login;
        login.additionalFilter = filterLists;
        fakelogin::ScriptLogin(server, login);
        QString error;
        ASSERT_NE(system->Login(error, &app->Tree(), item, false), 0) << error.toStdString();
        app->Tree().SelectItem(item, true);
    }

    // An item of the server with the ID, selected.
    QTreeWidgetItem* selectNewItem(const QString& id) {
        CMyItem record;
        record.SetLabel(id);
        record.ID = id;
        QTreeWidgetItem* added = app->Tree().InsertItemCopy(item, nullptr, record);
        app->Tree().SelectItem(added, true);
        return added;
    }
    // "<host>-<id>" of the selected item, the chooser state's key prefix.
    QString statePrefix() const {
        return u"127.0.0.1-"_qs + app->Tree().GetMyItem(app->Tree().GetSelectedItem())->ID;
    }

    bool queried(const QByteArray& action, const QString& query) const {
        return QTest::qWaitFor([&] { return queries(action).contains(query); });
    }

    bool loadEnded() const {
        return QTest::qWaitFor([&] { return !grid()->IsLoadRunning() && !grid()->IsReading(); });
    }

    template <typename Chooser>
    Chooser* render(const QString& curl) {
        EXPECT_EQ(frame->ShowCurl(curl), 1);
        return qobject_cast<Chooser*>(frame->GetMyView()->Panel());
    }
    template <typename Widget = QWidget>
    static Widget* control(const CElemChooser* chooser, int id) {
        return qobject_cast<Widget*>(chooser->Control(id));
    }
    static void retype(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static void go(CChooserPanel* chooser) {
        QTest::mouseClick(chooser->GoButton(), Qt::LeftButton);
    }

    CMySystem* system = nullptr;
};

TEST_F(ServerChoosersTest, AdvancedFiltersGoToTheServerAndComeBackOnTheNextRender) {
    logIn(kFilterLists);
    QTreeWidgetItem* elements = selectNewItem(u"el 1"_qs);
    server.Script("/cmi/Services", "Action=GetElements", Reply::Xml(gridReply(3)));
    auto* chooser = render<CElemChooser>(kElements);
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(chooser->AdvancedAvailable());
    ASSERT_TRUE(loaded(3));

    const QString advanced =
        u"Action=GetElements&Name=core*&Children=notspecified"
        u"&addFilterType_value=a%26b&addFilterType_not=1"
        u"&addFilterSystem_value=*&addFilterInerface_value=*&IPAddress=10.1.*"_qs +
        kPaging;
    server.Script("/cmi/Services", "Action=GetElements&Name=core*", Reply::Xml(gridReply(5)));
    retype(control<QLineEdit>(chooser, 5236), u"core*"_qs);
    QTest::mouseClick(control(chooser, 5618), Qt::LeftButton);
    QTest::mouseClick(control(chooser, 5607), Qt::LeftButton);
    EXPECT_TRUE(control(chooser, 5638)->isVisible()) << "Show opens the advanced filters";
    auto* type = control<QComboBox>(chooser, 5594);
    ASSERT_EQ(type->count(), 3) << "All and the server's two types";
    QTest::keyClick(type, Qt::Key_Down);
    EXPECT_EQ(type->currentText(), u"Router");
    auto* typeNot = control<QCheckBox>(chooser, 5065);
    ASSERT_TRUE(typeNot->isEnabled()) << "a chosen type can be negated";
    QTest::mouseClick(typeNot, Qt::LeftButton);
    retype(control<QLineEdit>(chooser, 5237), u"10.1.*"_qs);
    go(chooser);
    ASSERT_TRUE(queried("GetElements", advanced)) << queries("GetElements").join(u'\n').toStdString();
    ASSERT_TRUE(loaded(5));
    EXPECT_TRUE(chooser->GoButton()->isEnabled());

    const QString prefix = statePrefix();
    EXPECT_EQ(prefix, u"127.0.0.1-el 1");
    CPreferences& prefs = app->Prefs();
    EXPECT_EQ(prefs.GetString(prefix + u"-Name"_qs), u"core*");
    EXPECT_EQ(prefs.GetString(prefix + u"-IP"_qs), u"10.1.*");
    EXPECT_EQ(prefs.GetString(prefix + u"-AFilter_use"_qs), u"1");
    EXPECT_EQ(prefs.GetString(prefix + u"-AFilter_type"_qs), u"Router");

    // The next render finds the same choices and, going at once, asks for
    // the same rows again.
    server.ClearRequests();
    chooser = render<CElemChooser>(kElements);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(control<QLineEdit>(chooser, 5236)->text(), u"core*");
    EXPECT_TRUE(control<QCheckBox>(chooser, 5618)->isChecked());
    EXPECT_EQ(control<QPushButton>(chooser, 5607)->text(), u"Hide");
    EXPECT_TRUE(control(chooser, 5638)->isVisible());
    EXPECT_EQ(control<QComboBox>(chooser, 5594)->currentData().toString(), u"a&b");
    EXPECT_TRUE(control<QCheckBox>(chooser, 5065)->isChecked());
    EXPECT_TRUE(queried("GetElements", advanced))
        << queries("GetElements").join(u'\n').toStdString();
    EXPECT_TRUE(loaded(5));

    // Another item of the server keeps choices of its own.
    selectNewItem(u"el 2"_qs);
    chooser = render<CElemChooser>(kElements);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(control<QLineEdit>(chooser, 5236)->text(), u"*");
    EXPECT_FALSE(control<QCheckBox>(chooser, 5618)->isChecked());
    app->Tree().SelectItem(elements, true);
    chooser = render<CElemChooser>(kElements);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(control<QLineEdit>(chooser, 5236)->text(), u"core*");
}

TEST_F(ServerChoosersTest, TheGridReplySwitchesAndUnhidesAdvancedFilters) {
    logIn(kFilterLists);
    app->Prefs().SetString(statePrefix() + u"-AFilter_use"_qs, u"1"_qs);
    app->Prefs().SetString(statePrefix() + u"-AFilter_show"_qs, u"1"_qs);
    // "description" holds "ip": the address filter goes off with it.
    server.Script("/cmi/Services", "Action=GetElements",
                  Reply::Xml(gridReply(
                      1,
                      "<disable_advanced_filters>Speed Protocol description</disable_advanced_filters>"
                      "<unhide_advanced_filters>protocol</unhide_advanced_filters>")));
    auto* chooser = render<CElemChooser>(kElements);
    ASSERT_NE(chooser, nullptr);
    const int collapsedHeight = chooser->sizeHint().height();
    ASSERT_TRUE(loaded(1));
    for (const int id : {5616, 5602, 5599, 5620, 5237}) {
        EXPECT_FALSE(control(chooser, id)->isEnabled()) << id;
    }
    for (const int id : {5594, 5593, 5596, 5595, 5598, 5024, 5025, 5586}) {
        EXPECT_TRUE(control(chooser, id)->isEnabled()) << id;
    }
    EXPECT_TRUE(control(chooser, 5620)->isVisible()) << "the Protocol row shows";
    EXPECT_TRUE(control(chooser, 5621)->isVisible());
    EXPECT_GT(chooser->sizeHint().height(), collapsedHeight) << "the panel grows to hold it";
    EXPECT_GE(chooser->height(), chooser->sizeHint().height());

    server.Script("/cmi/Services", "Action=GetElements",
                  Reply::Xml(gridReply(2, "<enable_advanced_filters>SPEED ip</enable_advanced_filters>")));
    go(chooser);
    ASSERT_TRUE(loaded(2));
    for (const int id : {5616, 5602, 5599, 5237}) {
        EXPECT_TRUE(control(chooser, id)->isEnabled()) << id;
    }
    EXPECT_FALSE(control(chooser, 5620)->isEnabled()) << "not named again";
    EXPECT_TRUE(control(chooser, 5620)->isVisible());
}

TEST_F(ServerChoosersTest, AnElementTypeInTheBaseURLKeepsTheTypeControlsOff) {
    const struct {
        const char* what;
        QByteArray filterLists;
    } cases[] = {{"advanced filters", kFilterLists}, {"no advanced filters", {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        logIn(c.filterLists);
        // A reply that would switch the type controls back on.
        server.Script(
            "/cmi/Services", "Action=GetElements",
            Reply::Xml(gridReply(1, "<enable_advanced_filters>type children</enable_advanced_filters>")));
        auto* chooser = render<CElemChooser>(kElements + u"&ElementType=router"_qs);
        ASSERT_NE(chooser, nullptr);
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(loaded(1));
            for (const int id : {5594, 5065, 5586, 5588}) {
                const QWidget* widget = control(chooser, id);
                if (chooser->AdvancedAvailable()) {
                    EXPECT_FALSE(widget->isEnabled()) << id << " after Go " << round;
                } else if (id == 5586 || id == 5588) {
                    EXPECT_TRUE(widget->isHidden()) << id << " after Go " << round;
                }
            }
            server.ClearRequests();
            go(chooser);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !queries("GetElements").isEmpty(); }));
        }
        EXPECT_EQ(chooser->AdvancedAvailable(), !c.filterLists.isEmpty());
        system->Logout(&app->Tree(), item);
        app->Tree().SelectItem(item, true);
    }
}

TEST_F(ServerChoosersTest, TheNavigatorsNextPageRunsGoAgain) {
    const struct {
        const QString& curl;
        QByteArray action;
        const char16_t* secondPage;
    } cases[] = {
        {kElements, "GetElements",
         u"Action=GetElements&Name=*&Children=notspecified"
         u"&chunk=2&numberOfElementsPerChunk=500&sort=&reverse=no"},
        {kJobs, "Jobs",
         u"Action=Jobs&sun=y&mon=y&tue=y&wed=y&thu=y&fri=y&sat=y&monthly=y"
         u"&enabled=all&subject=*&chunk=2&chunkSize=500&sort=&reverse=no"},
    };
    logIn(kFilterLists);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action.constData());
        server.Script("/cmi/Services", "Action=" + c.action, Reply::Xml(pagedReply(3, 2)));
        ASSERT_EQ(frame->ShowCurl(c.curl), 1);
        ASSERT_TRUE(loaded(3));
        CMyView* view = frame->GetMyView();
        EXPECT_TRUE(view->IsNavigatorShown());
        CGridNavigator* navigator = view->Navigator();
        ASSERT_NE(navigator, nullptr);
        EXPECT_TRUE(navigator->isVisible());
        EXPECT_EQ(navigator->GetChunkCount(), 2);
        server.ClearRequests();
        QTest::mouseClick(navigator->Link(CGridNavigator::kIdNext), Qt::LeftButton);
        EXPECT_TRUE(queried(c.action, QString::fromUtf16(c.secondPage)))
            << queries(c.action).join(u'\n').toStdString();
        EXPECT_TRUE(loaded(3));
    }
}

TEST_F(ServerChoosersTest, AnUnauthorizedReplyLogsOutAndGoStaysOff) {
    logIn(kFilterLists);
    app->Prefs().SetInt(u"AutoGo"_qs, 0);
    auto* chooser = render<CElemChooser>(kElements);
    ASSERT_NE(chooser, nullptr);
    server.Script("/cmi/Services", "Action=GetElements",
                  Reply::Xml("<html/>", 401).header("WWW-Authenticate", "Basic realm=\"Velnix\""));
    const QPointer<CElemChooser> alive(chooser);
    go(chooser);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !system->LoggedIn; }));
    // The logout rebuilt the right-hand side during Go: the chooser went
    // with it, and no chooser offers Go for the logged-out server.
    EXPECT_EQ(alive, nullptr);
    const auto* shown = qobject_cast<CChooserPanel*>(frame->GetMyView()->Panel());
    EXPECT_TRUE(shown == nullptr || !shown->GoButton()->isEnabled());
    EXPECT_TRUE(queries("GetElements").size() <= 1);
}

TEST_F(ServerChoosersTest, AFailedLoadShowsOneErrorAndGoWorksAgain) {
    const QByteArray body = gridReply(3);
    Reply serverError = Reply::Xml("<html><body>broken</body></html>", 500);
    Reply dropped = Reply::Xml(body);
    dropped.dropAfterBytes = body.size() / 2;
    const struct {
        const char* what;
        Reply reply;
    } cases[] = {{"server error", serverError}, {"dropped connection", dropped}};
    logIn(kFilterLists);
    app->Prefs().SetInt(u"AutoGo"_qs, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto* chooser = render<CElemChooser>(kElements);
        ASSERT_NE(chooser, nullptr);
        server.Script("/cmi/Services", "Action=GetElements", c.reply);
        boxes.clear();
        go(chooser);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !queries("GetElements").isEmpty(); }));
        ASSERT_TRUE(loadEnded());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.empty(); }));
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(chooser->GoButton()->isEnabled());
        EXPECT_TRUE(system->LoggedIn);
        server.ClearRequests();
    }
}

TEST_F(ServerChoosersTest, GoDuringALoadShowsOnlyTheSecondReplysRows) {
    logIn(kFilterLists);
    app->Prefs().SetInt(u"AutoGo"_qs, 0);
    server.Script("/cmi/Services", "Action=GetElements&Name=first*",
                  heldReply(MakeTextCellGridReply(300), 2));
    // The connection probe is answered at once: only the load waits.
    server.Script("/cmi/Services",
                  ("Action=GetElements&Name=first*&Children=notspecified" + kPaging +
                   u"&checkconnection=1"_qs)
                      .toUtf8(),
                  Reply::Xml({}));
    server.Script("/cmi/Services", "Action=GetElements&Name=second*",
                  Reply::Xml(gridReply(4)));
    auto* chooser = render<CElemChooser>(kElements);
    ASSERT_NE(chooser, nullptr);
    auto* name = control<QLineEdit>(chooser, 5236);
    retype(name, u"first*"_qs);
    go(chooser);
    ASSERT_TRUE(firstRowsShown());
    retype(name, u"second*"_qs);
    go(chooser);
    server.ReleaseChunks(1);
    ASSERT_TRUE(loaded(4));
    QTest::qWait(100);
    EXPECT_EQ(rows(), 4) << "nothing of the first reply comes late";
}

// Ten thousand rows arrive in held pieces; between them the window answers
// the keyboard and Stop.
class LargeReplyTest : public ServerChoosersTest {
protected:
    static constexpr int kRows = 10000;
    static constexpr int kPieces = 4;

    void SetUp() override {
        ServerChoosersTest::SetUp();
        logIn(kFilterLists);
        app->Prefs().SetInt(u"AutoGo"_qs, 0);
        server.Script("/cmi/Services", "Action=GetElements",
                      heldReply(MakeTextCellGridReply(kRows), kPieces));
        server.Script("/cmi/Services",
                      ("Action=GetElements&Name=*&Children=notspecified" + kPaging +
                       u"&checkconnection=1"_qs)
                          .toUtf8(),
                      Reply::Xml({}));
        chooser = render<CElemChooser>(kElements);
        ASSERT_NE(chooser, nullptr);
        go(chooser);
        ASSERT_TRUE(firstRowsShown());
    }

    CElemChooser* chooser = nullptr;
};

TEST_F(LargeReplyTest, AFullDeliveryGivesEveryRow) {
    server.ReleaseChunks(kPieces - 1);
    EXPECT_TRUE(loaded(kRows));
}

TEST_F(LargeReplyTest, TypingAndStopActBeforeTheRestArrives) {
    const int firstPiece = rows();
    auto* name = control<QLineEdit>(chooser, 5236);
    retype(name, u"ab c"_qs);
    EXPECT_EQ(name->text(), u"abc");
    frame->OnCommand(32782);
    ASSERT_TRUE(loadEnded()) << "Stop ends the load while the server still holds rows";
    EXPECT_LT(rows(), kRows);
    EXPECT_GE(rows(), firstPiece - 1);
    server.ReleaseChunks(kPieces - 1);
    QTest::qWait(100);
    EXPECT_LT(rows(), kRows) << "the rest is not read once stopped";
    EXPECT_TRUE(chooser->GoButton()->isEnabled());
}

TEST_F(ServerChoosersTest, TheEnabledChoiceSurvivesAPackThatReordersItsWords) {
    // In this language All, Yes, No sort as "Alle", "Ja", "Nein".
    const QString pack = writeFile(
        u"de.lang"_qs, [] {
            const QString text = u"#! KPROPS: header\n\nNo=Nein\nYes=Ja\nAll=Alle\n"_qs;
            return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        }());
    ASSERT_EQ(app->LangPack().Load(pack), 1);
    logIn(kFilterLists);
    server.Script("/cmi/Services", "Action=Jobs", Reply::Xml(gridReply(2)));
    app->Prefs().SetInt(u"AutoGo"_qs, 0);
    const struct {
        const char16_t* word;
        const char16_t* term;
    } cases[] = {{u"Ja", u"&enabled=y"}, {u"Nein", u"&enabled=n"}, {u"Alle", u"&enabled=all"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.word).toStdString());
        auto* chooser = render<CJobChooser>(kJobs);
        ASSERT_NE(chooser, nullptr);
        QComboBox* enabled = chooser->Enabled();
        const int index = enabled->findText(QString::fromUtf16(c.word));
        ASSERT_GE(index, 0);
        enabled->setCurrentIndex(index);
        server.ClearRequests();
        go(chooser);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !queries("Jobs").isEmpty(); }));
        EXPECT_TRUE(queries("Jobs").first().contains(QString::fromUtf16(c.term)))
            << queries("Jobs").first().toStdString();
        ASSERT_TRUE(loaded(2));
        // The next render shows the same word chosen.
        chooser = render<CJobChooser>(kJobs);
        EXPECT_EQ(chooser->Enabled()->currentText(), QString::fromUtf16(c.word));
    }
}

}  // namespace
