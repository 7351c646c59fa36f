#include "settings/windowtitletoken.h"

#include <gtest/gtest.h>

namespace {

TEST(TitleTokenTest, TokenBetweenMarkers) {
    struct Case {
        QString title;
        QString token;
    };
    const Case cases[] = {
        {QStringLiteral("Help [> topic-17 <]"), QStringLiteral("topic-17")},
        {QStringLiteral("Help [>topic<]   \t "), QStringLiteral("topic")},
        {QStringLiteral("Help <] before [> after"), QString()},
        {QStringLiteral("Help [> never closed"), QString()},
        {QStringLiteral("[><]"), QString()},
        {QStringLiteral("Plain title"), QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TitleToken(c.title), c.token) << c.title.toStdString();
    }
}

TEST(TitleTokenTest, NoTokenWithoutAnX11Display) {
    // The tests run on the offscreen platform, which has no window list.
    EXPECT_TRUE(TopLevelWindowTitles().isEmpty());
    EXPECT_TRUE(FindWindowTitleToken().isEmpty());
}

}  // namespace
