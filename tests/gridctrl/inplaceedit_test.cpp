// The in-place editor, started and ended through real keys and clicks on
// the shown, active grid.

#include "gridfixture.h"

#include "gridctrl/inplaceedit.h"

#include <QLineEdit>

namespace {

// A grid that keeps every end of an edit it hears of.
class EndRecordingGrid : public CGridCtrl {
public:
    using CGridCtrl::CGridCtrl;
    void OnEndLabelEdit(const CInPlaceEditEnding& ending) override {
        endings.push_back(ending);
        CGridCtrl::OnEndLabelEdit(ending);
    }
    std::vector<CInPlaceEditEnding> endings;
};

class InPlaceEditTest : public GridTest {
protected:
    EndRecordingGrid& makeEditing(QSize size = QSize(400, 300)) {
        recording = new EndRecordingGrid(6, 4, 1, 1, &owner);
        grid = recording;
        showGrid(size);
        for (int row = 1; row < 6; ++row) {
            for (int col = 1; col < 4; ++col) {
                grid->SetItemText(row, col, QStringLiteral("ab"));
            }
        }
        grid->SetModified(false);
        grid->SetFocusCell(2, 2);
        return *recording;
    }
    CInPlaceEdit* editor() const { return grid->GetInPlaceEdit(); }
    // Waits for the editor and its posted first character.
    bool waitForEditorText(const QString& text) {
        return QTest::qWaitFor([&] { return editor() != nullptr && editor()->text() == text; },
                               2000);
    }

    EndRecordingGrid* recording = nullptr;
};

TEST_F(InPlaceEditTest, ATypedStartKeepsItsCharacterAndReplacesTheText) {
    makeEditing();
    for (const QChar typed : {u'x', u' ', u'(', u'$', u'!', u'"', u'&', u'\''}) {
        QTest::keyClick(grid, typed.toLatin1());
        ASSERT_TRUE(waitForEditorText(QString(typed))) << QString(typed).toStdString();
        QTest::keyClick(editor(), Qt::Key_Return);
        EXPECT_EQ(grid->GetItemText(2, 2), QString(typed));
        EXPECT_EQ(recording->endings.back().endKey, kEditEndReturn);
        EXPECT_TRUE(grid->GetModified(2, 2));
        grid->SetItemText(2, 2, QStringLiteral("ab"));
    }
}

TEST_F(InPlaceEditTest, BackspaceOnARightAlignedCellDeletesTheLastCharacter) {
    makeEditing();
    grid->SetItemFormat(2, 2, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    QTest::keyClick(grid, Qt::Key_Backspace);
    ASSERT_TRUE(waitForEditorText(QStringLiteral("a")));
}

TEST_F(InPlaceEditTest, MouseAndF2StartsPutTheCaretAtTheEndAndArrowsMoveIt) {
    makeEditing();
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(3, 1, cell));
    // A double click as the system sends it: press, release, double click.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(waitForEditorText(QStringLiteral("ab")));
    EXPECT_EQ(editor()->cursorPosition(), 2);
    EXPECT_FALSE(editor()->hasSelectedText());
    QTest::keyClick(editor(), Qt::Key_Left);
    ASSERT_NE(editor(), nullptr) << "an arrow moves the caret of a mouse-started edit";
    EXPECT_EQ(editor()->cursorPosition(), 1);
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(recording->endings.size(), 1u);

    grid->SetFocusCell(2, 2);
    QTest::keyClick(grid, Qt::Key_F2);
    ASSERT_TRUE(waitForEditorText(QStringLiteral("ab")));
    EXPECT_EQ(editor()->cursorPosition(), 2);
    QTest::keyClick(editor(), Qt::Key_Right);
    EXPECT_NE(editor(), nullptr);
}

TEST_F(InPlaceEditTest, ATypedStartEndsOnAnArrowAndOpensTheNextCell) {
    makeEditing();
    QTest::keyClick(grid, 'q');
    ASSERT_TRUE(waitForEditorText(QStringLiteral("q")));
    QTest::keyClick(editor(), Qt::Key_Right);
    ASSERT_EQ(recording->endings.size(), 1u);
    EXPECT_EQ(recording->endings[0].endKey, kEditEndRight);
    EXPECT_EQ(grid->GetItemText(2, 2), u"q");
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 3));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->GetColumn(), 3);
    EXPECT_EQ(editor()->selectedText(), u"ab") << "a key-opened editor selects its text";
    // Shift+Tab is replayed with its Shift.
    QTest::keyClick(editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(recording->endings.back().endKey, kEditEndTab);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
}

TEST_F(InPlaceEditTest, TabAtTheLastCellLeavesTheGridWithoutReopening) {
    makeEditing();
    auto* next = new QLineEdit(&owner);
    next->setGeometry(0, 280, 50, 20);
    next->show();
    grid->SetFocusCell(5, 3);
    grid->setFocus();
    QTest::keyClick(grid, 'e');
    ASSERT_TRUE(waitForEditorText(QStringLiteral("e")));
    QTest::keyClick(editor(), Qt::Key_Tab);
    EXPECT_EQ(grid->GetItemText(5, 3), u"e");
    EXPECT_EQ(recording->endings.back().endKey, kEditEndTab);
    EXPECT_TRUE(QTest::qWaitFor([&] { return next->hasFocus(); }, 2000));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(recording->endings.size(), 1u) << "no editor reopened behind the next control";
}

TEST_F(InPlaceEditTest, EscapeAndAFocusLossEndWithoutMarking) {
    makeEditing();
    owner.notifications.clear();
    QTest::keyClick(grid, 'z');
    ASSERT_TRUE(waitForEditorText(QStringLiteral("z")));
    QTest::keyClick(editor(), Qt::Key_Escape);
    ASSERT_EQ(recording->endings.size(), 1u);
    EXPECT_EQ(recording->endings[0].endKey, kEditEndEscape);
    EXPECT_EQ(recording->endings[0].text, u"ab");
    EXPECT_EQ(grid->GetItemText(2, 2), u"ab");
    EXPECT_FALSE(grid->GetModified());
    EXPECT_TRUE(owner.codes(GVN_ENDLABELEDIT).empty());

    auto* elsewhere = new QLineEdit(&owner);
    elsewhere->setGeometry(0, 280, 50, 20);
    elsewhere->show();
    QTest::keyClick(grid, 'k');
    ASSERT_TRUE(waitForEditorText(QStringLiteral("k")));
    elsewhere->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(recording->endings.size(), 2u);
    EXPECT_EQ(recording->endings[1].endKey, kEditEndFocusLost);
    EXPECT_EQ(grid->GetItemText(2, 2), u"k");
}

TEST_F(InPlaceEditTest, OwnerVetoesOpenNothingOrRestoreQuietly) {
    makeEditing();
    grid->SetSortColumn(2);
    owner.reply = -1;
    QTest::keyClick(grid, 'v');
    QCoreApplication::processEvents();
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(owner.codes(GVN_BEGINLABELEDIT).size(), 1u);

    owner.reply = 0;
    QTest::keyClick(grid, 'v');
    ASSERT_TRUE(waitForEditorText(QStringLiteral("v")));
    owner.reply = -1;
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(owner.codes(GVN_ENDLABELEDIT).size(), 1u);
    EXPECT_EQ(grid->GetItemText(2, 2), u"ab");
    EXPECT_FALSE(grid->GetModified(2, 2));
    EXPECT_FALSE(grid->GetModified());
    EXPECT_EQ(grid->GetSortColumn(), 2) << "a refused edit keeps the sort";
}

TEST_F(InPlaceEditTest, GrowthStopsAtTheViewportsEdge) {
    makeEditing(QSize(300, 200));
    grid->SetFocusCell(2, 3);
    QTest::keyClick(grid, 'w');
    ASSERT_TRUE(waitForEditorText(QStringLiteral("w")));
    const int startWidth = editor()->width();
    QTest::keyClicks(editor(), QStringLiteral("a very long text that cannot fit anywhere at all"));
    EXPECT_GT(editor()->width(), startWidth);
    EXPECT_EQ(editor()->geometry().right(), grid->viewport()->rect().right());
}

TEST_F(InPlaceEditTest, AltCharactersAreSwallowedAndAltGrOnesTyped) {
    makeEditing();
    QTest::keyClick(grid, Qt::Key_F2);
    ASSERT_TRUE(waitForEditorText(QStringLiteral("ab")));
    QTest::keyClick(editor(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(editor()->text(), u"ab");
    QKeyEvent altGr(QEvent::KeyPress, Qt::Key_unknown, Qt::GroupSwitchModifier | Qt::AltModifier,
                    QStringLiteral("@"));
    QApplication::sendEvent(editor(), &altGr);
    EXPECT_EQ(editor()->text(), u"ab@");
}

}  // namespace
