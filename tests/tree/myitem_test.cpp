#include "tree/myitem.h"

#include <gtest/gtest.h>

namespace {

TEST(MyItemTest, NewRecordHasItsDefaults) {
    const CMyItem item;
    EXPECT_EQ(item.ItemType, 'U');
    EXPECT_EQ(item.ImageIdx, 0);
    EXPECT_EQ(item.Count, -1);
    EXPECT_EQ(item.Parts.Count(), 0);
    EXPECT_EQ(item.Attributes.Count(), 0);
    EXPECT_FALSE(item.HasContent());
    EXPECT_NE(item.GetItemId(), 0u);
}

TEST(MyItemTest, MenuNameDropsItsSuffixAndKeepsItOnEmpty) {
    CMyItem item;
    item.SetMenuName(QStringLiteral("Elements.menu"));
    EXPECT_EQ(item.GetMenuName(), u"Elements");
    item.SetMenuName(QString());
    EXPECT_EQ(item.GetMenuName(), u"Elements");
}

TEST(MyItemTest, HoverTextDecodesLineBreaks) {
    CMyItem item;
    item.SetHoverText(QStringLiteral("a%0ab%0dc"));
    EXPECT_EQ(item.GetHoverText(), u"a\nb\rc");
}

TEST(MyItemTest, LabelsAreCutAt299CharactersAlsoInCopies) {
    CMyItem item;
    item.SetLabel(QString(300, u'x'));
    EXPECT_EQ(item.GetLabel().size(), 299);
    const CMyItem copy(item);
    EXPECT_EQ(copy.GetLabel().size(), 299);
}

TEST(MyItemTest, CopiesCarryEveryFieldAndANewItemId) {
    CMyItem item;
    item.ID = QStringLiteral("id1");
    item.SetLabel(QStringLiteral("Label"));
    item.Parts.Add(QStringLiteral("grid:/x"), QStringLiteral(" "));
    item.Attributes.Add(QStringLiteral("sort"), QStringLiteral("1"));
    item.File.Owner = QStringLiteral("root");
    item.SetDragType(QStringLiteral("node"));
    const auto copy = item.Clone();
    EXPECT_NE(copy->GetItemId(), item.GetItemId());
    EXPECT_EQ(copy->ID, u"id1");
    EXPECT_EQ(copy->GetLabel(), u"Label");
    EXPECT_EQ(copy->Parts.GetValue(QStringLiteral("grid:/x")), u" ");
    EXPECT_EQ(copy->Attributes.GetValue(QStringLiteral("sort")), u"1");
    EXPECT_EQ(copy->File.Owner, u"root");
    EXPECT_EQ(copy->GetDragType(), u"node");
    EXPECT_TRUE(copy->HasContent());
}

TEST(MyItemTest, ServerEntryCopyOwnsACopyOfItsConnection) {
    CMyItem item;
    item.SetLabel(QStringLiteral("alpha"));
    CServerConnection connection;
    connection.Host = QStringLiteral("alpha.example");
    connection.WebPort = 8080;
    const CSystemItem server(item, connection);
    const auto copy = server.Clone();
    auto* copiedServer = dynamic_cast<CSystemItem*>(copy.get());
    ASSERT_NE(copiedServer, nullptr);
    EXPECT_NE(copiedServer->GetSystem(), server.GetSystem());
    EXPECT_EQ(copiedServer->GetSystem()->Host, u"alpha.example");
    EXPECT_EQ(copiedServer->GetSystem()->WebPort, 8080);
}

TEST(MyItemTest, SmartLevelsAreBoundedByTheRecord) {
    const struct {
        int smartMax;
        int levels;
    } cases[] = {{0, 50}, {-3, 50}, {2, 2}, {50, 50}, {51, 50}, {100000, 50}};
    for (const auto& c : cases) {
        CMyItem item;
        item.SmartMax = c.smartMax;
        EXPECT_EQ(item.SmartLevels(), c.levels) << c.smartMax;
    }
}

TEST(ServerConnectionTest, BaseUrlNamesPortAndEncodedCredentials) {
    CServerConnection connection;
    connection.Host = QStringLiteral("h");
    EXPECT_EQ(connection.GetBaseURL(false), u"http://h");
    connection.Protocol = QStringLiteral("https");
    connection.WebPort = 8443;
    connection.User = QStringLiteral("ann");
    connection.Password = QStringLiteral("p@ss:w");
    EXPECT_EQ(connection.GetBaseURL(false), u"https://h:8443");
    EXPECT_EQ(connection.GetBaseURL(true), u"https://ann:p%40ss%3Aw@h:8443");
}

}  // namespace
