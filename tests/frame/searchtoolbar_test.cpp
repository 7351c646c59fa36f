// The grid filter bar over a loaded three-row grid.

#include "frame/searchtoolbar.h"
#include "grid/mygridfixture.h"
#include "resources/strings.h"
#include "settings/preferences.h"

#include <QLineEdit>

namespace {

class SearchToolbarTest : public MyGridTest {
public:
    void SetUp() override {
        MyGridTest::SetUp();
        ASSERT_TRUE(load(GridXml({{"name", "Name", ""}}, {{"alpha"}, {"alpine"}, {"beta"}})));
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    }

    QStringList shownRows() const {
        QStringList texts;
        for (int row = grid->GetFixedRowCount(); row < grid->GetRowCount(); ++row) {
            if (grid->GetRowHeight(row) > 0) {
                texts << grid->GetItemText(row, 0);
            }
        }
        texts.sort();
        return texts;
    }

    QLineEdit& edit() { return *bar.Field().lineEdit(); }
    QString cue() const { return LoadResourceString(493); }

    CPreferences prefs;
    bool hasGrid = true;
    CSearchToolbar bar{QStringLiteral("Filter table by:"),
                       [this] { return hasGrid ? grid : nullptr; }, prefs};
};

TEST_F(SearchToolbarTest, TypingEnterAndActionsFilterTheGrid) {
    const QStringList all{"alpha", "alpine", "beta"};
    const struct Case {
        const char* name;
        int realtime;
        std::function<void(SearchToolbarTest&)> act;
        QStringList rows;
        QString field;
    } cases[] = {
        {"typing, real time on",
         1,
         [](SearchToolbarTest& t) { QTest::keyClicks(&t.edit(), "alp"); },
         {"alpha", "alpine"},
         "alp"},
        {"typing, real time off", 0,
         [](SearchToolbarTest& t) { QTest::keyClicks(&t.edit(), "alp"); }, all, "alp"},
        {"Enter, real time off",
         0,
         [](SearchToolbarTest& t) {
             QTest::keyClicks(&t.edit(), "bet");
             QTest::keyClick(&t.edit(), Qt::Key_Return);
         },
         {"beta"},
         "bet"},
        {"Enter over the cue after a new table", 0,
         [](SearchToolbarTest& t) {
             QTest::keyClicks(&t.edit(), "bet");
             QTest::keyClick(&t.edit(), Qt::Key_Return);
             t.bar.ResetFilterText();
             QTest::keyClick(&t.edit(), Qt::Key_Return);
         },
         all, ""},
        {"the cue typed out is no filter", 0,
         [](SearchToolbarTest& t) {
             t.bar.Field().setEditText(t.cue());
             QTest::keyClick(&t.edit(), Qt::Key_Return);
         },
         all, LoadResourceString(493)},
        {"SetFilter",
         1,
         [](SearchToolbarTest& t) { t.bar.Field().SetFilter("beta"); },
         {"beta"},
         "beta"},
        {"SetFilter without a grid", 1,
         [](SearchToolbarTest& t) {
             t.hasGrid = false;
             t.bar.Field().SetFilter("beta");
             t.hasGrid = true;
         },
         all, ""},
        {"ClearFilter", 1,
         [](SearchToolbarTest& t) {
             QTest::keyClicks(&t.edit(), "alpi");
             t.bar.ClearFilter();
         },
         all, ""},
    };
    for (const Case& c : cases) {
        grid->FilterRows(QString(), CSearchComboBox::kFilterFlags);
        bar.ResetFilterText();
        prefs.SetInt(QStringLiteral("EnableRealtimeFilter"), c.realtime);
        c.act(*this);
        EXPECT_EQ(shownRows(), c.rows) << c.name;
        EXPECT_EQ(bar.Field().currentText(), c.field) << c.name;
    }
}

TEST_F(SearchToolbarTest, TheCueShowsOnlyWhileTheFieldHoldsNoFilter) {
    EXPECT_EQ(edit().placeholderText(), cue());
    EXPECT_EQ(bar.Field().toolTip(), LoadResourceString(568)) << "the whole tooltip";
    const struct {
        QString text;
        bool empty;
    } cases[] = {{"", true}, {LoadResourceString(493), true}, {"a", false}};
    for (const auto& c : cases) {
        bar.Field().setEditText(c.text);
        EXPECT_EQ(bar.IsFilterEmpty(), c.empty) << c.text.toStdString();
        // Focus in and out never changes what the field holds.
        bar.Field().setFocus();
        bar.Field().clearFocus();
        EXPECT_EQ(bar.Field().currentText(), c.text);
    }
}

TEST_F(SearchToolbarTest, ClearingEmptiesAndFocusesTheField) {
    bar.Field().SetFilter("alpha");
    bar.activateWindow();
    bar.ClearFilter();
    EXPECT_TRUE(bar.IsFilterEmpty());
    EXPECT_TRUE(bar.HasFieldFocus());
    EXPECT_EQ(shownRows(), (QStringList{"alpha", "alpine", "beta"}));

    hasGrid = false;
    bar.Field().setEditText("beta");
    bar.ClearFilter();
    EXPECT_EQ(bar.Field().currentText(), "beta") << "without a grid nothing is cleared";
}

TEST_F(SearchToolbarTest, EditCommandsActOnTheFieldText) {
    bar.Field().setEditText("alpha");
    edit().selectAll();
    const auto run = [this](int commandId) {
        return RunCommandHandler(bar.Field().CommandHandlerOf(commandId));
    };
    EXPECT_TRUE(run(57635));
    EXPECT_EQ(bar.Field().currentText(), "");
    EXPECT_TRUE(run(57637));
    EXPECT_EQ(bar.Field().currentText(), "alpha");
    EXPECT_FALSE(run(57607));
}

TEST_F(SearchToolbarTest, TheEmptyFieldShowsItsWholeCue) {
    CSearchComboBox field([] { return nullptr; }, prefs);
    field.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&field));
    ASSERT_GE(field.width(), CSearchComboBox::kFieldWidth);
    QLineEdit& fieldEdit = *field.lineEdit();
    const QImage shown = fieldEdit.grab().toImage();
    // The same field with room to spare draws the cue whole: where the
    // field's own width cut it, the two differ.
    field.setFixedWidth(4 * CSearchComboBox::kFieldWidth);
    QApplication::processEvents();
    ASSERT_GT(fieldEdit.width(), shown.width());
    const QImage whole = fieldEdit.grab().toImage().copy(QRect(QPoint(0, 0), shown.size()));
    EXPECT_EQ(shown, whole) << "the cue is cut";
}

}  // namespace
