#include "tree/itemattributes.h"
#include "framework/kprops.h"
#include "qtprinting.h"
#include "tree/treeimages.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Attributes = std::vector<std::pair<QString, QString>>;

std::unique_ptr<CMyItem> parse(const Attributes& pairs, const QString& element = u"item"_qs,
                               bool underServer = false) {
    KPROPS attributes;
    attributes.AddPairs(pairs);
    return ParseItemAttributes(element, attributes, underServer);
}

TEST(TreeImageTest, IconNamesChooseTheirImages) {
    const struct {
        QString icon;
        bool folderElement;
        int image;
        bool unknown;
    } cases[] = {
        {u""_qs, false, kImageCalendar, false},    {u""_qs, true, kImageFolderClosed, false},
        {u"calendar"_qs, false, 0, false},         {u"grouplistremote"_qs, false, 13, false},
        {u"groupremote"_qs, false, 11, false},     {u"root"_qs, false, 15, false},
        {u"systemY"_qs, false, 19, false},         {u"systemQ"_qs, false, kImageSystem0, false},
        {u"vfolder"_qs, false, 20, false},         {u"Grid"_qs, false, kImageGears, true},
        {u"nonsense"_qs, true, kImageGears, true},
    };
    for (const auto& c : cases) {
        bool unknown = false;
        EXPECT_EQ(TreeImageForIcon(c.icon, c.folderElement, unknown), c.image) << c.icon;
        EXPECT_EQ(unknown, c.unknown) << c.icon;
    }
}

TEST(ItemAttributesTest, KindFollowsItemTypeElementAndPlace) {
    const struct {
        QString itemType;
        QString element;
        bool underServer;
        int kind;
    } cases[] = {
        {u"root"_qs, u"item"_qs, false, 'R'},   {u"folder"_qs, u"item"_qs, true, 'F'},
        {u"system"_qs, u"item"_qs, false, 'S'}, {u"dirlist"_qs, u"item"_qs, true, 'D'},
        {u""_qs, u"item"_qs, false, 'C'},       {u""_qs, u"folder"_qs, false, 'F'},
        {u""_qs, u"folder"_qs, true, 'C'},      {u"other"_qs, u"component"_qs, false, 'C'},
    };
    for (const auto& c : cases) {
        const auto item = parse({{u"label"_qs, u"x"_qs}, {u"item-type"_qs, c.itemType}}, c.element,
                                c.underServer);
        EXPECT_EQ(item->ItemType, c.kind) << c.itemType << c.element;
    }
}

TEST(ItemAttributesTest, PanelTypeAndUrlsGiveThePanelFlags) {
    const struct {
        Attributes attributes;
        QString element;
        quint64 panelParts;
        int panelDialog;
    } cases[] = {
        // Without URLs and tabs every item shows the list of its children.
        {{{u"panel-type"_qs, u"grid"_qs}, {u"tree-url"_qs, u"/t"_qs}}, u"item"_qs, 0x2, 0},
        {{{u"panel-type"_qs, u"grid"_qs}, {u"main-grid-url"_qs, u"/g"_qs}}, u"item"_qs, 0x1, 0},
        {{{u"main-browser-url"_qs, u"/b"_qs}}, u"item"_qs, 0x8, 0},
        {{{u"panel-type"_qs, u"list"_qs}, {u"url"_qs, u"/u"_qs}}, u"item"_qs, 0xA, 0},
        {{{u"panel-type"_qs, u"ELEMENT_CHOOSER"_qs}, {u"main-grid-url"_qs, u"/g"_qs}},
         u"item"_qs,
         0x11,
         302},
        {{{u"panel-type"_qs, u"ELEMENT_CHOOSER"_qs}, {u"main-grid-url"_qs, u"/g"_qs}},
         u"folder"_qs,
         0x3,
         0},
        {{{u"panel-type"_qs, u"bogus"_qs}, {u"main-grid-url"_qs, u"/g"_qs}}, u"item"_qs, 0x3, 0},
        {{{u"main-grid-url"_qs, u"/g"_qs}, {u"tree-url"_qs, u"/t"_qs}}, u"item"_qs, 0xB, 0},
        {{{u"label"_qs, u"System Information"_qs}, {u"main-grid-url"_qs, u"/g"_qs}},
         u"item"_qs,
         0x2,
         0},
    };
    for (const auto& c : cases) {
        Attributes attributes = c.attributes;
        attributes.emplace_back(u"id"_qs, u"x"_qs);
        const auto item = parse(attributes, c.element);
        EXPECT_EQ(item->PanelParts, c.panelParts) << item->Parts.Count();
        EXPECT_EQ(item->PanelDialog, c.panelDialog);
    }
}

TEST(ItemAttributesTest, PanelPartsComeFromUrlsAndTabsUpToTheFirstGap) {
    const auto item = parse({{u"label"_qs, u"x"_qs},
                             {u"main-grid-url"_qs, u"/g"_qs},
                             {u"url"_qs, u"/b"_qs},
                             {u"tab1-curl"_qs, u"grid:/one"_qs},
                             {u"tab1-label"_qs, u"One"_qs},
                             {u"tab3-curl"_qs, u"grid:/three"_qs}});
    ASSERT_EQ(item->Parts.Count(), 3);
    EXPECT_EQ(item->Parts.GetNameAt(0), u"grid:/g");
    EXPECT_EQ(item->Parts.GetValueAt(0), u" ");
    EXPECT_EQ(item->Parts.GetNameAt(1), u"browser:/b");
    EXPECT_EQ(item->Parts.GetNameAt(2), u"grid:/one");
    EXPECT_EQ(item->Parts.GetValueAt(2), u"One");
}

TEST(ItemAttributesTest, FieldsAreReadFromTheirAttributes) {
    const auto item = parse({{u"label"_qs, QString(400, u'L')},
                             {u"id"_qs, u"n1"_qs},
                             {u"tree-url"_qs, u"/cmi/Services?Action=Ls&Dir=/a b#c&x=1"_qs},
                             {u"mode"_qs, u"16877"_qs},
                             {u"bytes"_qs, u"4096"_qs},
                             {u"lastmod-utc"_qs, u"-5"_qs},
                             {u"owner"_qs, QString(30, u'o')},
                             {u"count"_qs, u"0"_qs},
                             {u"refresh"_qs, u"30"_qs},
                             {u"menu"_qs, u"Node.menu"_qs},
                             {u"hovertext"_qs, u"a%0ab"_qs},
                             {u"drag-type"_qs, u"node"_qs}});
    EXPECT_EQ(item->GetLabel().size(), 299);
    EXPECT_EQ(item->ID, u"n1");
    EXPECT_EQ(item->TreeURL, u"/cmi/Services?Action=Ls&Dir=/a+b%23c&x=1");
    EXPECT_EQ(item->File.Mode, 16877u);
    EXPECT_EQ(item->File.Bytes, 4096u);
    EXPECT_EQ(item->File.LastModified, -5);
    EXPECT_EQ(item->File.Owner.size(), 19);
    EXPECT_EQ(item->Count, 0);
    EXPECT_EQ(item->RefreshSecs, 30);
    EXPECT_EQ(item->GetMenuName(), u"Node");
    EXPECT_EQ(item->GetHoverText(), u"a\nb");
    EXPECT_EQ(item->GetDragType(), u"node");
    EXPECT_EQ(item->Attributes.GetValue(u"owner"_qs).size(), 30);
    EXPECT_EQ(parse({{u"label"_qs, u"x"_qs}, {u"count"_qs, u""_qs}})->Count, -1);
}

TEST(MergeBaseAttributesTest, ContextMenuOfTheTemplateReplacesTheFirstPartsParameter) {
    const auto base = parse(
        {{u"contextmenu"_qs, u"X"_qs},
         {u"main-grid-url"_qs,
          u"/cmi/Services?ContextMenu=Y&Group=GROUP_ID_TO_REPLACE&Host=MACHINE_ID_TO_REPLACE"_qs},
         {u"icon"_qs, u""_qs}});
    const auto parsed = parse({{u"label"_qs, u"Node"_qs}, {u"id"_qs, u" g1 @ m1 "_qs}});
    const auto merged = MergeBaseAttributes(*base, *parsed);
    ASSERT_EQ(merged->Parts.Count(), 1);
    EXPECT_EQ(merged->Parts.GetNameAt(0), u"grid:/cmi/Services?ContextMenu=X&Group=g1&Host=m1");
    EXPECT_EQ(merged->GetLabel(), u"Node");
    EXPECT_EQ(merged->ID, u" g1 @ m1 ");
    EXPECT_EQ(merged->ImageIdx, kImageGrid);
}

TEST(MergeBaseAttributesTest, AttributesRuleOutPartsByPosition) {
    const Attributes baseTabs = {{u"tab1-curl"_qs, u"p1"_qs}, {u"tab2-curl"_qs, u"p2"_qs},
                                 {u"tab3-curl"_qs, u"p3"_qs}, {u"tab4-curl"_qs, u"p4"_qs},
                                 {u"tab5-curl"_qs, u"p5"_qs}, {u"tab6-curl"_qs, u"p6"_qs}};
    const struct {
        Attributes baseExtra;
        Attributes parsedExtra;
        QStringList kept;
    } cases[] = {
        {{}, {}, {u"p1"_qs, u"p2"_qs, u"p3"_qs, u"p4"_qs, u"p5"_qs, u"p6"_qs}},
        {{{u"hasmanageuserperm"_qs, u"1"_qs}},
         {},
         {u"p1"_qs, u"p3"_qs, u"p4"_qs, u"p5"_qs, u"p6"_qs}},
        {{{u"fe"_qs, u""_qs}}, {}, {u"p1"_qs, u"p2"_qs, u"p4"_qs, u"p5"_qs, u"p6"_qs}},
        {{}, {{u"remote"_qs, u"1"_qs}}, {u"p1"_qs, u"p2"_qs, u"p3"_qs, u"p4"_qs}},
        {{}, {{u"allgroupaccess"_qs, u"1"_qs}}, {u"p1"_qs, u"p2"_qs, u"p3"_qs, u"p4"_qs, u"p5"_qs}},
    };
    for (const auto& c : cases) {
        Attributes baseAttributes = baseTabs;
        baseAttributes.insert(baseAttributes.end(), c.baseExtra.begin(), c.baseExtra.end());
        Attributes parsedAttributes = {{u"label"_qs, u"n"_qs}};
        parsedAttributes.insert(parsedAttributes.end(), c.parsedExtra.begin(), c.parsedExtra.end());
        const auto merged = MergeBaseAttributes(*parse(baseAttributes), *parse(parsedAttributes));
        QStringList kept;
        for (int i = 0; i < merged->Parts.Count(); ++i) {
            kept << merged->Parts.GetNameAt(i);
        }
        EXPECT_EQ(kept, c.kept);
    }
}

TEST(MergeBaseAttributesTest, ParsedValuesWinOnlyWhenSet) {
    const auto base = parse({{u"id"_qs, u"base"_qs},
                             {u"tree-url"_qs, u"/base"_qs},
                             {u"help-url"_qs, u"/help"_qs},
                             {u"menu"_qs, u"BaseMenu"_qs},
                             {u"icon"_qs, u"log"_qs},
                             {u"count"_qs, u"4"_qs}});
    const auto parsed = parse({{u"label"_qs, u"n"_qs}, {u"menu"_qs, u"Own.menu"_qs}});
    const auto merged = MergeBaseAttributes(*base, *parsed);
    EXPECT_EQ(merged->ID, u"base");
    EXPECT_EQ(merged->TreeURL, u"/base");
    EXPECT_EQ(merged->ImageIdx, 9);
    EXPECT_EQ(merged->Count, 4);
    EXPECT_EQ(merged->GetMenuName(), u"Own");
    // Help and hover texts always come from the element itself.
    EXPECT_EQ(merged->GetHelpURL(), u"");
    EXPECT_EQ(merged->Attributes.GetValue(u"label"_qs), u"n");
}

}  // namespace
