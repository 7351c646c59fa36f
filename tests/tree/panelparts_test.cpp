#include "tree/panelparts.h"

#include <gtest/gtest.h>

namespace {

TEST(PanelParts, PartsAreAddedInTheRenderersForms) {
    CPanelParts parts;
    EXPECT_EQ(parts.AddPart(QStringLiteral("list:"), QString()), 1);
    EXPECT_EQ(parts.GetValueAt(0), QStringLiteral(" ")) << "an empty label is one blank";
    EXPECT_EQ(parts.AddGridPart(QStringLiteral("/cmi/Grid?x=1"), QStringLiteral("Rows")), 2);
    EXPECT_EQ(parts.AddBrowserPart(QStringLiteral("http://h/p"), QString()), 3);
    EXPECT_EQ(parts.GetNameAt(1), QStringLiteral("grid:/cmi/Grid?x=1"));
    EXPECT_EQ(parts.GetValueAt(1), QStringLiteral("Rows"));
    EXPECT_EQ(parts.GetNameAt(2), QStringLiteral("browser:http://h/p"));
}

TEST(PanelParts, EmptyUrlsAddNothing) {
    CPanelParts parts;
    parts.AddPart(QStringLiteral("list:"), QStringLiteral("Folder"));
    EXPECT_EQ(parts.AddGridPart(QString(), QStringLiteral("x")), 1);
    EXPECT_EQ(parts.AddBrowserPart(QString(), QStringLiteral("x")), 1);
    EXPECT_EQ(parts.Count(), 1);
}

}  // namespace
