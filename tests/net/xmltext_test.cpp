#include "net/xmltext.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlText, SimpleValueNeedsBothTags) {
    const QString text = QStringLiteral("<reply><tree a='1'><item/></tree></reply>");
    EXPECT_EQ(XmlSimpleValue(text, QStringLiteral("tree"), false), QStringLiteral("<item/>"));
    EXPECT_EQ(XmlSimpleValue(text, QStringLiteral("tree"), true),
              QStringLiteral("<tree a='1'><item/></tree>"));
    EXPECT_TRUE(
        XmlSimpleValue(QStringLiteral("<tree><item/>"), QStringLiteral("tree"), false).isEmpty());
}

}  // namespace
