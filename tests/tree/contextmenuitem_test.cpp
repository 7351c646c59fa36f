#include "menufixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;

class MenuItemTest : public MenuTest {
protected:
    MenuItemTest() {
        grid.rows = {{{u"State"_qs, u"up"_qs}, {u"Type"_qs, u"router"_qs}},
                     {{u"State"_qs, u"down"_qs}, {u"Type"_qs, u"router"_qs}}};
        tabbed.SelectedTab = 2;
        tabbed.Attributes.Add(u"tab2-tags"_qs, u" alarms , perf"_qs);
        tabbed.Attributes.Add(u"tab1-tags"_qs, u"config"_qs);
        host.selected = &tabbed;
    }
    bool condition(const QString& text, const CMenuGridRows* rows) {
        CContextMenuItem& item = makeItem({});
        item.SetAttribute(u"hidden-if"_qs, text);
        return item.EvaluateCondition(rows, u"hidden-if"_qs);
    }

    FakeGridRows grid;
    CMyItem tabbed;
};

TEST_F(MenuItemTest, ConstructionTakesAnIdAndSetsDefaults) {
    const CContextMenuItem& first = makeItem({});
    const CContextMenuItem& second = makeItem({});
    EXPECT_EQ(first.GetCommandId(), CMenuCommandIds::kFirstId);
    EXPECT_EQ(second.GetCommandId(), CMenuCommandIds::kFirstId + 1);
    EXPECT_EQ(table.Owner(second.GetCommandId()), kServer);
    EXPECT_EQ(second.GetAttribute(u"ID"_qs), u"t40001"_qs);
    EXPECT_EQ(second.GetAttribute(u"min-values"_qs), u"1"_qs);
    EXPECT_EQ(second.GetAttribute(u"max-values"_qs), u"0"_qs);
    EXPECT_TRUE(services.popups().empty());
}

TEST_F(MenuItemTest, ExhaustedRangeWarnsAndLeavesIdZero) {
    const CMenuCommandSource none;
    const CContextMenuItem item(none);
    EXPECT_EQ(item.GetCommandId(), 0);
    EXPECT_EQ(item.GetAttribute(u"id"_qs), u"t0"_qs);
    ASSERT_EQ(services.popups().size(), 1U);
    EXPECT_EQ(services.popups()[0].type, kPopupWarning);
    EXPECT_TRUE(services.popups()[0].text.startsWith(
        u"XML Error: Menu item range exceeded maximum value."_qs));
}

TEST_F(MenuItemTest, ConditionGrammar) {
    struct Case {
        const char16_t* condition;
        bool withGrid;
        bool expected;
    };
    const Case cases[] = {
        {u"", true, false},
        {u"true", true, true},
        {u"false", true, false},
        {u"True", true, false},  // a term, not a keyword: no "=" makes it invalid
        {u"false|true", true, true},
        {u"true & false", true, false},
        {u" true & true ", true, true},
        {u"cmoTag:perf", true, true},
        {u"cmoTag:alarm", true, false},
        {u"cmoTag:config", true, false},  // a tag of another tab
        {u"cmoTag:!perf", true, false},
        {u"cmoTag:!config", true, true},
        {u"State=up", true, true},
        {u"state = down", true, true},
        {u"State=unknown", true, false},
        {u"State=0", true, false},
        {u"Missing=0", true, true},
        {u"Missing=x", true, false},
        {u"exists(State)=1", true, false},
        {u"exists(Missing)=1", true, true},
        {u"exists(=1", true, true},  // no column name at all: nothing is selected
        {u"State=up&Type=switch|Type=router", true, true},
        {u"State=up&Type=switch|Type=hub", true, false},
        {u"State=0", false, true},
        {u"State=up", false, false},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.condition);
        EXPECT_EQ(condition(text, c.withGrid ? &grid : nullptr), c.expected)
            << text.toStdString() << (c.withGrid ? " with grid" : " without grid");
    }
    ASSERT_EQ(services.popups().size(), 1U);  // only "True"
}

TEST_F(MenuItemTest, InvalidTermShowsItsErrorAndLeavesOtherAlternatives) {
    EXPECT_FALSE(condition(u"bogus"_qs, &grid));
    EXPECT_FALSE(condition(u"a=b=c"_qs, &grid));
    EXPECT_TRUE(condition(u"bogus|true"_qs, &grid));
    const auto popups = services.popups();
    ASSERT_EQ(popups.size(), 3U);
    EXPECT_EQ(popups[0].text,
              u"Bug in context menu specification:\n\r    hidden-if=bogus\n\r"
              u"Invalid expression:\n\r   bogus"_qs);
    EXPECT_EQ(popups[0].type, kPopupError);
    EXPECT_TRUE(popups[1].text.endsWith(u"   a=b=c"_qs));
}

TEST_F(MenuItemTest, NegatedTagHoldsWithoutTagsOrSelection) {
    CMyItem untagged;
    host.selected = &untagged;
    EXPECT_TRUE(condition(u"cmoTag:!perf"_qs, &grid));
    EXPECT_FALSE(condition(u"cmoTag:perf"_qs, &grid));
    host.selected = nullptr;
    EXPECT_TRUE(condition(u"cmoTag:!perf"_qs, &grid));
}

TEST_F(MenuItemTest, RowCountLimits) {
    struct Case {
        const char16_t* minimum;  // null: the default
        const char16_t* maximum;
        int rows;
        bool expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, 0, false}, {nullptr, nullptr, 1, true}, {nullptr, nullptr, 9, true},
        {u"0", u"2", 0, true},        {u"0", u"2", 2, true},       {u"0", u"2", 3, false},
        {u"2", u"0", 1, false},       {u"2", u"3", 3, true},
    };
    for (const Case& c : cases) {
        CContextMenuItem& item = makeItem({});
        if (c.minimum != nullptr) {
            item.SetAttribute(u"min-values"_qs, QString::fromUtf16(c.minimum));
            item.SetAttribute(u"max-values"_qs, QString::fromUtf16(c.maximum));
        }
        grid.rows.assign(static_cast<size_t>(c.rows), {});
        EXPECT_EQ(item.IsEnabled(&grid), c.expected) << c.rows << " rows";
        EXPECT_TRUE(item.IsEnabled(nullptr));
    }
}

TEST_F(MenuItemTest, AcceleratorLabels) {
    struct Case {
        const char16_t* name;
        const char16_t* value;
        const char16_t* label;
    };
    const Case cases[] = {
        {u"alt-enter", u"1", u"\tAlt+Enter"},
        {u"delete", u"1", u"\tDel"},
        {u"delete", u"0", u""},
        {u"function-key", u"1", u""},
        {u"function-key", u"2", u"\t[F2]"},
        {u"function-key", u"12", u"\t[F12]"},
        {u"function-key", u"13", u""},
        {u"label", u"Open", u""},
    };
    for (const Case& c : cases) {
        const CContextMenuItem& item = makeItem({{c.name, c.value}});
        EXPECT_EQ(item.GetAccelLabel(), QString::fromUtf16(c.label))
            << QString::fromUtf16(c.name).toStdString() << "="
            << QString::fromUtf16(c.value).toStdString();
    }
    CContextMenuItem& separator = makeItem({{u"alt-enter", u"1"}});
    separator.SetSeparator(true);
    EXPECT_EQ(separator.GetAccelLabel(), QString());
}

TEST_F(MenuItemTest, PropertiesActionIsFoundInActionAndCurlAttributes) {
    EXPECT_TRUE(makeItem({{u"action2", u"properties:/x"}}).HasPropertiesAction());
    EXPECT_TRUE(makeItem({{u"curl", u"properties"}}).HasPropertiesAction());
    EXPECT_FALSE(makeItem({{u"action", u"open properties"}}).HasPropertiesAction());
    EXPECT_FALSE(makeItem({{u"file", u"properties"}}).HasPropertiesAction());
    CContextMenuItem& separator = makeItem({{u"action", u"properties"}});
    separator.SetSeparator(true);
    EXPECT_FALSE(separator.HasPropertiesAction());
}

TEST_F(MenuItemTest, ColumnReferencesExpandToTheSelectedValues) {
    grid.rows = {{{u"Id"_qs, u"n 1"_qs}}, {{u"Id"_qs, u"n2"_qs}}, {{u"Id"_qs, u"n 1"_qs}}};
    const CContextMenuItem& item = makeItem({});
    QString error;
    EXPECT_EQ(item.ExpandColRefs(u"Do&Ids=<col-ref>Id</col-ref>&Again=<col-ref>id</col-ref>"_qs,
                                 &grid, error),
              u"Do&Ids=n%201%2Cn2&Again=n%201%2Cn2"_qs);
    EXPECT_EQ(item.ExpandColRefs(u"Do&Ids=<col-ref>Id</col-ref>"_qs, nullptr, error),
              u"Do&Ids="_qs);
    EXPECT_TRUE(error.isEmpty());
    // Not references: another element name, and an element never closed.
    EXPECT_EQ(item.ExpandColRefs(u"<col-refs>Id</col-refs>"_qs, &grid, error),
              u"<col-refs>Id</col-refs>"_qs);
    EXPECT_EQ(item.ExpandColRefs(u"a<col-ref>Id"_qs, &grid, error), u"a<col-ref>Id"_qs);
}

TEST_F(MenuItemTest, ColumnReferenceWithTooFewRowsExpandsToNothing) {
    const CContextMenuItem& item = makeItem({{u"min-values", u"3"}});
    QString error;
    EXPECT_EQ(item.ExpandColRefs(u"Ids=<col-ref>State</col-ref>"_qs, &grid, error), u"Ids="_qs);
    EXPECT_EQ(error, u"Fewer rows were selected (2) than required (3)"_qs);
}

TEST_F(MenuItemTest, InitialCommaOptionIsReadInAnyQuotingAndSpacing) {
    // An empty first value leaves a comma in front of an address list.
    grid.rows = {{{u"Mail"_qs, QString()}}, {{u"Mail"_qs, u"ops@host"_qs}}};
    const CContextMenuItem& item = makeItem({});
    struct Case {
        const char16_t* opening;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"<col-ref>", u",ops@host"},
        {u"<col-ref initial-comma=\"yes\">", u",ops@host"},
        {u"<col-ref initial-comma=\"no\">", u"ops@host"},
        {u"<col-ref initial-comma='no'>", u"ops@host"},
        {u"<col-ref initial-comma = 'no' >", u"ops@host"},
        {u"<col-ref\tinitial-comma=no>", u"ops@host"},
        {u"<col-ref other='x' initial-comma=\"no\">", u"ops@host"},
    };
    for (const Case& c : cases) {
        QString error;
        const QString text = QString::fromUtf16(c.opening) + u"Mail</col-ref>"_qs;
        EXPECT_EQ(item.ExpandColRefs(text, &grid, error), QString::fromUtf16(c.expected))
            << text.toStdString();
    }
}

}  // namespace
