#include "app/choosersfixture.h"
#include "dialogs/elemchooser.h"
#include "dialogs/jobchooser.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "grid/mygrid.h"
#include "settings/preferences.h"
#include "support/fakevelnixserver.h"
#include "support/gridreplies.h"
#include "tree/mytree.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The chooser tests' server answers each chooser with a few rows.
class ChoosersTest : public ChoosersFixture {
protected:
    void SetUp() override {
        ChoosersFixture::SetUp();
        server.Script("/cmi/Services", "Action=GetElements",
                      FakeVelnixServer::Reply::Xml(MakeTextCellGridReply(3)));
        server.Script("/cmi/Services", "Action=Jobs",
                      FakeVelnixServer::Reply::Xml(MakeTextCellGridReply(2)));
    }
    template <typename Chooser>
    Chooser* chooser() {
        return qobject_cast<Chooser*>(frame->GetMyView()->Panel());
    }
};

TEST_F(ChoosersTest, ElementChooserGoesAndRemembersItsState) {
    ASSERT_EQ(frame->ShowCurl(u"ElemChooser:/cmi/Services?Action=GetElements"_qs), 1);
    ASSERT_TRUE(loaded(3));
    EXPECT_EQ(queries("GetElements"),
              QStringList{u"Action=GetElements&Name=*&Children=notspecified"_qs + kPaging});
    auto* elements = chooser<CElemChooser>();
    ASSERT_NE(elements, nullptr);
    EXPECT_TRUE(elements->GoButton()->isEnabled());

    auto* name = qobject_cast<QLineEdit*>(elements->Control(5236));
    name->clear();
    QTest::keyClicks(name, u"co re;#1*"_qs);
    EXPECT_EQ(name->text(), u"core1*") << "cleaned as typed";
    QTest::mouseClick(elements->GoButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return queries("GetElements").size() == 2; }));
    EXPECT_EQ(queries("GetElements").last(),
              u"Action=GetElements&Name=core1*&Children=notspecified"_qs + kPaging);

    // The next render of the item finds the name again.
    ASSERT_EQ(frame->ShowCurl(u"ElemChooser:/cmi/Services?Action=GetElements"_qs), 1);
    elements = chooser<CElemChooser>();
    EXPECT_EQ(qobject_cast<QLineEdit*>(elements->Control(5236))->text(), u"core1*");
}

TEST_F(ChoosersTest, WithoutAutoGoNothingLoadsBeforeGo) {
    const struct {
        const char16_t* curl;
        QByteArray action;
        const char16_t* query;
        int rows;
    } cases[] = {
        {u"JobChooser:/cmi/Services?Action=Jobs", "Jobs",
         u"Action=Jobs&sun=y&mon=y&tue=y&wed=y&thu=y&fri=y&sat=y&monthly=y"
         u"&enabled=all&subject=*&chunk=1&chunkSize=500&sort=&reverse=no",
         2},
        {u"ElemChooser:/cmi/Services?Action=GetElements", "GetElements",
         u"Action=GetElements&Name=*&Children=notspecified"
         u"&chunk=1&numberOfElementsPerChunk=500&sort=&reverse=no",
         3},
    };
    app->Prefs().SetInt(u"AutoGo"_qs, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action.constData());
        ASSERT_EQ(frame->ShowCurl(QString::fromUtf16(c.curl)), 1);
        QTest::qWait(0);
        EXPECT_TRUE(queries(c.action).isEmpty());
        auto* panel = qobject_cast<CChooserPanel*>(frame->GetMyView()->Panel());
        ASSERT_NE(panel, nullptr);
        QTest::mouseClick(panel->GoButton(), Qt::LeftButton);
        ASSERT_TRUE(loaded(c.rows));
        EXPECT_EQ(queries(c.action), QStringList{QString::fromUtf16(c.query)});
    }
}

TEST_F(ChoosersTest, GridReplySwitchesJobFilters) {
    QByteArray reply = MakeTextCellGridReply(1);
    reply.replace("<data>",
                  "<disable_jobchooser_filters>monthly subj</disable_jobchooser_filters><data>");
    server.Script("/cmi/Services", "Action=Jobs", FakeVelnixServer::Reply::Xml(reply));
    ASSERT_EQ(frame->ShowCurl(u"JobChooser:/cmi/Services?Action=Jobs"_qs), 1);
    ASSERT_TRUE(loaded(1));
    auto* jobs = chooser<CJobChooser>();
    EXPECT_FALSE(jobs->Subject()->isEnabled());
    EXPECT_FALSE(jobs->DayBox(1)->isEnabled()) << "\"monthly\" holds \"mon\"";
    EXPECT_FALSE(jobs->DayBox(7)->isEnabled());
    EXPECT_TRUE(jobs->DayBox(0)->isEnabled());
    EXPECT_TRUE(jobs->Enabled()->isEnabled());
}

}  // namespace
