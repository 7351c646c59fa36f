// Tools > Options in the running program under the real pointer: the page
// list answers clicks and right double-clicks while the dialog stays up.

#include "app/appfixture.h"
#include "dialogs/optionsdialog.h"
#include "support/modalcloser.h"
#include "support/xinput.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class OptionsProgramTest : public RunningProgramTest {};

TEST_F(OptionsProgramTest, PageListAnswersTheRealPointer) {
    if (IsSkipped()) {
        return;
    }
    // A World View of its own: no first-run question comes up.
    writeLabWorldView(1);
    startProgram();
    ASSERT_FALSE(HasFatalFailure());
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));

    bool checked = false;
    const auto walk = [&](COptionsDialog& dialog) {
        QListWidget& list = dialog.PageList();
        const auto itemCentre = [&list](int row) {
            return list.viewport()->mapToGlobal(list.visualItemRect(list.item(row)).center());
        };
        const auto onScreen = [&dialog] {
            return QTest::qWaitFor(
                [&] {
                    return dialog.isVisible() &&
                           !visibleWindowsTitled(QStringLiteral("Options")).isEmpty();
                },
                5000);
        };
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

        ASSERT_TRUE(clickAt(itemCentre(1)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.CurrentPage() == 1; }, 5000));
        EXPECT_TRUE(onScreen()) << "the dialog left the screen after a click";

        ASSERT_TRUE(rightDoubleClickAt(itemCentre(0)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return list.count() == 6; }, 5000)) << list.count();
        EXPECT_EQ(dialog.CurrentPage(), 3);
        EXPECT_TRUE(onScreen());

        QTest::qWait(QApplication::doubleClickInterval() + 100);
        ASSERT_TRUE(rightDoubleClickAt(itemCentre(0)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return list.count() == 3; }, 5000)) << list.count();
        EXPECT_EQ(dialog.CurrentPage(), 0);
        checked = true;
    };
    // Ended here even when hidden: a hidden modal dialog would hold the test.
    ModalCloser<COptionsDialog> closer([&](COptionsDialog& dialog) {
        walk(dialog);
        dialog.reject();
    });
    ASSERT_TRUE(typeKeys({"alt+t", "o"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return closer.seen; }, 10000)) << "no Options dialog";
    EXPECT_TRUE(checked);
}

}  // namespace
