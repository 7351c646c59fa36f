// "Select Fields" under real X input (xdotool): a field picked and added
// with clicks, another added by double-clicking it, and a screenshot of the
// dialog kept beside the test.

#include "fieldchooserfixture.h"
#include "support/xinput.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace {

TEST_F(FieldChooserTest, RealClicksAddFieldsAndTheDialogIsKeptAsAScreenshot) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    loadMainGrid();
    CFieldChooserDialog& chooser = start();
    chooser.raise();
    chooser.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
    QListWidget& available = *chooser.AvailableList();
    const auto itemAt = [&](const QString& label) {
        QListWidgetItem* item = available.findItems(label, Qt::MatchExactly).value(0);
        return available.viewport()->mapToGlobal(available.visualItemRect(item).center());
    };

    ASSERT_TRUE(clickAt(itemAt(u"Charlie"_qs)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return chooser.AddButton()->isEnabled(); }, 5000));
    EXPECT_EQ(chooser.DescriptionLabel()->text(), u"The third field");
    ASSERT_TRUE(clickAt(chooser.AddButton()->mapToGlobal(chooser.AddButton()->rect().center())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return chooser.ChosenList()->count() == 3; }, 5000));

    ASSERT_TRUE(clickAt(itemAt(u"Echo"_qs), 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return chooser.ChosenList()->count() == 4; }, 5000));
    EXPECT_EQ(listTexts(*chooser.ChosenList()),
              (QStringList{u"Bravo"_qs, u"Alpha"_qs, u"Charlie"_qs, u"Echo"_qs}));
    EXPECT_TRUE(chooser.MoveUpButton()->isEnabled());
    EXPECT_FALSE(chooser.MoveDownButton()->isEnabled());

    QCoreApplication::processEvents();
    const QImage shot = chooser.screen()->grabWindow(chooser.winId()).toImage();
    const QString path = QCoreApplication::applicationDirPath() + "/fieldchooser.png";
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

}  // namespace
