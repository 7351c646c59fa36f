#include "settings/credentials.h"

#include "preferencesfixture.h"
#include "settings/des.h"

namespace {

class CredentialsTest : public PreferencesFixture {
protected:
    // The deciphered record string behind the chunks now in the settings.
    QString storedRecords(const CPreferences& from) const {
        QString hex;
        for (int i = 0; i < from.Settings().Count(); ++i) {
            if (from.Settings().GetNameAt(i).startsWith(QStringLiteral("AppData:"))) {
                hex += from.Settings().GetValueAt(i);
            }
        }
        return DesDecryptFromHex(CredentialCipherKey(), hex);
    }
    QStringList chunkKeys(const CPreferences& from) const {
        QStringList keys;
        for (int i = 0; i < from.Settings().Count(); ++i) {
            if (from.Settings().GetNameAt(i).startsWith(QStringLiteral("AppData"))) {
                keys << kFormat(u"%s=%s", from.Settings().GetNameAt(i),
                                from.Settings().GetValueAt(i).isEmpty() ? u"" : u"...");
            }
        }
        return keys;
    }
};

TEST_F(CredentialsTest, RecordHoldsUserButNoPasswordUnlessAllowed) {
    prefs.RestorePrefs();  // StoreUsernames 1, StorePasswords 0
    prefs.SetCredentials(QStringLiteral("host:8080"), QStringLiteral("ann"),
                         QStringLiteral("secret"));
    ASSERT_EQ(prefs.SavePrefs(0), 1);
    EXPECT_EQ(storedRecords(prefs), QStringLiteral("HP=host%3A8080&U=ann&P=&HP=_d_o_n_e_&"));
    EXPECT_FALSE(iniText().contains(QStringLiteral("secret")));

    CPreferences next;
    restart(next);
    expectCredentials(next, QStringLiteral("host:8080"), QStringLiteral("ann"), QString());
}

TEST_F(CredentialsTest, KeysSurviveWhenNothingElseMayBeStored) {
    KPROPS list;
    list.Add(QStringLiteral("a b"), QStringLiteral("user"), QStringLiteral("pw"));
    list.Add(QStringLiteral("c"), QStringLiteral("u2"), QStringLiteral("p2"));
    EXPECT_EQ(BuildCredentialRecords(list, false, false),
              QStringLiteral("HP=a+b&U=&P=&HP=c&U=&P=&HP=_d_o_n_e_&"));
    EXPECT_EQ(BuildCredentialRecords(list, true, true),
              QStringLiteral("HP=a+b&U=user&P=pw&HP=c&U=u2&P=p2&HP=_d_o_n_e_&"));
    EXPECT_TRUE(BuildCredentialRecords(KPROPS(), true, true).isEmpty());
}

TEST_F(CredentialsTest, SpecialCharactersSurviveARestart) {
    prefs.RestorePrefs();
    prefs.SetInt(QStringLiteral("StorePasswords"), 1);
    struct Credential {
        QString key;
        QString user;
        QString password;
    };
    const Credential credentials[] = {
        {QStringLiteral("srv:443"), QStringLiteral("a&b=c"), QStringLiteral("p&w=d%20+x y")},
        {QStringLiteral("http://h/wv.zwv?x=1&y=2"), QStringLiteral("J\u00fcrgen"),
         QStringLiteral("\u65e5\u672c\U0001F600")},
        {QStringLiteral("HP=_d_o_n_e_"), QStringLiteral("HP"), QStringLiteral("_d_o_n_e_")},
    };
    for (const Credential& c : credentials) {
        prefs.SetCredentials(c.key, c.user, c.password);
    }
    ASSERT_EQ(prefs.SavePrefs(0), 1);

    CPreferences next;
    restart(next);
    ASSERT_EQ(next.Credentials().Count(), 3);
    for (const Credential& c : credentials) {
        expectCredentials(next, c.key, c.user, c.password);
    }
    EXPECT_FALSE(next.IsDirty());
}

TEST_F(CredentialsTest, DecipheredPasswordsNeverReachTheLog) {
    prefs.RestorePrefs();
    prefs.SetInt(QStringLiteral("StorePasswords"), 1);
    prefs.SetCredentials(QStringLiteral("srv:443"), QStringLiteral("ann"),
                         QStringLiteral("Tr0ub4dor"));
    ASSERT_EQ(prefs.SavePrefs(1), 1);
    CPreferences next;
    restart(next);
    expectCredentials(next, QStringLiteral("srv:443"), QStringLiteral("ann"),
                      QStringLiteral("Tr0ub4dor"));
    ASSERT_GT(kDebugLevel(0), 2) << "the pair trace is written at this level";
    EXPECT_TRUE(logText().contains(QStringLiteral("value='ann'")));
    EXPECT_FALSE(logText().contains(QStringLiteral("Tr0ub4dor")));
}

TEST_F(CredentialsTest, EveryCredentialComesBackBeyondSixHundredPairs) {
    prefs.RestorePrefs();
    for (int i = 0; i < 450; ++i) {
        prefs.SetCredentials(kFormat(u"host%d:80", i), kFormat(u"user%d", i), std::nullopt);
    }
    ASSERT_EQ(prefs.SavePrefs(0), 1);
    CPreferences next;
    restart(next);
    EXPECT_EQ(next.Credentials().Count(), 450);
    expectCredentials(next, QStringLiteral("host449:80"), QStringLiteral("user449"), QString());
}

TEST_F(CredentialsTest, TenThousandDigitsMakeExactlyTwoChunksAndStaleOnesAreEmptied) {
    // An earlier, longer save left four chunks behind.
    writeIni("AppData:00=aa\nAppData:01=bb\nAppData:02=cc\nAppData:03=dd\n");
    prefs.RestorePrefs();
    prefs.Settings().Clear();
    prefs.RestorePrefs();
    // "HP=" key "&U=&P=&HP=_d_o_n_e_&" is 23 bytes around the key: 5000 bytes
    // encipher to 10000 digits without padding.
    prefs.SetCredentials(QString(4977, u'k'), QString(), QString());
    ASSERT_EQ(prefs.SavePrefs(0), 1);
    EXPECT_EQ(chunkKeys(prefs),
              QStringList({QStringLiteral("AppData:00=..."), QStringLiteral("AppData:01=..."),
                           QStringLiteral("AppData:02="), QStringLiteral("AppData:03=")}));
    EXPECT_EQ(prefs.GetString(QStringLiteral("AppData:00")).size(), 5000);
    EXPECT_EQ(prefs.GetString(QStringLiteral("AppData:01")).size(), 5000);

    CPreferences next;
    restart(next);
    EXPECT_EQ(next.Credentials().Count(), 1);
    EXPECT_EQ(next.Credentials().GetNameAt(0), QString(4977, u'k'));
}

TEST_F(CredentialsTest, ClearingEmptiesEveryChunkAndTheNextRunFindsNone) {
    prefs.RestorePrefs();
    prefs.SetCredentials(QStringLiteral("h:1"), QStringLiteral("u"), QStringLiteral("p"));
    ASSERT_EQ(prefs.SavePrefs(0), 1);
    prefs.ClearCredentials();
    EXPECT_TRUE(prefs.IsDirty());
    EXPECT_EQ(prefs.Credentials().Count(), 0);
    ASSERT_EQ(prefs.SavePrefs(0), 1);
    EXPECT_TRUE(iniText().contains(QStringLiteral("\nAppData:00=\n")));

    CPreferences next;
    restart(next);
    EXPECT_EQ(next.Credentials().Count(), 0);
}

TEST_F(CredentialsTest, HideRememberLoginForgetsCredentialsAtSave) {
    prefs.RestorePrefs();
    prefs.SetInt(QStringLiteral("StorePasswords"), 1);
    prefs.SetCredentials(QStringLiteral("h:1"), QStringLiteral("u"), QStringLiteral("p"));
    ASSERT_EQ(prefs.SavePrefs(0), 1);
    prefs.SetInt(QStringLiteral("HideRememberLogin"), 1);
    ASSERT_EQ(prefs.SavePrefs(0), 1);
    CPreferences next;
    restart(next);
    EXPECT_EQ(next.Credentials().Count(), 0);
}

TEST_F(CredentialsTest, OnlyChangedPairsRaiseTheDirtyFlag) {
    prefs.RestorePrefs();
    EXPECT_EQ(prefs.SetCredentials(QStringLiteral("h:1"), std::nullopt, std::nullopt), 1);
    EXPECT_FALSE(prefs.IsDirty());
    EXPECT_EQ(prefs.Credentials().Count(), 0);

    prefs.SetCredentials(QStringLiteral("h:1"), QStringLiteral("u"), QStringLiteral("p"));
    EXPECT_TRUE(
        logText().contains(QStringLiteral("Prefs: dirty bit triggered by AuthBlob for: u@h:1")));
    ASSERT_EQ(prefs.SavePrefs(0), 1);
    prefs.SetCredentials(QStringLiteral("h:1"), QStringLiteral("u"), QStringLiteral("p"));
    EXPECT_FALSE(prefs.IsDirty());
    prefs.SetCredentials(QStringLiteral("h:1"), QStringLiteral("u"), std::nullopt);
    EXPECT_TRUE(prefs.IsDirty());
    prefs.SetCredentials(QStringLiteral("H:1"), QStringLiteral("u"), QStringLiteral("p"));
    EXPECT_EQ(prefs.Credentials().Count(), 2);
}

TEST_F(CredentialsTest, DamagedChunksGiveNoCredentials) {
    writeIni("AppData:00=0123456789abcdef0123456789abcdef0\nStorePasswords=1\n");
    prefs.RestorePrefs();
    EXPECT_EQ(prefs.Credentials().Count(), 0);
    EXPECT_TRUE(logText().contains(QStringLiteral("loading: AppData: = 0123456789abcdef")));
}

TEST_F(CredentialsTest, RecordsWithoutAPasswordPairAreNotAdded) {
    KPROPS list;
    ParseCredentialRecords(u"HP=a&U=x&HP=b&U=y&P=z&junk=1&P=orphan&HP=_d_o_n_e_&HP=c&U=&P=&", list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetNameAt(0), QStringLiteral("b"));
    EXPECT_EQ(list.GetValueAt(0), QStringLiteral("y"));
    EXPECT_EQ(list.GetExtra1At(0), QStringLiteral("z"));
    EXPECT_TRUE(logText().contains(QStringLiteral("RestorePrefs: garbage data in AuthBlob: junk")));
}

TEST_F(CredentialsTest, ParseEncodedPairsSplitsTrimsAndDecodes) {
    std::vector<KNVP> pairs;
    EXPECT_EQ(CPreferences::ParseEncodedPairs(u"", pairs, 10, u'&', u'='), 0);
    EXPECT_EQ(
        CPreferences::ParseEncodedPairs(u" a = 1 &b=x+y%26z&c&d=%C3%A9=", pairs, 10, u'&', u'='),
        4);
    ASSERT_EQ(pairs.size(), 4u);
    EXPECT_EQ(pairs[0].name, QStringLiteral("a"));
    EXPECT_EQ(pairs[0].value, QStringLiteral("1"));
    EXPECT_EQ(pairs[1].value, QStringLiteral("x y&z"));
    EXPECT_EQ(pairs[2].name, QStringLiteral("c"));
    EXPECT_TRUE(pairs[2].value.isEmpty());
    EXPECT_EQ(pairs[3].value, QStringLiteral("\u00e9="));
    EXPECT_EQ(CPreferences::ParseEncodedPairs(u"a=1&b=2&c=3", pairs, 2, u'&', u'='), 2);

    clearLog();
    CPreferences::ParseEncodedPairs(u"noequals&b=2", pairs, 10, u'&', u'=');
    EXPECT_TRUE(logText().contains(
        QStringLiteral("--> could not find an equal sign (=) after first token (noequals).")));
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_TRUE(pairs[0].value.isEmpty());
}

TEST_F(CredentialsTest, LongValuesAreClippedInTheTrace) {
    std::vector<KNVP> pairs;
    const QString value(60, u'v');
    CPreferences::ParseEncodedPairs(kFormat(u"name=%s", value), pairs, 10, u'&', u'=');
    EXPECT_TRUE(logText().contains(
        kFormat(u"  NVP[00]: name=%-20s value='%s...' [clipped]", u"name", value.left(40))));
}

}  // namespace
