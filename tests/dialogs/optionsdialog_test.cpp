#include "dialogs/optionspanel1.h"
#include "dialogs/optionspanel2.h"
#include "dialogs/optionspanel3.h"
#include "dialogs/optionspanel4.h"
#include "dialogs/optionspanel5.h"
#include "optionsfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

class OptionsDialogTest : public OptionsFixture {
protected:
    QPoint itemCentre(int row) {
        return dialog->PageList().visualItemRect(dialog->PageList().item(row)).center();
    }
    void rightDoubleClickList() {
        QWidget* viewport = dialog->PageList().viewport();
        QTest::mousePress(viewport, Qt::RightButton, {}, itemCentre(0));
        QTest::mouseRelease(viewport, Qt::RightButton, {}, itemCentre(0));
        QTest::mouseDClick(viewport, Qt::RightButton, {}, itemCentre(0));
    }
};

TEST_F(OptionsDialogTest, StartPages) {
    // -1 without a stored page shows the World View page.
    open();
    EXPECT_EQ(dialog->CurrentPage(), 0);
    EXPECT_EQ(dialog->PageList().count(), 3);
    dialog->SwitchPage(1);
    dialog->reject();

    // A hidden page asked for while hidden falls back to the last page shown.
    open(COptionsDialog::kEditorPage);
    EXPECT_EQ(dialog->CurrentPage(), 1);
    dialog->reject();

    // The stored page of -1.
    prefs.SetInt(QStringLiteral("OptionsList"), 2);
    open();
    EXPECT_EQ(dialog->CurrentPage(), 2);
}

TEST_F(OptionsDialogTest, RightDoubleClicksToggleTheHiddenPagesAndClicksOffItemsKeepThePage) {
    open();
    QWidget* viewport = dialog->PageList().viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, itemCentre(2));
    EXPECT_EQ(dialog->CurrentPage(), 2);
    // Below the last item: the last page shown.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 3));
    EXPECT_EQ(dialog->CurrentPage(), 2);

    rightDoubleClickList();
    EXPECT_TRUE(dialog->HiddenPagesShown());
    ASSERT_EQ(dialog->PageList().count(), 6);
    EXPECT_EQ(dialog->PageList().item(4)->text(), QStringLiteral("HIDDEN"));
    EXPECT_EQ(dialog->CurrentPage(), 3);
    QTest::mouseClick(viewport, Qt::RightButton, {}, itemCentre(5));
    EXPECT_EQ(dialog->CurrentPage(), 5);

    rightDoubleClickList();
    EXPECT_FALSE(dialog->HiddenPagesShown());
    EXPECT_EQ(dialog->PageList().count(), 3);
    EXPECT_EQ(dialog->CurrentPage(), 0);
}

// Themes and styles hold some icons only small: every page's icon is drawn
// at the list's one size all the same.
TEST_F(OptionsDialogTest, EveryPageShowsItsIconAtTheListsSize) {
    open();
    dialog->ToggleHiddenPages();
    QListWidget& list = dialog->PageList();
    ASSERT_EQ(list.count(), 6);
    for (int row = 0; row < list.count(); ++row) {
        const QPixmap shown = list.item(row)->icon().pixmap(list.iconSize());
        EXPECT_EQ(shown.deviceIndependentSize().toSize(), list.iconSize()) << row;
    }
}

TEST_F(OptionsDialogTest, ApplyTellsTheOutcomeOnTheStatusBar) {
    const QString other = writeFile(QStringLiteral("Other.zwv"), kOtherWorldView);
    struct Case {
        const char* name;
        std::function<void(COptionsDialog&)> change;
        QString status;
    };
    const std::vector<Case> cases{
        {"nothing touched", [](COptionsDialog&) {}, QStringLiteral("Preferences saved.")},
        {"another World View",
         [&other](COptionsDialog& options) {
             QComboBox& combo = options.WorldViewPage().AddressCombo();
             combo.setFocus();
             combo.lineEdit()->selectAll();
             QTest::keyClicks(combo.lineEdit(), other);
         },
         QStringLiteral("World View updated, Preferences saved.")},
        {"a World View that cannot be read",
         [this](COptionsDialog& options) {
             QComboBox& combo = options.WorldViewPage().AddressCombo();
             combo.lineEdit()->selectAll();
             QTest::keyClicks(combo.lineEdit(), root() + QStringLiteral("/Missing.zwv"));
         },
         QStringLiteral("World View update FAILED, Preferences saved.")},
        {"date and time with a SmartTree folder selected",
         [this](COptionsDialog& options) {
             optionsSite->smartTreeSelected = true;
             options.DateTimePage().Combo(0).setCurrentIndex(5);
         },
         QStringLiteral("New Date/Time settings applied to current window, Preferences saved.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        optionsSite->statusTexts.clear();
        open();
        c.change(*dialog);
        QTest::mouseClick(&dialog->ApplyButton(), Qt::LeftButton);
        ASSERT_FALSE(optionsSite->statusTexts.isEmpty());
        EXPECT_EQ(optionsSite->statusTexts.last(), c.status);
        dialog->reject();
        optionsSite->smartTreeSelected = false;
    }
}

TEST_F(OptionsDialogTest, AFailedSaveOfThePreferencesIsTold) {
    open();
    prefs.SetDirty();
    QFile::remove(CPreferences::GetIniPath());
    QDir().mkpath(CPreferences::GetIniPath());
    QTest::mouseClick(&dialog->ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(optionsSite->statusTexts.last(), QStringLiteral("Preferences NOT saved."));
}

TEST_F(OptionsDialogTest, AFailingAddressLeavesTheMainWorldViewAndItsAddress) {
    open();
    QComboBox& combo = dialog->WorldViewPage().AddressCombo();
    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), root() + QStringLiteral("/Gone.zwv"));
    QTest::mouseClick(&dialog->ApplyButton(), Qt::LeftButton);
    EXPECT_TRUE(optionsSite->statusTexts.last().startsWith(u"World View update FAILED"));
    EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV")), mainPath);
    EXPECT_EQ(mainFolder(), QStringLiteral("Main Lab"));
}

TEST_F(OptionsDialogTest, ApplyWithAnotherAddressSwitchesTheMainTreeAndKeepsTheCaseOfThePath) {
    const QString other = writeFile(QStringLiteral("Home/A.zwv"), kOtherWorldView);
    open();
    QComboBox& combo = dialog->WorldViewPage().AddressCombo();
    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), other);
    QTest::mouseClick(&dialog->OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV")), other);
    EXPECT_EQ(mainFolder(), QStringLiteral("Field Office"));
    // Pressing Apply again neither reloads nor re-announces.
    EXPECT_EQ(optionsSite->calls.filter(QStringLiteral("load ")).size(), 1);
}

TEST_F(OptionsDialogTest, TheHintEntryChangesNothing) {
    open();
    QComboBox& combo = dialog->WorldViewPage().AddressCombo();
    const int hint = combo.count() - 1;
    combo.setCurrentIndex(hint);
    dialog->WorldViewPage().OnAddressSelChange();
    QTest::mouseClick(&dialog->ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV")), mainPath);
    EXPECT_TRUE(optionsSite->calls.filter(QStringLiteral("load ")).isEmpty());
    EXPECT_TRUE(optionsSite->boxes.isEmpty());
}

TEST_F(OptionsDialogTest, CancelAfterChangingEveryPagePutsEverythingBack) {
    const QString other = writeFile(QStringLiteral("Other.zwv"), kOtherWorldView);
    prefs.SetString(QStringLiteral("LangPack:BabelfishURL"), QString());
    prefs.SavePrefs(1);
    const QByteArray before = readFile(CPreferences::GetIniPath());
    const QString zwvBefore = prefs.GetString(QStringLiteral("ZWV"));
    const int keysBefore = prefs.Settings().Count();

    open();
    // World View: a new address with credentials, recorded by the preview.
    QComboBox& combo = dialog->WorldViewPage().AddressCombo();
    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), other);
    QTest::keyClicks(&dialog->WorldViewPage().UserEdit(), QStringLiteral("someone"));
    QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV")), other) << "the preview recorded it";
    // Date/Time, Advanced and debugging.
    dialog->DateTimePage().Combo(1).setCurrentIndex(2);
    dialog->DateTimePage().OnTimeFirst();
    QTest::mouseClick(&dialog->AdvancedPage().CheckBox(COptionsPanel3::kAutoGo), Qt::LeftButton);
    dialog->ToggleHiddenPages();
    QTest::keyClicks(&dialog->DebuggingPage().PathEdit(), QStringLiteral("/tmp/x.lang"));
    // The editor saves its file name and languages at once.
    dialog->SwitchPage(COptionsDialog::kEditorPage);
    QTest::keyClicks(&dialog->EditorPage().FileEdit(), QStringLiteral("2"));
    EXPECT_NE(readFile(CPreferences::GetIniPath()), before) << "the editor saved the settings";

    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(readFile(CPreferences::GetIniPath()), before);
    EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV")), zwvBefore);
    EXPECT_EQ(prefs.GetString(QStringLiteral("ZWV:") + other), QString());
    EXPECT_EQ(prefs.Settings().Count(), keysBefore);
    QString user;
    QString password;
    EXPECT_EQ(prefs.GetCredentials(other, user, password), 0);
    EXPECT_EQ(mainFolder(), QStringLiteral("Main Lab"));
}

}  // namespace
