#include "tree/mydropinfo.h"
#include "support/recordingwireservices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::HasSubstr;

class DropInfoTest : public ::testing::Test {
protected:
    bool load(const QString& inner) {
        return rules.LoadFromXML(u"<drag-info-list>"_qs + inner + u"</drag-info-list>"_qs);
    }
    QStringList actionsOf(const QString& target, const QString& dragged) const {
        QString a1, a2, a3;
        if (!rules.Find(target).GetActions(dragged, a1, a2, a3)) {
            return {u"<not listed>"_qs};
        }
        return {a1, a2, a3};
    }

    RecordingWireServices services;
    CMyDropInfoList rules;
};

TEST_F(DropInfoTest, DragInfoSetsTypeAndDraggableFlag) {
    struct Case {
        const char16_t* element;
        const char16_t* type;
        bool draggable;
    };
    const Case cases[] = {
        {u"<drag-info drag-type='Node'/>", u"node", true},
        {u"<drag-info drag-type='Node' draggable=''/>", u"node", true},
        {u"<drag-info drag-type='Node' draggable='0'/>", u"node", false},
        {u"<drag-info drag-type='Node' draggable='7'/>", u"node", true},
    };
    for (const Case& c : cases) {
        CMyDropInfoList list;
        ASSERT_TRUE(list.LoadFromXML(u"<drag-info-list>"_qs + QString::fromUtf16(c.element) +
                                     u"</drag-info-list>"_qs));
        ASSERT_EQ(list.Count(), 1) << QString::fromUtf16(c.element).toStdString();
        EXPECT_EQ(list.GetLast()->GetDragType(), QString::fromUtf16(c.type));
        EXPECT_EQ(list.Find(u"NODE"_qs).IsDraggable(), c.draggable)
            << QString::fromUtf16(c.element).toStdString();
    }
}

TEST_F(DropInfoTest, EmptyDragTypeIsNeverDraggable) {
    ASSERT_TRUE(load(u"<drag-info drag-type=''/>"_qs));
    ASSERT_EQ(rules.Count(), 1);
    EXPECT_FALSE(rules.GetLast()->IsDraggable());
}

TEST_F(DropInfoTest, UnknownTypeGivesTheEmptyRule) {
    ASSERT_TRUE(
        load(u"<drag-info drag-type='node'><drop-target drag-type='port' "
             u"action1='a'/></drag-info>"_qs));
    const CMyDropInfo& unknown = rules.Find(u"link"_qs);
    EXPECT_FALSE(unknown.IsDraggable());
    EXPECT_FALSE(unknown.CanDrop(u"port"_qs));
    EXPECT_EQ(unknown.GetTargets().Count(), 0);
}

// A later "drag-info" of an earlier type must extend that type's rule, not
// the rule appended last.
TEST_F(DropInfoTest, RulesOfOneTypeMergeAcrossCaseAndOrder) {
    ASSERT_TRUE(
        load(u"<drag-info drag-type='Node'>"
             u"  <drop-target drag-type='Port' action1='move'/></drag-info>"
             u"<drag-info drag-type='link'>"
             u"  <drop-target drag-type='node' action1='attach'/></drag-info>"
             u"<drag-info drag-type='NODE'>"
             u"  <drop-target drag-type='group' action1='copy' action2='refresh'/>"
             u"</drag-info>"_qs));
    ASSERT_EQ(rules.Count(), 2);
    EXPECT_TRUE(rules.Find(u"node"_qs).CanDrop(u"PORT"_qs));
    EXPECT_TRUE(rules.Find(u"node"_qs).CanDrop(u"group"_qs));
    EXPECT_FALSE(rules.Find(u"link"_qs).CanDrop(u"group"_qs));
    EXPECT_EQ(actionsOf(u"node"_qs, u"Group"_qs),
              (QStringList{u"copy"_qs, u"refresh"_qs, QString()}));
    EXPECT_EQ(actionsOf(u"link"_qs, u"node"_qs), (QStringList{u"attach"_qs, QString(), QString()}));
}

TEST_F(DropInfoTest, CanDropNeedsANonEmptyListedType) {
    ASSERT_TRUE(
        load(u"<drag-info drag-type='node'><drop-target drag-type='Port' "
             u"action1='a'/></drag-info>"_qs));
    const CMyDropInfo& node = rules.Find(u"node"_qs);
    EXPECT_FALSE(node.CanDrop(QString()));
    EXPECT_TRUE(node.CanDrop(u"pORT"_qs));
    EXPECT_EQ(actionsOf(u"node"_qs, u"other"_qs), QStringList{u"<not listed>"_qs});
}

TEST_F(DropInfoTest, FourthActionAttributeIsRefusedWithOneBox) {
    ASSERT_TRUE(
        load(u"<drag-info drag-type='node'><drop-target drag-type='port' "
             u"action1='a' action2='' action3='b' action4='c' action5='d' "
             u"action6='e'/></drag-info>"_qs));
    EXPECT_EQ(actionsOf(u"node"_qs, u"port"_qs), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs}));
    const auto popups = services.popups();
    ASSERT_EQ(popups.size(), 1U);
    EXPECT_EQ(popups[0].text,
              u"DragAndDrop XML: 'node' on 'port' has more than 3 actions "
              u"defined."_qs);
    EXPECT_EQ(popups[0].type, kPopupError);
}

TEST_F(DropInfoTest, TooManyActionsBoxNamesTheTargetById) {
    ASSERT_TRUE(
        load(u"<drag-info drag-type='node'><drop-target id='rule7' drag-type='port' "
             u"action1='a' action2='b' action3='c' action4='d'/></drag-info>"_qs));
    ASSERT_EQ(services.popups().size(), 1U);
    EXPECT_THAT(services.popups()[0].text.toStdString(), HasSubstr("XML: rule7 has more"));
}

TEST_F(DropInfoTest, ElementFormCollectsTargetAndActions) {
    ASSERT_TRUE(
        load(u"<drag-info drag-type='node'>"
             u" <drop-target><drag-type>Port</drag-type>"
             u"  <action>first</action><action2>second</action2></drop-target>"
             u" <drop-target><drag-type>group</drag-type><action>only</action>"
             u" </drop-target></drag-info>"_qs));
    EXPECT_EQ(actionsOf(u"node"_qs, u"port"_qs),
              (QStringList{u"first"_qs, u"second"_qs, QString()}));
    EXPECT_EQ(actionsOf(u"node"_qs, u"group"_qs), (QStringList{u"only"_qs, QString(), QString()}));
    EXPECT_TRUE(services.popups().empty());
}

TEST_F(DropInfoTest, ElementFormWarnsAboutMisplacedAndSurplusActions) {
    ASSERT_TRUE(
        load(u"<drag-info drag-type='node'>"
             u" <drop-target><action>early</action><drag-type>port</drag-type>"
             u"  <action>1</action><action>2</action><action>3</action>"
             u"  <action>4</action></drop-target></drag-info>"_qs));
    EXPECT_EQ(actionsOf(u"node"_qs, u"port"_qs), (QStringList{u"1"_qs, u"2"_qs, u"3"_qs}));
    const auto popups = services.popups();
    ASSERT_EQ(popups.size(), 2U);
    EXPECT_EQ(popups[0].text,
              u"DropInfo: drop-target action specified before drag-type was defined"_qs);
    EXPECT_EQ(popups[1].text, u"DropInfo: too many actions specified for dropping port on node"_qs);
    EXPECT_EQ(popups[1].type, kPopupWarning);
}

TEST_F(DropInfoTest, CopyFromAndClear) {
    ASSERT_TRUE(
        load(u"<drag-info drag-type='node' draggable='1'><drop-target drag-type='port' "
             u"action1='a'/></drag-info>"_qs));
    CMyDropInfo copy;
    copy.CopyFrom(rules.Find(u"node"_qs));
    EXPECT_EQ(copy.GetDragType(), u"node"_qs);
    EXPECT_TRUE(copy.IsDraggable());
    EXPECT_TRUE(copy.CanDrop(u"port"_qs));
    rules.Clear();
    EXPECT_EQ(rules.GetLast(), nullptr);
    EXPECT_FALSE(rules.Find(u"node"_qs).IsDraggable());
    EXPECT_TRUE(copy.CanDrop(u"port"_qs));
}

}  // namespace
