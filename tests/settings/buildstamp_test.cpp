#include "settings/buildstamp.h"

#include <gtest/gtest.h>

namespace {

QString stampWith(const QByteArray& number, const QByteArray& note) {
    return QString::fromLatin1("<BURN-IN>\n<ZRM_BUILDNUM>" + number.leftJustified(28, ' ') +
                               "</ZRM_BUILDNUM>\n<ZRM_BUILDNOTE>" + note.leftJustified(28, ' ') +
                               "</ZRM_BUILDNOTE>\n</BURN-IN>\n");
}

TEST(BuildStampTest, RecordKeepsItsLayout) {
    const QString record = BuildStampText();
    EXPECT_EQ(record.size(), 139);
    EXPECT_EQ(record, stampWith("11082920", "mon"));
}

TEST(BuildStampTest, VersionTexts) {
    EXPECT_EQ(GetVersionString(true), QStringLiteral("6.3.0.11082920 mon"));
    EXPECT_EQ(GetVersionString(false), QStringLiteral("6.3.0.11082920"));
    EXPECT_EQ(GetBuildNum(), QStringLiteral("11082920"));
    EXPECT_EQ(GetBuildNote(), QStringLiteral("mon"));
}

TEST(BuildStampTest, OverrideChangesOnlyTheBuildNumber) {
    SetBuildNumOverride(QStringLiteral("99999999"));
    EXPECT_EQ(GetBuildNum(), QStringLiteral("99999999"));
    EXPECT_EQ(GetVersionString(true), QStringLiteral("6.3.0.11082920 mon"));
    SetBuildNumOverride(QString());
    EXPECT_EQ(GetBuildNum(), QStringLiteral("11082920"));
}

TEST(BuildStampTest, StampedFieldsReadFromAPatchedRecord) {
    struct Case {
        QByteArray number;
        QByteArray note;
    };
    const Case cases[] = {
        {"1234567890123456789012345678", "release candidate 2"},
        {"", ""},
        {"42", "tab\tinside"},
    };
    for (const Case& c : cases) {
        const QString record = stampWith(c.number, c.note);
        ASSERT_EQ(record.size(), 139);
        EXPECT_EQ(BuildStampField(record, u"ZRM_BUILDNUM"), QString::fromLatin1(c.number));
        EXPECT_EQ(BuildStampField(record, u"ZRM_BUILDNOTE"), QString::fromLatin1(c.note));
    }
}

}  // namespace
