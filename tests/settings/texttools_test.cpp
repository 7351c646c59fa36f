#include "settings/texttools.h"

#include <gtest/gtest.h>

#include <QMenu>

namespace {

TEST(ExtractTagTest, ContentAndWholeElement) {
    struct Case {
        QString text;
        QString tag;
        bool whole;
        QString result;
    };
    const Case cases[] = {
        {QStringLiteral("<a>x</a>"), QStringLiteral("a"), false, QStringLiteral("x")},
        {QStringLiteral("<a id=\"1\">x</a>"), QStringLiteral("a"), false, QStringLiteral("x")},
        {QStringLiteral("<a>x</a>"), QStringLiteral("a"), true, QStringLiteral("<a>x</a>")},
        {QStringLiteral("<a>x"), QStringLiteral("a"), false, QString()},
        {QStringLiteral("x</a>"), QStringLiteral("a"), false, QString()},
        {QStringLiteral("<a>1</a><a>2</a>"), QStringLiteral("a"), true, QStringLiteral("<a>1</a>")},
        // The opening tag is a prefix: a longer name with the same start matches.
        {QStringLiteral("<ab>y</a>"), QStringLiteral("a"), false, QStringLiteral("y")},
        // A closing tag ahead of the opening one delimits nothing.
        {QStringLiteral("</a><a>z"), QStringLiteral("a"), false, QString()},
        {QStringLiteral("</a><a>z"), QStringLiteral("a"), true, QString()},
        {QStringLiteral("<a"), QStringLiteral("a"), false, QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractTag(c.text, c.tag, c.whole), c.result) << c.text.toStdString();
    }
}

TEST(DecodeNewlinesTest, OnlyLowerCaseEscapes) {
    struct Case {
        QString text;
        QString decoded;
    };
    const Case cases[] = {
        {QStringLiteral("a%0d%0ab"), QStringLiteral("a\r\nb")},
        {QStringLiteral("%0A%0D"), QStringLiteral("%0A%0D")},
        {QStringLiteral("%0%0aa"), QStringLiteral("%0\na")},
    };
    for (const Case& c : cases) {
        QString text = c.text;
        DecodeNewlines(text);
        EXPECT_EQ(text, c.decoded) << c.text.toStdString();
    }
}

TEST(FindMenuItemByTextTest, PositionsCountSeparators) {
    QMenu menu;
    menu.addAction(QStringLiteral("&Open"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Save\tCtrl+S"));
    menu.addAction(QStringLiteral("&Save\tCtrl+S"));
    EXPECT_EQ(FindMenuItemByText(menu, QStringLiteral("&Open")), 0);
    EXPECT_EQ(FindMenuItemByText(menu, QStringLiteral("&Save\tCtrl+S")), 2);
    EXPECT_EQ(FindMenuItemByText(menu, QStringLiteral("Open")), -1);
}

}  // namespace
