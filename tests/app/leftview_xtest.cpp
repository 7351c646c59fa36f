// The World View pane of the running program on an X desktop, driven with
// the real pointer and keyboard: clicks on its labels, its popup, its label
// editor, its hover tip and its help key, and its width.

#include "app/leftviewfixture.h"
#include "support/recordingactionwindows.h"
#include "support/xinput.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSplitterHandle>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

// Notes where each popup menu appears and photographs the screen once it
// has had a moment to paint.
class PopupWatch : public QObject {
public:
    // `seen` runs when the shot is taken.
    explicit PopupWatch(QString shotPath, std::function<void()> seen = {})
        : m_shotPath(std::move(shotPath)), m_seen(std::move(seen)) {
        qApp->installEventFilter(this);
    }
    ~PopupWatch() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* menu = qobject_cast<QMenu*>(watched);
        if (menu != nullptr && event->type() == QEvent::Show) {
            topLeft = menu->geometry().topLeft();
            QTimer::singleShot(300, this, [this] {
                shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
                saved = shot.save(m_shotPath);
                if (m_seen) {
                    m_seen();
                }
            });
        }
        return false;
    }

    QPoint topLeft{-1, -1};
    QImage shot;
    bool saved = false;

private:
    QString m_shotPath;
    std::function<void()> m_seen;
};

// The columns of the pane's viewport where the item's label is drawn: those
// of its row that change when the label's text is blanked.
std::pair<int, int> drawnLabelColumns(const CLeftView& pane, QTreeWidgetItem* item) {
    const QRect cell = pane.visualItemRect(item);
    const QRect row(0, cell.top(), pane.viewport()->width(), cell.height());
    const QImage labelled = pane.viewport()->grab(row).toImage();
    const QString text = item->text(0);
    item->setText(0, QString());
    const QImage blank = pane.viewport()->grab(row).toImage();
    item->setText(0, text);
    std::pair<int, int> columns{-1, -1};
    for (int x = 0; x < labelled.width(); ++x) {
        for (int y = 0; y < labelled.height(); ++y) {
            if (labelled.pixel(x, y) != blank.pixel(x, y)) {
                columns.first = columns.first < 0 ? x : columns.first;
                columns.second = x;
                break;
            }
        }
    }
    return columns;
}

// The pane of LeftViewTest shown on the desktop, "Nodes" carrying the server
// menu "node" with the entry "Ping", help recorded instead of opened.
class LeftViewOnDesktopTest : public LeftViewTest {
protected:
    void SetUp() override {
        QUILLEX_SKIP_WITHOUT_DESKTOP(true);
        LeftViewTest::SetUp();
        auto recorder = std::make_unique<RecordingActionWindows>(*app);
        help = recorder.get();
        app->SetActionWindows(std::move(recorder));
        ping = loadNodeMenu(dynamic_cast<CMySystem&>(session(serverItem)));
        tree().GetMyItem(nodes)->SetMenuName(u"node"_qs);
        frame->resize(900, 600);
        frame->show();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        pane->setFocus();
        // A tip an earlier test left showing would lie over the labels and
        // take the pointer's moves; it goes after a short delay.
        QToolTip::hideText();
        ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
        // A click on the status bar's corner ends whatever an earlier test's
        // pointer left pending, so this window gets the pointer's moves.
        ASSERT_TRUE(parkPointer());
        ASSERT_TRUE(xdotool({u"click"_qs, u"1"_qs}));
        QTest::qWait(100);
    }

    QPoint globalLabelPoint(QTreeWidgetItem* item) const {
        return pane->viewport()->mapToGlobal(labelPoint(item));
    }

    // Puts the pointer in the window's far corner, off every item: a tip
    // needs the pointer to come to rest on a label, and X reports no motion
    // to a pointer already there from an earlier test.
    bool parkPointer() const {
        return moveTo(frame->mapToGlobal(QPoint(frame->width() - 5, frame->height() - 5)));
    }

    // Waits for the pointer's tip of an item with hover text.
    bool restOnLabel(QTreeWidgetItem* item) const {
        return parkPointer() && moveTo(globalLabelPoint(item)) &&
               QTest::qWaitFor([&] { return pane->HoverTip().IsShown(); }, 5000);
    }

    static int shownTips() {
        int tips = 0;
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            tips += window->isVisible() && window->windowType() == Qt::ToolTip ? 1 : 0;
        }
        return tips;
    }

    RecordingActionWindows* help = nullptr;
    int ping = 0;
};

TEST_F(LeftViewOnDesktopTest, AClickAnywhereOnADrawnLabelSelectsItsItemAndBesideItNothing) {
    QTreeWidgetItem* lab = tree().AddFolderItem(serverItem, u"Lab"_qs);
    QTreeWidgetItem* reports = tree().AddFolderItem(lab, u"Reports of every kind"_qs);
    tree().Expand(lab, true);
    frame->OuterSplitter().SetColumnInfo(0, 420, 50);
    frame->OuterSplitter().RecalcLayout();
    const QFont font = pane->font();
    const QSize icons = pane->iconSize();
    const struct {
        const char* name;
        QTreeWidgetItem* item;
        int fontPixels;
        int iconPixels;
    } cases[] = {
        {"a short label", lab, 0, 0},
        {"a longer label one level deeper", reports, 0, 0},
        {"a larger font", lab, 24, 0},
        {"larger icons", reports, 0, 32},
    };
    for (const auto& c : cases) {
        QFont caseFont = font;
        if (c.fontPixels > 0) {
            caseFont.setPixelSize(c.fontPixels);
        }
        pane->setFont(caseFont);
        pane->setIconSize(c.iconPixels > 0 ? QSize(c.iconPixels, c.iconPixels) : icons);
        QApplication::processEvents();
        const auto [left, right] = drawnLabelColumns(*pane, c.item);
        ASSERT_GE(left, 0) << c.name;
        const int y = pane->visualItemRect(c.item).center().y();
        const struct {
            const char* where;
            int x;
            const char* button;
            bool selects;
        } clicks[] = {
            {"left end", left, "1", true},
            {"middle", (left + right) / 2, "1", true},
            {"right end", right, "1", true},
            {"just beyond", right + 8, "1", false},
            {"just beyond, right button", right + 8, "3", false},
        };
        for (const auto& click : clicks) {
            pane->setCurrentItem(other);
            QTest::qWait(QApplication::doubleClickInterval());
            ASSERT_TRUE(moveTo(pane->viewport()->mapToGlobal(QPoint(click.x, y))));
            ASSERT_TRUE(xdotool({u"click"_qs, QString::fromLatin1(click.button)}));
            const bool selected = QTest::qWaitFor([&] { return pane->currentItem() == c.item; },
                                                  click.selects ? 3000 : 500);
            EXPECT_EQ(selected, click.selects)
                << c.name << ", " << click.where << " (label drawn at " << left << "-" << right
                << ", clicked at " << click.x << ")";
        }
    }
    pane->setFont(font);
    pane->setIconSize(icons);
}

TEST_F(LeftViewOnDesktopTest, F2AndThePopupOpenTheLabelEditorThatRenames) {
    const QPoint label = globalLabelPoint(other);
    const struct {
        const char* name;
        QStringList input;
    } ways[] = {
        {"F2", {u"key"_qs, u"F2"_qs}},
        {"the popup's Rename Folder",
         {u"mousemove"_qs, QString::number(label.x()), QString::number(label.y()), u"click"_qs,
          u"3"_qs, u"sleep"_qs, u"1"_qs, u"key"_qs, u"r"_qs}},
    };
    for (const auto& way : ways) {
        tree().SelectItem(other, false);
        pane->setFocus();
        QTest::qWait(200);
        // A process of its own: the popup's loop holds this thread.
        ChildProcess input;
        ASSERT_TRUE(input.Start(u"xdotool"_qs, way.input, ChildProcess::Output::Forwarded));
        const auto editor = [&]() -> QLineEdit* {
            for (QLineEdit* edit : pane->viewport()->findChildren<QLineEdit*>()) {
                if (edit->isVisible()) {
                    return edit;
                }
            }
            return nullptr;
        };
        const bool editing = QTest::qWaitFor([&] { return editor() != nullptr; }, 10000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !input.IsRunning(); }, 5000)) << way.name;
        ASSERT_TRUE(editing) << way.name << " opens no label editor";
        EXPECT_EQ(editor()->text(), other->text(0)) << way.name;
        const QString name = u"Renamed by "_qs + QString::fromLatin1(way.name);
        ASSERT_TRUE(xdotool({u"key"_qs, u"ctrl+a"_qs}));
        ASSERT_TRUE(xdotool({u"type"_qs, name}));
        ASSERT_TRUE(xdotool({u"key"_qs, u"Return"_qs}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return other->text(0) == name; }, 5000)) << way.name;
        EXPECT_EQ(tree().GetMyItem(other)->GetLabel(), name) << way.name;
    }
}

TEST_F(LeftViewOnDesktopTest, TheHoverTipIsTheOnlyTipAndReadsInLinesNotWords) {
    const QString hover = u"All elements known to this server, by kind and by place"_qs;
    CMyItem* record = tree().GetMyItem(other);
    record->SetHoverText(hover);
    record->SetHelpURL(u"/help/other.htm"_qs);
    ASSERT_TRUE(restOnLabel(other));
    // Past the moment the toolkit's own item tips would show.
    QTest::qWait(1500);
    ASSERT_TRUE(pane->HoverTip().IsShown());
    EXPECT_EQ(shownTips(), 1);
    EXPECT_EQ(pane->HoverTip().Text(), hover + u"\tClick F1 for help..."_qs);
    EXPECT_LT(pane->HoverTip().Geometry().height(), 2 * pane->fontMetrics().lineSpacing())
        << "one line, not a word a line";
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    EXPECT_TRUE(shot.save(QCoreApplication::applicationDirPath() + u"/leftview_tip.png"_qs));
}

TEST_F(LeftViewOnDesktopTest, APopupOpeningOverTheHoverTipHidesIt) {
    tree().GetMyItem(nodes)->SetHoverText(u"The nodes of this server"_qs);
    ASSERT_TRUE(restOnLabel(nodes));
    int tipsBesideMenu = -1;
    PopupWatch watch(QCoreApplication::applicationDirPath() + u"/leftview_popup_tip.png"_qs,
                     [&] { tipsBesideMenu = shownTips(); });
    ChildProcess input;
    ASSERT_TRUE(input.Start(u"xdotool"_qs,
                            {u"click"_qs, u"3"_qs, u"sleep"_qs, u"1"_qs, u"key"_qs, u"Escape"_qs},
                            ChildProcess::Output::Forwarded));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tipsBesideMenu >= 0; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !input.IsRunning(); }, 5000)) << "xdotool ends";
    EXPECT_EQ(tipsBesideMenu, 0);
    EXPECT_FALSE(pane->HoverTip().IsShown());
}

TEST_F(LeftViewOnDesktopTest, ARightClickPopsUpBelowTheLabelAndAKeyPicksTheEntry) {
    RecordingContextMenuHost entries;
    PopupWatch watch(QCoreApplication::applicationDirPath() + u"/leftview_popup.png"_qs);
    const QPoint at = globalLabelPoint(nodes);
    const QPoint below = pane->viewport()->mapToGlobal(pane->ItemTextRect(nodes).bottomLeft());
    // One xdotool run while this thread handles events: the popup's own
    // loop holds the thread until an entry is picked.
    ChildProcess input;
    ASSERT_TRUE(input.Start(u"xdotool"_qs,
                            {u"mousemove"_qs, QString::number(at.x()), QString::number(at.y()),
                             u"click"_qs, u"3"_qs, u"sleep"_qs, u"1"_qs, u"key"_qs, u"Down"_qs,
                             u"sleep"_qs, u"0.2"_qs, u"key"_qs, u"Return"_qs},
                            ChildProcess::Output::Forwarded));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !entries.invoked.empty(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !input.IsRunning(); }, 5000)) << "xdotool ends";
    EXPECT_EQ(entries.invoked, std::vector<int>{ping});
    EXPECT_EQ(watch.topLeft, below) << "the popup hangs from the label's bottom-left corner";
    EXPECT_EQ(tree().GetLastSelection(), nodes) << "the entry's item is shown first";
    EXPECT_TRUE(watch.saved) << "screenshot of the pane with its popup";
}

TEST_F(LeftViewOnDesktopTest, HoverTextShowsBelowTheItemAfterItsDelayAndGoesWhenLeft) {
    tree().GetMyItem(other)->SetHoverText(u"first%0asecond"_qs);
    const QRect text = pane->ItemTextRect(other);
    const QPoint belowItem =
        pane->viewport()->mapToGlobal(text.topLeft()) + QPoint(0, text.height());
    ASSERT_TRUE(parkPointer());
    // Started before the move: the program sees the pointer arrive before
    // xdotool has ended.
    QElapsedTimer rest;
    rest.start();
    ASSERT_TRUE(moveTo(globalLabelPoint(other)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane->HoverTip().IsShown(); }, 5000));
    EXPECT_GE(rest.elapsed(), Tooltip::kShowDelayMs) << "the tip waits for the pointer to rest";
    EXPECT_EQ(pane->HoverTip().Text(), u"first\nsecond"_qs);
    const QRect tip = pane->HoverTip().Geometry();
    EXPECT_EQ(tip.topLeft(), belowItem);
    EXPECT_GE(tip.height(), 2 * pane->fontMetrics().height()) << "two lines";

    ASSERT_TRUE(parkPointer());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pane->HoverTip().IsShown(); }, 5000));
}

TEST_F(LeftViewOnDesktopTest, F1WhileTheInfoTipShowsOpensTheItemsHelp) {
    CMyItem* record = tree().GetMyItem(other);
    record->SetHoverText(u"What the folder holds"_qs);
    record->SetHelpURL(u"/help/other.htm"_qs);
    ASSERT_TRUE(restOnLabel(other));
    ASSERT_TRUE(pane->IsInfoTipShown());
    EXPECT_TRUE(pane->HoverTip().Text().endsWith(u"\tClick F1 for help..."_qs));
    ASSERT_TRUE(xdotool({u"key"_qs, u"F1"_qs}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !help->calls.isEmpty(); }, 5000));
    EXPECT_EQ(help->calls, QStringList{u"LaunchHelp(/help/other.htm)"_qs});
}

// The program started over a World View whose labels lie two folders deep.
class WorldViewLayoutTest : public RunningProgramTest {
protected:
    void SetUp() override {
        RunningProgramTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        const QString worldView = writeFile(
            u"views/deep.zwv"_qs,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tree>\n  <root label='World View'>\n"
            "    <folder label='Lab'>\n"
            "      <folder label='Inventory of every element'>\n      </folder>\n"
            "      <folder label='Reports by kind and by place'>\n      </folder>\n"
            "    </folder>\n  </root>\n</tree>\n");
        writeFile(u".config/Zorvic/QVX/Quillex.ini"_qs, "ZWV=" + worldView.toUtf8() + '\n');
        startProgram();
    }

    int paneWidth() const { return frame->OuterSplitter().GetColumnInfo(0).current; }
    void restartProgram() {
        frame->close();
        app.reset();
        startProgram();
    }
};

TEST_F(WorldViewLayoutTest, ThePaneOpensAsWideAsTheLabelsItShows) {
    CLeftView& pane = *frame->GetLeftView();
    const QStringList deep{u"Inventory of every element"_qs, u"Reports by kind and by place"_qs};
    for (const QString& label : deep) {
        QTreeWidgetItem* item =
            pane.findItems(label, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        ASSERT_NE(item, nullptr) << label.toStdString();
        ASSERT_TRUE(item->parent()->isExpanded()) << label.toStdString() << " is not shown";
        // A cut label is drawn narrower than its whole text.
        const auto [left, right] = drawnLabelColumns(pane, item);
        EXPECT_GE(right - left + 3, pane.fontMetrics().horizontalAdvance(label))
            << label.toStdString() << " is cut";
    }
    EXPECT_TRUE(frame->grab().save(QCoreApplication::applicationDirPath() + u"/worldview.png"_qs));
}

TEST_F(WorldViewLayoutTest, ALabelThatComesLaterWidensThePaneWhenItsFolderIsOpened) {
    CLeftView& pane = *frame->GetLeftView();
    QTreeWidgetItem* lab =
        pane.findItems(u"Lab"_qs, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    ASSERT_NE(lab, nullptr);
    QTreeWidgetItem* archive = app->Tree().AddFolderItem(lab, u"Archive"_qs);
    const QString label = u"Servers retired before the move"_qs;
    QTreeWidgetItem* retired = app->Tree().AddFolderItem(archive, label);
    ASSERT_NE(retired, nullptr);
    QCoreApplication::processEvents();
    const int before = paneWidth();
    ASSERT_FALSE(archive->isExpanded());

    const QRect text = pane.ItemTextRect(archive);
    ASSERT_TRUE(clickAt(pane.viewport()->mapToGlobal(
        QPoint(text.left() - pane.indentation() / 2, text.center().y()))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return archive->isExpanded(); }, 5000)) << "not opened";
    ASSERT_TRUE(QTest::qWaitFor([&] { return paneWidth() > before; }, 5000)) << "not widened";
    const auto [left, right] = drawnLabelColumns(pane, retired);
    EXPECT_GE(right - left + 3, pane.fontMetrics().horizontalAdvance(label)) << "cut";
    EXPECT_TRUE(
        frame->grab().save(QCoreApplication::applicationDirPath() + u"/worldview-later.png"_qs));
}

TEST_F(WorldViewLayoutTest, TheSplitterPlacedByTheUserAloneSurvivesARestart) {
    // What a first run stores is stored; the next run changes nothing else.
    restartProgram();
    const int before = paneWidth();
    QSplitterHandle* handle = frame->OuterSplitter().handle(1);
    ASSERT_NE(handle, nullptr);
    const QPoint grip = handle->mapToGlobal(handle->rect().center());
    ASSERT_TRUE(pointerDrag({grip, grip + QPoint(30, 0), grip + QPoint(70, 0)}));
    const int placed = paneWidth();
    ASSERT_GT(placed, before + 40) << "the drag moved the splitter";
    restartProgram();
    EXPECT_EQ(paneWidth(), placed);
}

}  // namespace
