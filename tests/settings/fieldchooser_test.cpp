// The field chooser's column list applied to grid URLs.

#include "preferencesfixture.h"

TEST_F(PreferencesFixture, ApplyFieldChooserColumnsReplacesTheColumnsParameter) {
    const QString base = QStringLiteral("/cmi/Services?Action=Grid&FieldChooser=hosts");
    EXPECT_EQ(CPreferences::GetFieldChooserName(base), u"hosts");
    EXPECT_EQ(CPreferences::GetFieldChooserName(u"/cmi/Services?Action=Grid"_qs), u"");

    QString untouched = base + QStringLiteral("&Columns=a,b");
    EXPECT_EQ(prefs.ApplyFieldChooserColumns(u"hosts"_qs, untouched), 0);
    EXPECT_EQ(untouched, base + QStringLiteral("&Columns=a,b"));

    prefs.SetString(QStringLiteral("FieldChooser:hosts"), QStringLiteral("c,d"));
    QString url = base + QStringLiteral("&Columns=a,b&Sort=x");
    EXPECT_EQ(prefs.ApplyFieldChooserColumns(u"hosts"_qs, url), 1);
    EXPECT_EQ(url, base + QStringLiteral("&Columns=c,d"));
    QString withoutColumns = base;
    EXPECT_EQ(prefs.ApplyFieldChooserColumns(u"hosts"_qs, withoutColumns), 1);
    EXPECT_EQ(withoutColumns, base + QStringLiteral("&Columns=c,d"));
}
