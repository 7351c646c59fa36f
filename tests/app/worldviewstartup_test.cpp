#include "app/appfixture.h"
#include "frame/mainframe.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QByteArray kWorldView =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<tree>\n"
    "  <root label='World View'>\n"
    "    <folder label='Lab'>\n"
    "      <system label='Alpha' server-type='.' hostname='alpha' web-port='8080' "
    "protocol='http'>\n"
    "      </system>\n"
    "    </folder>\n"
    "  </root>\n"
    "</tree>\n";

// The application with its own World View model behind start-up and exit,
// not the recording stand-ins.
class WorldViewStartupTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        app->SetSeams(nullptr);
        worldView = writeFile(QStringLiteral("views/lab.zwv"), kWorldView);
        writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex.ini"),
                  "ZWV=" + worldView.toUtf8() + '\n');
    }

    QStringList labelsBelow(const QTreeWidgetItem* item) const {
        QStringList labels;
        for (int i = 0; i < item->childCount(); ++i) {
            labels << item->child(i)->text(0);
        }
        return labels;
    }

    // Starts, changes the World View, closes the window and answers the
    // save question.
    void exitAfterAddingAFolder(int answer) {
        ASSERT_TRUE(app->InitInstance({}));
        CMyTree& tree = app->Tree();
        tree.AddFolderItem(tree.GetRootItem(), QStringLiteral("Added"));
        tree.SetModified();
        boxAnswer = answer;
        app->MainFrame()->close();
        ASSERT_EQ(boxes.size(), 1U);
        EXPECT_EQ(boxes[0].type, kPopupYesNo);
    }

    QString worldView;
};

TEST_F(WorldViewStartupTest, StartRestoresTheRememberedWorldViewIntoThePane) {
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_TRUE(boxes.empty()) << "no first-run introduction";
    const QTreeWidget* pane = app->MainFrame()->GetLeftView();
    ASSERT_EQ(pane->topLevelItemCount(), 1);
    const QTreeWidgetItem* root = pane->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("World View"));
    ASSERT_EQ(labelsBelow(root), QStringList{QStringLiteral("Lab")});
    EXPECT_EQ(labelsBelow(root->child(0)), QStringList{QStringLiteral("Alpha")});
}

TEST_F(WorldViewStartupTest, ExitKeepsTheFileWhenTheUserDeclinesToSave) {
    exitAfterAddingAFolder(kAnswerNo);
    EXPECT_EQ(readFile(worldView), kWorldView);
}

TEST_F(WorldViewStartupTest, ExitSavesUnsavedChangesOnYes) {
    exitAfterAddingAFolder(kAnswerYes);
    EXPECT_TRUE(readFile(worldView).contains("label='Added'"));
}

}  // namespace
