// A text that repeats down a column is held once and shared by its cells; a
// column of texts that do not repeat is left alone after its first rows, and
// the texts given stay the texts taken whatever the column does.

#include "grid/repeatedtexts.h"

#include <gtest/gtest.h>

namespace {

// Whether two strings share one buffer.
bool shared(const QString& first, const QString& second) {
    return first.constData() == second.constData();
}

TEST(RepeatedTexts, AColumnsRepeatedTextIsSharedAndOtherColumnsKeepTheirOwn) {
    CRepeatedTexts texts;
    const QString first = texts.Take(3, u"Up");
    const QString again = texts.Take(3, u"Up");
    const QString otherColumn = texts.Take(4, u"Up");
    EXPECT_EQ(again, u"Up");
    EXPECT_TRUE(shared(first, again));
    EXPECT_EQ(otherColumn, u"Up");
    EXPECT_FALSE(shared(first, otherColumn));
    EXPECT_FALSE(shared(first, texts.Take(3, u"Down")));
    // A string the caller holds is kept rather than copied.
    const QString owned = QStringLiteral("Down here");
    EXPECT_TRUE(shared(texts.Take(5, owned, &owned), owned));
    EXPECT_TRUE(shared(texts.Take(5, u"Down here"), owned));
    // A cell that changes its text changes no other cell's.
    QString edited = texts.Take(3, u"Up");
    edited.append(u'!');
    EXPECT_EQ(texts.Take(3, u"Up"), u"Up");
    EXPECT_EQ(first, u"Up");
    texts.Clear();
    EXPECT_FALSE(shared(texts.Take(3, u"Up"), first));
}

TEST(RepeatedTexts, AColumnOfUniqueTextsIsNoLongerRememberedAfterItsTrial) {
    CRepeatedTexts texts;
    const int rows = CRepeatedTexts::kTrialLookups + 10;
    for (int row = 0; row < rows; ++row) {
        const QString key = QStringLiteral("node-%1").arg(row);
        EXPECT_EQ(texts.Take(0, key), key);
        EXPECT_EQ(texts.Take(1, row % 7 == 0 ? u"Down" : u"Up"), row % 7 == 0 ? u"Down" : u"Up");
    }
    // The unique column gave up: an early key comes back as a string of its own.
    const QString early = texts.Take(0, u"node-1");
    EXPECT_EQ(early, u"node-1");
    EXPECT_FALSE(shared(early, texts.Take(0, u"node-1")));
    // The repeating column still shares.
    EXPECT_TRUE(shared(texts.Take(1, u"Up"), texts.Take(1, u"Up")));
}

TEST(RepeatedTexts, EmptyTextsAndBadColumnsAreGivenAsTheyCame) {
    CRepeatedTexts texts;
    EXPECT_TRUE(texts.Take(0, u"").isEmpty());
    EXPECT_EQ(texts.Take(-1, u"x"), u"x");
    EXPECT_FALSE(shared(texts.Take(-1, u"x"), texts.Take(-1, u"x")));
}

}  // namespace
