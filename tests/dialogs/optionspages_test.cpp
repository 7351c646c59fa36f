#include "dialogs/optionspanel1.h"
#include "dialogs/optionspanel2.h"
#include "dialogs/optionspanel3.h"
#include "dialogs/optionspanel4.h"
#include "optionsfixture.h"
#include "settings/settingsfolder.h"
#include "support/fakeftpserver.h"
#include "support/fakevelnixserver.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

FakeVelnixServer::Reply zwvReply() {
    FakeVelnixServer::Reply reply;
    reply.body = kOtherWorldView;
    return reply;
}

// Checkboxes and radio buttons take clicks on their box and label only.
void clickIndicator(QAbstractButton& button) {
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(6, button.height() / 2));
}

class OptionsPagesTest : public OptionsFixture {
protected:
    COptionsPanel1& worldView() { return dialog->WorldViewPage(); }

    void typeAddress(const QString& address) {
        QLineEdit* edit = worldView().AddressCombo().lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, address);
    }
    QString previewFolder() {
        QTreeWidgetItem* root = worldView().Preview().GetRootItem();
        return root != nullptr && root->childCount() > 0 ? root->child(0)->text(0) : QString();
    }
    bool shown(QWidget& widget) { return widget.isVisibleTo(&worldView()); }
    QStringList listed() {
        QStringList paths;
        for (int i = 0; i < dialog->AdvancedPage().ObjectList().count(); ++i) {
            paths << dialog->AdvancedPage().ObjectList().item(i)->text();
        }
        return paths;
    }
};

TEST_F(OptionsPagesTest, EveryKindOfAddressLoadsIntoThePreviewWithItsFields) {
    FakeVelnixServer http;
    http.RequireBasicAuth("viewer", "s3cret");
    http.Script("/views/Shared.zwv", zwvReply());
    FakeVelnixServer https(FakeVelnixServer::Transport::Https);
    https.Script("/views/Shared.zwv", zwvReply());
    QDir().mkpath(root() + QStringLiteral("/ftp"));
    writeFile(QStringLiteral("ftp/Shared.zwv"), kOtherWorldView);
    FakeFtpServer ftp(root() + QStringLiteral("/ftp"));
    ASSERT_TRUE(ftp.IsListening()) << ftp.Output().toStdString();
    const QString local = writeFile(QStringLiteral("Home/A.zwv"), kOtherWorldView);

    struct Case {
        QString address;
        bool credentials;
        QString label;
        bool browse;
    };
    const std::vector<Case> cases{
        {http.BaseUrl() + QStringLiteral("/views/Shared.zwv"), true, QStringLiteral("HTTP Basic Auth:"),
         false},
        {https.BaseUrl() + QStringLiteral("/views/Shared.zwv"), false, {}, false},
        {ftp.BaseUrl() + QStringLiteral("/Shared.zwv"), true, QStringLiteral("FTP Account:"), false},
        {local, false, {}, true},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        typeAddress(c.address);
        EXPECT_EQ(shown(worldView().UserEdit()), c.credentials);
        EXPECT_EQ(shown(worldView().PasswordEdit()), c.credentials);
        EXPECT_EQ(shown(worldView().AuthLabel()), c.credentials);
        if (c.credentials) {
            EXPECT_EQ(worldView().AuthLabel().text(), c.label);
        }
        EXPECT_EQ(worldView().BrowseButton().isEnabled(), c.browse);
        if (c.address.startsWith(u"http:")) {
            QTest::keyClicks(&worldView().UserEdit(), QStringLiteral("viewer"));
            QTest::keyClicks(&worldView().PasswordEdit(), QStringLiteral("s3cret"));
        }
        // Enter in the address loads the preview and keeps the dialog open.
        QTest::keyClick(worldView().AddressCombo().lineEdit(), Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(previewFolder(), QStringLiteral("Field Office"));
        EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV")), c.address) << "kept as typed";
        EXPECT_EQ(worldView().AddressCombo().currentText(), c.address);
        EXPECT_TRUE(optionsSite->boxes.isEmpty()) << optionsSite->boxes.join(u'|').toStdString();
    }
    EXPECT_EQ(mainFolder(), QStringLiteral("Main Lab")) << "the preview never touches the main tree";
}

TEST_F(OptionsPagesTest, EnterAwayFromTheAddressClosesWithOk) {
    open();
    worldView().PreviewCtrl().setFocus();
    QTest::keyClick(&worldView().PreviewCtrl(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(OptionsPagesTest, AnUnreadableListedFileRevertsToTheLastGoodOne) {
    const QString broken = writeFile(QStringLiteral("Broken.zwv"), "<not a world view/>");
    prefs.SetString(QStringLiteral("ZWV:") + broken, broken);
    open();
    QComboBox& combo = worldView().AddressCombo();
    const int good = combo.currentIndex();
    const int bad = combo.findText(broken);
    ASSERT_GE(bad, 0);
    combo.setCurrentIndex(bad);
    worldView().OnAddressSelChange();
    ASSERT_EQ(optionsSite->boxes.size(), 1);
    EXPECT_TRUE(optionsSite->boxes[0].startsWith(QStringLiteral("Error reading World View file: \n") +
                                                 broken + QStringLiteral("\nReverting")));
    EXPECT_EQ(combo.currentIndex(), good);
    EXPECT_EQ(previewFolder(), QStringLiteral("Main Lab"));
    EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV")), mainPath);
}

TEST_F(OptionsPagesTest, AFailingForcedSaveAsksOnceMoreAtMost) {
    // The current World View cannot be read, and saving to it fails too.
    const QString folder = CPreferences::GetDefaultWorldViewPath();
    QDir().mkpath(folder);
    QFile::remove(mainPath);
    prefs.SetCurrentWorldView(folder, std::nullopt, std::nullopt);
    open();
    const qsizetype boxes =
        optionsSite->boxes.size() + optionsSite->mainViewSite.warnings.size();
    EXPECT_GE(boxes, 1);
    EXPECT_LE(boxes, 2);
    EXPECT_EQ(optionsSite->calls.filter(QStringLiteral("save world view")).size(), 1);
}

TEST_F(OptionsPagesTest, BrowseStartsBesideTheCurrentFileAndLoadsTheChoice) {
    const QString chosen = writeFile(QStringLiteral("Views/Chosen.zwv"), kOtherWorldView);
    optionsSite->chosenFile = chosen;
    open();
    QTest::mouseClick(&worldView().BrowseButton(), Qt::LeftButton);
    ASSERT_EQ(optionsSite->prompts.size(), 1);
    EXPECT_EQ(optionsSite->prompts[0],
              QStringLiteral("open ") + QFileInfo(mainPath).absolutePath() + QStringLiteral("/*.zwv"));
    EXPECT_EQ(previewFolder(), QStringLiteral("Field Office"));
    EXPECT_TRUE(worldView().IsChanged());
    EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV")), chosen);
}

TEST_F(OptionsPagesTest, DateAndTimeFormats) {
    prefs.SetString(QStringLiteral("DateFormat"), QStringLiteral("%d.%m.%Y"));
    prefs.SetString(QStringLiteral("DateTime"), QStringLiteral("datefirst"));
    open(1);
    COptionsPanel2& page = dialog->DateTimePage();
    EXPECT_EQ(page.Combo(0).currentIndex(), 0) << "a format not in the list";
    EXPECT_EQ(page.Combo(0).count(), 32);
    EXPECT_EQ(page.Combo(1).count(), 4);
    // Only "DateFirst" exactly opens in date-first mode.
    EXPECT_TRUE(page.TimeFirstRadio().isChecked());
    EXPECT_FALSE(page.DateFirstRadio().isChecked());
    EXPECT_FALSE(page.Combo(2).isEnabled());
    EXPECT_FALSE(page.Combo(3).isEnabled());
    EXPECT_TRUE(page.Combo(4).isEnabled());
    page.Combo(2).setCurrentIndex(3);
    page.Combo(4).setCurrentIndex(2);
    QTest::mouseClick(&dialog->ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(prefs.GetString(QStringLiteral("DateFormat")), QStringLiteral("%m/%d/%y"));
    EXPECT_EQ(prefs.GetString(QStringLiteral("DateFormatDF")), QStringLiteral("%m/%d/%Y %a"));
    EXPECT_EQ(prefs.GetString(QStringLiteral("TimeFormatTF")), QStringLiteral("%I:%M %p"));
    EXPECT_EQ(prefs.GetString(QStringLiteral("DateTime")), QStringLiteral("TimeFirst"));
    for (const char* key : {"TimeFormat", "DateFormatTF", "TimeFormatDF"}) {
        EXPECT_FALSE(prefs.GetString(QString::fromLatin1(key)).isEmpty()) << key;
    }
    clickIndicator(page.DateFirstRadio());
    EXPECT_TRUE(page.DateFirstRadio().isChecked());
    EXPECT_FALSE(page.TimeFirstRadio().isChecked());
    EXPECT_TRUE(page.Combo(2).isEnabled());
    EXPECT_FALSE(page.Combo(5).isEnabled());
}

TEST_F(OptionsPagesTest, AutoLoginNeedsBothRememberedAndItemsPerPageStayPositive) {
    for (const char* key : {"StoreUsernames", "StorePasswords", "AutoLogin"}) {
        prefs.SetInt(QString::fromLatin1(key), 1);
    }
    open(COptionsDialog::kAdvancedPage);
    COptionsPanel3& page = dialog->AdvancedPage();
    EXPECT_TRUE(page.CheckBox(COptionsPanel3::kAutoLogin).isEnabled());
    clickIndicator(page.CheckBox(COptionsPanel3::kStorePasswords));
    EXPECT_FALSE(page.CheckBox(COptionsPanel3::kAutoLogin).isChecked());
    EXPECT_FALSE(page.CheckBox(COptionsPanel3::kAutoLogin).isEnabled());

    for (const char* typed : {"0", "-5", "abc"}) {
        page.ItemsPerPage().selectAll();
        QApplication::clipboard()->setText(QString::fromLatin1(typed));
        QTest::keyClick(&page.ItemsPerPage(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(page.ItemsPerPage().text(), QStringLiteral("1")) << typed;
    }
    page.ItemsPerPage().selectAll();
    QTest::keyClicks(&page.ItemsPerPage(), QStringLiteral("123456"));
    EXPECT_EQ(page.ItemsPerPage().text(), QStringLiteral("1234"));
    optionsSite->navigatorShown = true;
    QTest::mouseClick(&dialog->ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(prefs.GetString(QStringLiteral("ElementsPerChunk")), QStringLiteral("1234"));
    EXPECT_EQ(prefs.GetInt(QStringLiteral("AutoLogin"), -1), 0);
    EXPECT_EQ(prefs.GetInt(QStringLiteral("StorePasswords"), -1), 0);
    EXPECT_TRUE(optionsSite->calls.contains(QStringLiteral("refresh")));
}

TEST_F(OptionsPagesTest, ClearingTemporaryObjectsSparesWorldViewsTheRunningProgramsFilesAndFullFolders) {
    const QString settings = Getlocalsettingsdir();
    const QString temp = writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex-grid.csv"), "a,b");
    const QString kept = writeFile(QStringLiteral(".config/Zorvic/QVX/registry.json"), "{}");
    const QString lock = writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex.lock"), "");
    const QString full = settings + QStringLiteral("/full");
    writeFile(QStringLiteral(".config/Zorvic/QVX/full/inside.txt"), "x");
    // A folder whose name a shell would run.
    const QString hostile = settings + QStringLiteral("/$(touch x)");
    QDir().mkpath(hostile);
    const QString empty = settings + QStringLiteral("/empty");
    QDir().mkpath(empty);
    open(COptionsDialog::kAdvancedPage);
    EXPECT_TRUE(listed().contains(temp));
    EXPECT_TRUE(listed().contains(CPreferences::GetIniPath()));
    EXPECT_FALSE(listed().contains(mainPath));
    EXPECT_FALSE(listed().contains(kept));
    EXPECT_FALSE(listed().contains(lock));

    QTest::mouseClick(&dialog->AdvancedPage().ClearButton(), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(temp));
    EXPECT_FALSE(QFile::exists(CPreferences::GetIniPath()));
    EXPECT_FALSE(QFileInfo::exists(empty));
    EXPECT_FALSE(QFileInfo::exists(hostile));
    EXPECT_TRUE(QFile::exists(mainPath));
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_TRUE(QFile::exists(lock));
    EXPECT_TRUE(QFile::exists(full + QStringLiteral("/inside.txt")));
    EXPECT_EQ(listed(), QStringList{full});
    EXPECT_FALSE(QFile::exists(settings + QStringLiteral("/x")));
    EXPECT_FALSE(QFile::exists(QStringLiteral("x")));
    EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV")), QString()) << "the settings were emptied";

    // Clearing is done: Cancel does not bring the settings file back.
    dialog->reject();
    EXPECT_FALSE(QFile::exists(CPreferences::GetIniPath()));
}

TEST_F(OptionsPagesTest, ATypedLanguagePackIsStoredAndLoadedBuiltInTextsFirst) {
    QFile file(root() + QStringLiteral("/French.lang"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QString text = QStringLiteral("# pack\nWorld View=Vue du monde\n");
    file.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    file.close();
    open();
    dialog->ToggleHiddenPages();
    COptionsPanel4& page = dialog->DebuggingPage();
    EXPECT_TRUE(page.PathEdit().text().isEmpty());
    QTest::mouseClick(&page.BrowseButton(), Qt::LeftButton);
    EXPECT_EQ(optionsSite->prompts.last(), QStringLiteral("open ") + Getlocalsettingsdir() +
                                               QStringLiteral("/*.lang"));
    QTest::keyClicks(&page.PathEdit(), file.fileName());
    QTest::mouseClick(&dialog->ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(prefs.GetString(QStringLiteral("LanguagePack")), file.fileName());
    EXPECT_EQ(pack.Lookup(QStringLiteral("World View")), QStringLiteral("Vue du monde"));
    EXPECT_EQ(prefs.GetInt(QStringLiteral("ContextDebugging"), -1), 0);
}

}  // namespace
