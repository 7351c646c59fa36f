// The choosers' state kept in Quillex.ini: element and job chooser records
// saved and read back by the next run, their defaults, and the field
// chooser's column lists.

#include "preferencesfixture.h"
#include "settings/chooserfilters.h"

namespace {

class ChooserStateTest : public PreferencesFixture {
protected:
    void SetUp() override {
        PreferencesFixture::SetUp();
        prefs.RestorePrefs();
    }

    // A record with every value off its default.
    static CElemChooserFilter busyElemFilter(bool advancedOffered) {
        CElemChooserFilter filter;
        filter.alias = true;
        filter.name = QStringLiteral("core-*");
        filter.address = QStringLiteral("10.1.*");
        filter.childrenChecked = true;
        filter.childrenChoice = 1;
        filter.advancedOffered = advancedOffered;
        filter.advancedShown = true;
        filter.advancedUsed = true;
        filter.type = QStringLiteral("Router");
        filter.typeNot = true;
        filter.modified = QStringLiteral("1 day");
        filter.modifiedSign = QStringLiteral("<");
        filter.created = QStringLiteral("1 week");
        filter.createdSign = QStringLiteral("<");
        filter.speed = QStringLiteral("100M");
        filter.speedNot = true;
        filter.speedSign = QStringLiteral(">");
        filter.serverGroup = QStringLiteral("East");
        filter.serverGroupNot = true;
        filter.polling = QStringLiteral("Yes");
        filter.live = QStringLiteral("No");
        filter.latency = QStringLiteral("Yes");
        filter.systemDescription = QStringLiteral("Cisco*");
        filter.interfaceDescription = QStringLiteral("Gig*");
        filter.protocol = QStringLiteral("SNMP");
        return filter;
    }
};

TEST_F(ChooserStateTest, AnElemChooserRecordComesBackInTheNextRun) {
    for (const bool offered : {true, false}) {
        SCOPED_TRACE(offered);
        const QString prefix = offered ? QStringLiteral("srv-7") : QStringLiteral("srv-8");
        const CElemChooserFilter saved = busyElemFilter(offered);
        EXPECT_EQ(prefs.SaveElemChooserFilter(saved, prefix), 1);
        EXPECT_EQ(iniText().contains(prefix + QStringLiteral("-AFilter_")), offered);

        CPreferences next;
        restart(next);
        CElemChooserFilter restored;
        restored.advancedOffered = offered;
        EXPECT_EQ(next.RestoreElemChooserFilter(restored, prefix, {}), 1);
        // Without the advanced filters on offer they keep their defaults.
        CElemChooserFilter expected = offered ? saved : CElemChooserFilter();
        expected.alias = saved.alias;
        expected.name = saved.name;
        expected.address = saved.address;
        expected.childrenChecked = saved.childrenChecked;
        expected.childrenChoice = saved.childrenChoice;
        expected.advancedOffered = offered;
        EXPECT_EQ(restored, expected);
    }
}

TEST_F(ChooserStateTest, AnElemChooserWithoutStoredKeysShowsTheCurlsValues) {
    struct Case {
        const char* curl;
        bool storedAlias;
        bool alias;
        const char* name;
        const char* address;
        bool childrenChecked;
        int childrenChoice;
    };
    const Case cases[] = {
        {"", false, false, "*", "*", false, 0},
        {"Name=core&Alias=edge&IPAddress=10.0.0.1&Children=Exclude", false, false, "core",
         "10.0.0.1", true, 1},
        {"Name=core&Alias=edge&Children=include", true, true, "edge", "*", true, 0},
        {"Name=&IPAddress=&Children=n/a", false, false, "*", "*", false, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.curl);
        CPreferences fresh;
        restart(fresh);
        if (test.storedAlias) {
            fresh.SetString(QStringLiteral("p-NameOrAlias"), QStringLiteral("ALIAS"));
        }
        CElemChooserFilter filter;
        filter.childrenChoice = 0;
        EXPECT_EQ(fresh.RestoreElemChooserFilter(filter, QStringLiteral("p"),
                                                 QString::fromUtf8(test.curl)),
                  1);
        EXPECT_EQ(filter.alias, test.alias);
        EXPECT_EQ(filter.name, QString::fromUtf8(test.name));
        EXPECT_EQ(filter.address, QString::fromUtf8(test.address));
        EXPECT_EQ(filter.childrenChecked, test.childrenChecked);
        EXPECT_EQ(filter.childrenChoice, test.childrenChoice);
    }
}

TEST_F(ChooserStateTest, StoredChildrenAndNameOrAliasTextsMapToTheControls) {
    struct Case {
        const char* stored;
        bool checked;
        int choice;  // the selector's entry afterwards; 5 = left where it was
    };
    const Case cases[] = {
        {"INCLUDE", true, 0}, {"exclude", true, 1}, {"n/a", false, 5}, {"maybe", false, 5}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.stored);
        prefs.SetString(QStringLiteral("p-Children"), QString::fromUtf8(test.stored));
        CElemChooserFilter filter;
        filter.childrenChecked = true;
        filter.childrenChoice = 5;
        prefs.RestoreElemChooserFilter(filter, QStringLiteral("p"),
                                       QStringLiteral("Children=include"));
        EXPECT_EQ(filter.childrenChecked, test.checked);
        EXPECT_EQ(filter.childrenChoice, test.choice);
    }
    // A name-or-alias text that is neither leaves the selector and the name.
    prefs.SetString(QStringLiteral("p-NameOrAlias"), QStringLiteral("address"));
    prefs.SetString(QStringLiteral("p-Name"), QStringLiteral("stored"));
    CElemChooserFilter filter;
    filter.alias = true;
    filter.name = QStringLiteral("typed");
    prefs.RestoreElemChooserFilter(filter, QStringLiteral("p"), {});
    EXPECT_TRUE(filter.alias);
    EXPECT_EQ(filter.name, QStringLiteral("typed"));
}

TEST_F(ChooserStateTest, SavingChildrenWritesIncludeExcludeOrNotApplicable) {
    struct Case {
        bool checked;
        int choice;
        const char* stored;
    };
    const Case cases[] = {
        {true, 0, "include"}, {true, 1, "exclude"}, {true, 2, "n/a"}, {false, 0, "n/a"}};
    for (const Case& test : cases) {
        CElemChooserFilter filter;
        filter.childrenChecked = test.checked;
        filter.childrenChoice = test.choice;
        prefs.SaveElemChooserFilter(filter, QStringLiteral("p"));
        EXPECT_EQ(prefs.GetString(QStringLiteral("p-Children")), QString::fromUtf8(test.stored));
        EXPECT_EQ(prefs.GetString(QStringLiteral("p-NameOrAlias")), QStringLiteral("name"));
    }
}

TEST_F(ChooserStateTest, AJobChooserRecordComesBackAndDefaultsToEverything) {
    CJobChooserFilter fresh;
    EXPECT_EQ(prefs.RestoreJobChooserFilter(fresh, QStringLiteral("jobs")), 1);
    CJobChooserFilter everything;
    everything.subject = QStringLiteral("*");
    everything.days = {1, 1, 1, 1, 1, 1, 1};
    everything.monthly = 1;
    EXPECT_EQ(fresh, everything);

    CJobChooserFilter saved;
    saved.status = 3;
    saved.subject = QStringLiteral("backup");
    saved.days = {0, 1, 0, 1, 0, 0, 1};  // Mon, Wed, Sat
    saved.monthly = 0;
    EXPECT_EQ(prefs.SaveJobChooserFilter(saved, QStringLiteral("jobs")), 1);
    EXPECT_TRUE(iniText().contains(QStringLiteral("jobs-Wed=1")));
    EXPECT_TRUE(iniText().contains(QStringLiteral("jobs-Thu=0")));
    CPreferences next;
    restart(next);
    CJobChooserFilter restored;
    next.RestoreJobChooserFilter(restored, QStringLiteral("jobs"));
    EXPECT_EQ(restored, saved);
}

TEST_F(ChooserStateTest, FieldChooserColumnsStoreTheirOrderAndReplaceAGridsColumns) {
    prefs.SaveFieldChooserColumns(QStringLiteral("elements"),
                                  {QStringLiteral("c"), QStringLiteral("a")});
    EXPECT_EQ(prefs.GetString(QStringLiteral("FieldChooser:elements")), QStringLiteral("c,a"));
    EXPECT_EQ(prefs.GetInt(QStringLiteral("grid:elements/c"), 0), 1);
    EXPECT_EQ(prefs.GetInt(QStringLiteral("grid:elements/a"), 0), 2);
    QString url = QStringLiteral("/cmi/Elements?FieldChooser=elements&Columns=x,y&Sort=1");
    EXPECT_EQ(prefs.ApplyFieldChooserColumns(CPreferences::GetFieldChooserName(url), url), 1);
    EXPECT_EQ(url, QStringLiteral("/cmi/Elements?FieldChooser=elements&Columns=c,a"));

    prefs.SaveFieldChooserColumns(QStringLiteral("elements"), {});
    EXPECT_TRUE(
        prefs.GetString(QStringLiteral("FieldChooser:elements"), QStringLiteral("x")).isEmpty());
    QString untouched = QStringLiteral("/cmi/Elements?FieldChooser=elements&Columns=x");
    EXPECT_EQ(prefs.ApplyFieldChooserColumns(QStringLiteral("elements"), untouched), 0);
    EXPECT_EQ(untouched, QStringLiteral("/cmi/Elements?FieldChooser=elements&Columns=x"));
}

}  // namespace
