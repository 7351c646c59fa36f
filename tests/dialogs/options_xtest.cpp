// The options dialog on a real X display: the World View page loads a typed
// address into its preview with real keys, the language-pack editor shows
// its grid, and each is kept as a screenshot beside the test binary.

#include "dialogs/optionspanel1.h"
#include "dialogs/optionspanel5.h"
#include "grid/mygrid.h"
#include "optionsfixture.h"
#include "support/xinput.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

class OptionsScreenshotTest : public OptionsFixture {
protected:
    void SetUp() override {
        QUILLEX_SKIP_WITHOUT_DESKTOP(false);
        OptionsFixture::SetUp();
    }

    // Shots of the dialog until some pixel of the area differs from the
    // area's first pixel (something was drawn there); kept under the name.
    bool shootUntilDrawn(QWidget& area, const QString& name) {
        QImage shot;
        const bool drawn = QTest::qWaitFor(
            [&] {
                QCoreApplication::processEvents();
                shot = dialog->grab().toImage();
                const QRect rect(area.mapTo(dialog.get(), QPoint(0, 0)), area.size());
                const QColor first = shot.pixelColor(rect.topLeft() + QPoint(4, 4));
                for (int y = rect.top() + 4; y < rect.bottom() - 4 && y < shot.height(); y += 2) {
                    for (int x = rect.left() + 4; x < rect.right() - 4 && x < shot.width();
                         x += 2) {
                        if (shot.pixelColor(x, y) != first) {
                            return true;
                        }
                    }
                }
                return false;
            },
            10000);
        const QString path = QCoreApplication::applicationDirPath() + u'/' + name;
        EXPECT_TRUE(shot.save(path)) << path.toStdString();
        return drawn;
    }
};

TEST_F(OptionsScreenshotTest, WorldViewPageLoadsATypedAddressIntoItsPreview) {
    const QString other = writeFile(QStringLiteral("Views/Field.zwv"), kOtherWorldView);
    open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    COptionsPanel1& page = dialog->WorldViewPage();
    QLineEdit* edit = page.AddressCombo().lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, other);
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(dialog->isVisible());
    QTreeWidgetItem* root = page.Preview().GetRootItem();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Field Office"));
    EXPECT_TRUE(shootUntilDrawn(page.PreviewCtrl(), QStringLiteral("options-worldview.png")));
}

TEST_F(OptionsScreenshotTest, EditorPageShowsTheBuiltInTexts) {
    open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QWidget* viewport = dialog->PageList().viewport();
    const QPoint first = dialog->PageList().visualItemRect(dialog->PageList().item(0)).center();
    QTest::mouseDClick(viewport, Qt::RightButton, {}, first);
    ASSERT_EQ(dialog->PageList().count(), 6);
    QTest::mouseClick(viewport, Qt::LeftButton, {},
                      dialog->PageList().visualItemRect(dialog->PageList().item(4)).center());
    ASSERT_EQ(dialog->CurrentPage(), COptionsDialog::kEditorPage);
    COptionsPanel5& editor = dialog->EditorPage();
    EXPECT_GT(editor.Grid().GetRowCount(), 100);
    EXPECT_TRUE(shootUntilDrawn(editor.Grid(), QStringLiteral("options-editor.png")));
}

}  // namespace
