#include "net/myadditionalfilteroptions.h"
#include "support/recordingwireservices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Item = CFilterOptionItem;

class MyAdditionalFilterOptionsTest : public ::testing::Test {
protected:
    RecordingWireServices services;
    CMyAdditionalFilterOptions options;
};

TEST_F(MyAdditionalFilterOptionsTest, ItemsKeepDocumentOrderInTheirLists) {
    ASSERT_TRUE(
        options.Load(uR"(<additional_filter>
        <protocol id="p2" value="SNMP"/>
        <nms_state id="s1" value="Up"/>
        <group><protocol id="p1" value="ICMP"/></group>
        <message>ignored here</message>
    </additional_filter>)"_qs));
    EXPECT_THAT(options.Protocols(),
                ElementsAre(Item{u"p2"_qs, u"SNMP"_qs}, Item{u"p1"_qs, u"ICMP"_qs}));
    EXPECT_THAT(options.States(), ElementsAre(Item{u"s1"_qs, u"Up"_qs}));
    EXPECT_THAT(options.ElementTypes(), IsEmpty());
    EXPECT_THAT(services.popups(), IsEmpty()) << "common elements do nothing here";
}

TEST_F(MyAdditionalFilterOptionsTest, AMissingValueIsEmptyAndASecondLoadAppends) {
    ASSERT_TRUE(
        options.Load(uR"(<additional_filter><element_type id="router"/></additional_filter>)"_qs));
    ASSERT_TRUE(options.Load(
        uR"(<additional_filter><Element_Type ID="switch" Value="Switch"/></additional_filter>)"_qs));
    EXPECT_THAT(options.ElementTypes(),
                ElementsAre(Item{u"router"_qs, {}}, Item{u"switch"_qs, u"Switch"_qs}));
}

TEST_F(MyAdditionalFilterOptionsTest, ClearEmptiesEveryListAndTheLoadedFlag) {
    ASSERT_TRUE(
        options.Load(uR"(<additional_filter><protocol id="a" value="b"/>
        <nms_state id="c" value="d"/><element_type id="e" value="f"/></additional_filter>)"_qs));
    options.SetLoaded(true);
    options.Clear();
    EXPECT_THAT(options.Protocols(), IsEmpty());
    EXPECT_THAT(options.States(), IsEmpty());
    EXPECT_THAT(options.ElementTypes(), IsEmpty());
    EXPECT_FALSE(options.IsLoaded());
}

}  // namespace
