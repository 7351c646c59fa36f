// The right-hand view's grid commands: Print with and without the usability
// test, and Select Fields on a grid that has no field chooser.

#include "app/appfixture.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "grid/fieldchooserdialog.h"
#include "grid/mygrid.h"
#include "support/modalcloser.h"

#include <QPrintDialog>

#include <gtest/gtest.h>

namespace {

class GridCommandsTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(app->InitInstance({}));
        view = app->MainFrame()->GetMyView();
        ASSERT_NE(view, nullptr);
        ASSERT_NE(view->GetGrid(), nullptr);
    }

    CMyView* view = nullptr;
};

TEST_F(GridCommandsTest, TheGridMenusPrintRunsThePrintDialogForTheGrid) {
    // All pages only, with Qt's print to a PDF file kept.
    ModalCloser<QPrintDialog> closer([](QPrintDialog& dialog) {
        EXPECT_EQ(dialog.printRange(), QAbstractPrintDialog::AllPages);
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintSelection));
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintPageRange));
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintCurrentPage));
        EXPECT_TRUE(dialog.testOption(QAbstractPrintDialog::PrintToFile));
    });
    EXPECT_TRUE(RunCommandHandler(view->CommandHandlerOf(32833)));
    EXPECT_TRUE(closer.seen);
}

TEST_F(GridCommandsTest, PrintOfAGridThatCannotBeTouchedIsLeftToTheFrame) {
    ASSERT_FALSE(view->IsGridUsable());
    ModalCloser<QPrintDialog> closer;
    EXPECT_FALSE(RunCommandHandler(view->CommandHandlerOf(57607)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(closer.seen);
}

TEST_F(GridCommandsTest, SelectFieldsWithoutAFieldChooserOpensNothing) {
    ModalCloser<CFieldChooserDialog> closer;
    EXPECT_TRUE(RunCommandHandler(view->CommandHandlerOf(32841)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(closer.seen);
}

}  // namespace
