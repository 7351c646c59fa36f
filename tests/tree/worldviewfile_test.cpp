#include "tree/worldviewfile.h"
#include "settings/preferencesfixture.h"
#include "support/fakeftpserver.h"
#include "support/fakevelnixserver.h"
#include "support/recordingwireservices.h"
#include "support/recordingworldviewsite.h"
#include "tree/mytree.h"
#include "tree/treenode.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

#include <optional>

namespace {

QString declaration() {
    return u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"_qs;
}

const QByteArray kSavedWorldView =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<tree>\n"
    "  <root label='World View'>\n"
    "    <folder label='Lab'>\n"
    "      <system label='Alpha' server-type='.' hostname='alpha' web-port='8080' "
    "protocol='http'>\n"
    "      </system>\n"
    "    </folder>\n"
    "    <folder label='Empty'>\n"
    "    </folder>\n"
    "  </root>\n"
    "</tree>\n";

class WorldViewFileTest : public PreferencesFixture {
protected:
    void SetUp() override {
        PreferencesFixture::SetUp();
        prefs.RestorePrefs();
        tree.AttachTreeCtrl(&control);
        tree.AddRootItem(u"World View"_qs);
        file.SetSite(&viewSite);
    }

    QString written() const {
        QString out;
        tree.WriteXML(out, 0, nullptr);
        return out;
    }
    QString saved(const QString& name = u"Mine.zwv"_qs) const {
        return writeFile(name, kSavedWorldView);
    }

    RecordingWireServices services;
    RecordingWorldViewSite viewSite;
    QTreeWidget control;
    CMyTree tree;
    CWorldViewFile file{prefs, tree};
};

TEST_F(WorldViewFileTest, SavedFileIsTheDeclarationAndTheTree) {
    ASSERT_EQ(file.LoadWorldView(saved()), 1);
    tree.SetModified();
    const QString path = root() + u"/Lab/Views/Field Office.zwv"_qs;
    QDir().mkpath(root() + u"/Lab/Views"_qs);
    prefs.SetString(u"ZWV"_qs, path + u"|extra"_qs);
    ASSERT_EQ(file.SaveWorldView(false), 1);
    EXPECT_EQ(readFile(path), kSavedWorldView);
    EXPECT_FALSE(tree.IsModified());
    EXPECT_EQ(prefs.GetString(u"ZWV"_qs), path);
    // The recent key keeps the case of the path.
    EXPECT_EQ(prefs.GetString(u"ZWV:"_qs + path), path);
    EXPECT_FALSE(prefs.IsDirty());
    EXPECT_TRUE(viewSite.prompts.isEmpty());
}

TEST_F(WorldViewFileTest, ReadBackGivesTheSameWorldView) {
    ASSERT_EQ(file.LoadWorldView(saved()), 1);
    EXPECT_FALSE(tree.IsModified());
    EXPECT_EQ(control.topLevelItem(0)->text(0), u"World View");
    EXPECT_EQ(declaration() + written(), QString::fromUtf8(kSavedWorldView));
}

TEST_F(WorldViewFileTest, SavingAWorldViewFromTheWebWritesTheDefaultFile) {
    ASSERT_EQ(file.LoadWorldView(saved()), 1);
    prefs.SetString(u"ZWV"_qs, u"http://views.example/Shared.zwv"_qs);
    ASSERT_EQ(file.SaveWorldView(false), 1);
    const QString defaultPath = CPreferences::GetDefaultWorldViewPath();
    EXPECT_EQ(readFile(defaultPath), kSavedWorldView);
    EXPECT_EQ(prefs.GetString(u"ZWV"_qs), defaultPath);
}

TEST_F(WorldViewFileTest, AskingForThePathCanBeCancelled) {
    ASSERT_EQ(file.LoadWorldView(saved()), 1);
    tree.SetModified();
    EXPECT_EQ(file.SaveWorldView(true), 0);
    EXPECT_TRUE(tree.IsModified());
    viewSite.newWorldViewUnsaved = true;
    viewSite.chosenPath = root() + u"/Chosen.zwv"_qs;
    ASSERT_EQ(file.SaveWorldView(false), 1);
    EXPECT_EQ(readFile(*viewSite.chosenPath), kSavedWorldView);
    EXPECT_FALSE(viewSite.newWorldViewUnsaved);
    EXPECT_EQ(viewSite.prompts.size(), 2);
}

TEST_F(WorldViewFileTest, FailedSaveWarnsAndKeepsTheChangedMark) {
    ASSERT_EQ(file.LoadWorldView(saved()), 1);
    tree.SetModified();
    const QString blocker = writeFile(u"blocker"_qs, "a file, not a folder");
    const QString path = blocker + u"/View.zwv"_qs;
    prefs.SetString(u"ZWV"_qs, path);
    EXPECT_EQ(file.SaveWorldView(false), 0);
    EXPECT_TRUE(tree.IsModified());
    ASSERT_EQ(viewSite.warnings.size(), 1);
    EXPECT_EQ(viewSite.warnings[0], u"Could not save changes to World View:\r\n    "_qs + path);
    EXPECT_EQ(prefs.GetString(u"ZWV"_qs), path);
}

TEST_F(WorldViewFileTest, ATreeWithoutRootIsNeverWritten) {
    const QString path = saved();
    prefs.SetString(u"ZWV"_qs, path);
    tree.RemoveItem(tree.RootLevel());
    EXPECT_EQ(file.SaveWorldView(false), 0);
    EXPECT_EQ(readFile(path), kSavedWorldView);
}

TEST_F(WorldViewFileTest, UnreadableWorldViewsLeaveTreeAndFileAlone) {
    ASSERT_EQ(file.LoadWorldView(saved()), 1);
    const QString before = written();
    const QByteArray damaged =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tree>\n"
        "  <root label='World View'>\n    <folder label='Lab'>\n</tree>\n";
    const struct {
        QString address;
        QString error;
    } cases[] = {
        {writeFile(u"Damaged.zwv"_qs, damaged), u"Could not read World View: "_qs},
        {writeFile(u"Other.xml"_qs, "<grid></grid>"), u"Not a World View: "_qs},
        {root() + u"/Missing.zwv"_qs, u"Could not read file: "_qs},
        {u"mailto:someone@example.org"_qs, u"Bogus URL for WorldView: "_qs},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(file.LoadWorldView(c.address), 0) << c.address.toStdString();
        EXPECT_TRUE(file.GetErrorText().startsWith(c.error)) << file.GetErrorText().toStdString();
        EXPECT_EQ(written(), before);
        EXPECT_FALSE(tree.IsModified());
    }
    // Nothing changed, so leaving the program leaves the user's file as it was.
    prefs.SetString(u"ZWV"_qs, cases[0].address);
    EXPECT_EQ(file.SaveOnExit(), 1);
    EXPECT_TRUE(viewSite.questions.isEmpty());
    EXPECT_EQ(readFile(cases[0].address), damaged);
}

TEST_F(WorldViewFileTest, LoadsOverHttpWithTheStoredCredentials) {
    FakeVelnixServer server;
    ASSERT_TRUE(server.IsListening());
    server.RequireBasicAuth("viewer", "s3cret");
    server.Script("/views/Shared.zwv", FakeVelnixServer::Reply::Xml(kSavedWorldView));
    const QString address = server.BaseUrl() + u"/views/Shared.zwv"_qs;
    prefs.SetCredentials(address, u"viewer"_qs, u"s3cret"_qs);
    ASSERT_EQ(file.LoadWorldView(address + u"|note"_qs), 1) << file.GetErrorText().toStdString();
    EXPECT_EQ(declaration() + written(), QString::fromUtf8(kSavedWorldView));
}

TEST_F(WorldViewFileTest, LoadsOverFtpAsAnonymous) {
    QDir().mkpath(root() + u"/ftp"_qs);
    writeFile(u"ftp/Shared.zwv"_qs, kSavedWorldView);
    FakeFtpServer ftp(root() + u"/ftp"_qs);
    ASSERT_TRUE(ftp.IsListening()) << ftp.Output().toStdString();
    ASSERT_EQ(file.LoadWorldView(ftp.BaseUrl() + u"/Shared.zwv"_qs), 1)
        << file.GetErrorText().toStdString();
    EXPECT_EQ(declaration() + written(), QString::fromUtf8(kSavedWorldView));
}

TEST_F(WorldViewFileTest, RestoreFallsBackToARecentWorldViewAndSelectsTheServer) {
    const QString good = saved();
    prefs.SetString(u"ZWV"_qs, root() + u"/Gone.zwv"_qs);
    prefs.SetString(u"ZWV:"_qs + good, good);
    prefs.SetString(u"CurrentServer"_qs, u"alpha:8080"_qs);
    prefs.SetInt(u"AutoLogin"_qs, 1);
    prefs.SetString(u"CurrentCurl"_qs, u"||World View|Lab|alpha"_qs);
    ASSERT_EQ(file.RestoreWorldView(), 1);
    EXPECT_EQ(prefs.GetString(u"ZWV"_qs), good);
    EXPECT_EQ(tree.GetID(tree.GetSelectedItem()), u"alpha");
    EXPECT_EQ(viewSite.calls,
              (QStringList{u"restoring"_qs, u"login alpha"_qs, u"restored"_qs,
                           u"curl ||World View|Lab|alpha"_qs, u"restoring"_qs, u"restored"_qs}));
}

TEST_F(WorldViewFileTest, RestoreWithoutAWorldViewSelectsNothing) {
    prefs.SetString(u"ZWV"_qs, root() + u"/Gone.zwv"_qs);
    EXPECT_EQ(file.RestoreWorldView(), 0);
    EXPECT_EQ(viewSite.calls, (QStringList{u"restoring"_qs, u"restored"_qs}));
}

TEST_F(WorldViewFileTest, ExitAsksAboutChangesAndSavesOnYes) {
    const QString path = saved();
    prefs.SetString(u"ZWV"_qs, path);
    ASSERT_EQ(file.LoadWorldView(path), 1);
    tree.AddFolderItem(tree.GetRootItem(), u"New"_qs);

    viewSite.answerYes = false;
    EXPECT_EQ(file.SaveOnExit(), 1);
    EXPECT_EQ(readFile(path), kSavedWorldView);
    EXPECT_TRUE(QFile::exists(CPreferences::GetIniPath()));
    ASSERT_EQ(viewSite.questions.size(), 1);
    EXPECT_EQ(viewSite.questions[0],
              u"You are exiting Quillet without saving your World View changes.\r\n\r\n"
              u"Do you want to save your changes?");

    viewSite.answerYes = true;
    EXPECT_EQ(file.SaveOnExit(), 1);
    EXPECT_TRUE(QString::fromUtf8(readFile(path)).contains(u"<folder label='New'>"_qs));
    EXPECT_EQ(viewSite.calls.count(u"columns"_qs), 2);
}

// Exit with nobody to ask keeps the changes beside the World View, never over
// it, and leaves which World View is current alone; no changes, no file.
TEST_F(WorldViewFileTest, UnattendedExitKeepsChangesInTheRecoveryFileBesideTheWorldView) {
    const QString path = saved();
    const struct {
        QString current;
        QString recovery;
    } cases[] = {
        {path, root() + u"/Mine-recovered.zwv"_qs},
        {u"http://views.example/Shared.zwv"_qs, QFileInfo(CPreferences::GetDefaultWorldViewPath())
                                                    .dir()
                                                    .filePath(u"Quillex-recovered.zwv"_qs)},
    };
    for (const auto& c : cases) {
        prefs.SetString(u"ZWV"_qs, c.current);
        ASSERT_EQ(file.LoadWorldView(path), 1);
        EXPECT_EQ(file.KeepChangesForRecovery(), 0);
        EXPECT_FALSE(QFile::exists(c.recovery));

        tree.AddFolderItem(tree.GetRootItem(), u"New"_qs);
        EXPECT_EQ(file.RecoveryPath(), c.recovery);
        ASSERT_EQ(file.KeepChangesForRecovery(), 1);
        EXPECT_TRUE(QString::fromUtf8(readFile(c.recovery)).contains(u"<folder label='New'>"_qs));
        EXPECT_EQ(readFile(path), kSavedWorldView);
        EXPECT_EQ(prefs.GetString(u"ZWV"_qs), c.current);
        EXPECT_TRUE(viewSite.questions.isEmpty());
        EXPECT_TRUE(viewSite.prompts.isEmpty());
    }
}

TEST_F(WorldViewFileTest, ComboOffersRecentWorldViewsThatStillExist) {
    const QString kept = saved(u"Kept.zwv"_qs);
    const QString gone = root() + u"/Gone.zwv"_qs;
    const QString web = u"http://views.example/Shared.zwv"_qs;
    prefs.Settings().Clear();
    prefs.SetString(u"ZWV:"_qs + kept, kept);
    prefs.SetString(u"zwv:"_qs + gone, gone);
    prefs.SetString(u"ZWV:"_qs + web, web);
    prefs.SetString(u"ZWV"_qs, u"HTTP://VIEWS.EXAMPLE/Shared.zwv|x"_qs);
    QComboBox combo;
    EXPECT_EQ(file.FillWorldViewCombo(combo), 2);
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(0), kept);
    EXPECT_EQ(combo.itemText(1), web);
    EXPECT_EQ(combo.itemText(2), u"[Browse or Type new path/URL here]");
    EXPECT_EQ(combo.currentIndex(), 1);

    prefs.SetString(u"ZWV"_qs, root() + u"/kept.zwv"_qs);
    EXPECT_EQ(file.FillWorldViewCombo(combo), 2);
    ASSERT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.itemText(2), root() + u"/kept.zwv"_qs);
    EXPECT_EQ(combo.currentIndex(), 2);
}

}  // namespace
