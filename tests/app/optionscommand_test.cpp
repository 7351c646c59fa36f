#include "app/appchoosersite.h"
#include "app/appfixture.h"
#include "app/theappservices.h"
#include "dialogs/optionsdialog.h"
#include "dialogs/optionspanel1.h"
#include "frame/mainframe.h"
#include "settings/preferences.h"
#include "support/modalcloser.h"

#include <QComboBox>

#include <gtest/gtest.h>

namespace {

class OptionsCommandTest : public AppFixture {};

TEST_F(OptionsCommandTest, ToolsOptionsOpensTheStoredPageOverTheCurrentWorldView) {
    const QString worldView = writeFile(
        QStringLiteral("views/lab.zwv"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tree>\n  <root label='World View'>\n"
        "    <folder label='Lab'>\n    </folder>\n  </root>\n</tree>\n");
    writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex.ini"),
              "ZWV=" + worldView.toUtf8() + "\nOptionsList=2\n");
    newApp();
    ASSERT_TRUE(app->InitInstance({}));
    COptionsDialog::ResetLastPageShown();
    QString shownAddress;
    int shownPage = -1;
    ModalCloser<COptionsDialog> closer([&](COptionsDialog& dialog) {
        shownPage = dialog.CurrentPage();
        shownAddress = dialog.WorldViewPage().AddressCombo().currentText();
    });
    EXPECT_TRUE(app->MainFrame()->OnCommand(CTheAppServices::kOptionsCommand));
    EXPECT_TRUE(closer.seen);
    EXPECT_EQ(shownPage, 2);
    EXPECT_EQ(shownAddress, worldView);
    EXPECT_EQ(app->Prefs().GetString(QStringLiteral("ZWV")), worldView);
}

TEST_F(OptionsCommandTest, TheChoosersOpenTheAdvancedPage) {
    ASSERT_TRUE(app->InitInstance({}));
    COptionsDialog::ResetLastPageShown();
    int shownPage = -1;
    ModalCloser<COptionsDialog> closer(
        [&](COptionsDialog& dialog) { shownPage = dialog.CurrentPage(); });
    CAppChooserSite site(*app);
    site.ShowOptionsDialog(CChooserSite::kAdvancedOptionsPage);
    EXPECT_TRUE(closer.seen);
    EXPECT_EQ(shownPage, COptionsDialog::kAdvancedPage);
}

}  // namespace
