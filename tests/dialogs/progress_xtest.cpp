// The progress dialog on a real X display: driven by the server's elements,
// its details opened with the mouse, the window beneath waiting while its
// Cancel button works; kept as a screenshot beside the test binary.

#include "dialogs/progressbar.h"
#include "progressfixture.h"
#include "support/xinput.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

class ProgressDialogScreenTest : public ProgressFixture {
protected:
    void SetUp() override {
        QUILLEX_SKIP_WITHOUT_DESKTOP(false);
        ProgressFixture::SetUp();
        window.resize(700, 500);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Where the widget lies in the dialog.
    static QRect inDialog(const QWidget* widget, const QWidget* dialog) {
        return {widget->mapTo(dialog, QPoint(0, 0)), widget->size()};
    }

    QWidget window;
};

TEST_F(ProgressDialogScreenTest, DetailsOpenBelowWhileTheWindowBeneathWaits) {
    CProgressBar bar(site, &window);
    tag(bar, "pbar-start",
        {{"title", "Copying reports"}, {"action", "Copying 3 of 10"}, {"estimate", "10"}});
    CProgressDialog* dialog = bar.Dialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    site.now = site.now + CProgressBar::kLabelDelay + 1;
    for (const char* line : {"report-1.csv copied", "report-2.csv copied", "report-3.csv copied"}) {
        tag(bar, "pbar-update", {{"detail", line}});
    }
    EXPECT_EQ(dialog->PercentLabel()->text(), u"[ 30% done ]");
    EXPECT_TRUE(dialog->PercentLabel()->isVisible());
    const int collapsed = dialog->height();

    QTest::mouseClick(dialog->DetailsButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->DetailsBox()->isVisible(); }));
    tag(bar, "pbar-update", {{"detail", "report-4.csv copied"}});
    EXPECT_EQ(dialog->DetailsButton()->text(), u"Hide &Details");
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->height() > collapsed; }));
    EXPECT_EQ(dialog->DetailsBox()->document()->blockCount(), 5) << "four lines and the last end";

    // Every part lies inside the window, in order from the top, none over
    // another.
    const QRect whole = dialog->rect();
    const QWidget* parts[] = {dialog->Message(), dialog->Bar(), dialog->CancelButton(),
                              dialog->DetailsBox()};
    int top = 0;
    for (const QWidget* part : parts) {
        const QRect shown = inDialog(part, dialog);
        EXPECT_TRUE(whole.contains(shown)) << part->metaObject()->className();
        EXPECT_GE(shown.top(), top) << part->metaObject()->className();
        top = shown.bottom();
    }
    EXPECT_FALSE(inDialog(dialog->DetailsButton(), dialog)
                     .intersects(inDialog(dialog->CancelButton(), dialog)));
    EXPECT_FALSE(inDialog(dialog->PercentLabel(), dialog)
                     .intersects(inDialog(dialog->DetailsButton(), dialog)));

    QCoreApplication::processEvents();
    const QString path = QCoreApplication::applicationDirPath() + u"/progress-details.png"_qs;
    EXPECT_TRUE(dialog->grab().save(path)) << path.toStdString();

    // The window beneath waits for the dialog; the dialog's Cancel works.
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(QGuiApplication::modalWindow(), dialog->windowHandle());
    EXPECT_EQ(dialog->parentWidget(), &window);
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    EXPECT_EQ(bar.GetState(), CProgressBar::Cancelled);
    EXPECT_TRUE(dialog->DetailsBox()->toPlainText().endsWith(u"User cancelled!\n"));
    EXPECT_EQ(tag(bar, "pbar-done"), CProgressBar::Idle);
    EXPECT_EQ(bar.Dialog(), nullptr);
    EXPECT_EQ(QGuiApplication::modalWindow(), nullptr) << "the window beneath is free again";
}

}  // namespace
