// The menu bar's keys and the window's bars on a real X display.

#include "app/appfixture.h"
#include "dialogs/aboutdialog.h"
#include "frame/animatectrl.h"
#include "frame/framecommands.h"
#include "frame/mainframe.h"
#include "frame/menubar.h"
#include "frame/qvxtoolbar.h"
#include "frame/searchtoolbar.h"
#include "frame/statusbar.h"
#include "support/modalcloser.h"
#include "support/xinput.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

class MenuBarKeysTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        QUILLEX_SKIP_WITHOUT_DESKTOP(false);
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    }

    QMenu* barMenu(int index) const { return frame->MenuBar().actions().at(index)->menu(); }
    static QWidget* popup() { return QApplication::activePopupWidget(); }
    // A key to the open popup, or to the window's focus without one.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = popup() != nullptr ? popup() : QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : frame, key, modifiers);
    }
    bool popupIs(const QMenu* menu) {
        return QTest::qWaitFor([&] { return popup() == menu; }, 5000);
    }

    CMainFrame* frame = nullptr;
};

TEST_F(MenuBarKeysTest, AltArrowsEnterAndEscapeMoveAsOnWindows) {
    // Alt alone enters the bar at its first menu.
    press(Qt::Key_Alt);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->MenuBar().activeAction() != nullptr; }, 5000));
    EXPECT_EQ(frame->MenuBar().activeAction(), frame->MenuBar().actions().first());
    press(Qt::Key_Escape);

    // Alt+V opens View; T its Toolbars submenu; Escape closes only that.
    press(Qt::Key_V, Qt::AltModifier);
    ASSERT_TRUE(popupIs(barMenu(3)));
    QMenu* toolbars = barMenu(3)->actions().first()->menu();
    press(Qt::Key_T);
    ASSERT_TRUE(popupIs(toolbars));
    press(Qt::Key_Escape);
    EXPECT_TRUE(popupIs(barMenu(3))) << "Escape closed the submenu only";
    press(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup() == nullptr; }, 5000));

    // Left from File wraps to Help, Right from Help back to File.
    press(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(popupIs(barMenu(0)));
    press(Qt::Key_Left);
    EXPECT_TRUE(popupIs(barMenu(5)));
    press(Qt::Key_Right);
    EXPECT_TRUE(popupIs(barMenu(0)));
    press(Qt::Key_Escape);
    press(Qt::Key_Escape);
}

// The same walk with keys from the X server, as a user types them: Qt's own
// handling of Alt alone never sees a real Alt as one.
TEST_F(MenuBarKeysTest, RealAltAloneEntersTheBarAndArrowsWrap) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    CMenuBar& bar = frame->MenuBar();
    const QList<QAction*> menus = bar.actions();
    QWidget* focus = QApplication::focusWidget();
    const auto hot = [&bar](const QAction* menu) {
        return QTest::qWaitFor([&] { return bar.activeAction() == menu; }, 5000);
    };

    ASSERT_TRUE(typeKeys({"alt"}));
    ASSERT_TRUE(hot(menus.first())) << "Alt alone makes File hot";
    EXPECT_EQ(popup(), nullptr);
    ASSERT_TRUE(typeKeys({"Left"}));
    EXPECT_TRUE(hot(menus.last())) << "Left from File wraps to Help";
    ASSERT_TRUE(typeKeys({"Right", "Right"}));
    EXPECT_TRUE(hot(menus.at(1)));
    EXPECT_EQ(popup(), nullptr) << "arrows move the hot menu without opening it";

    ASSERT_TRUE(typeKeys({"Return"}));
    EXPECT_TRUE(popupIs(barMenu(1))) << "Enter opens the hot menu";
    ASSERT_TRUE(typeKeys({"Escape"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup() == nullptr; }, 5000));
    EXPECT_TRUE(hot(menus.at(1))) << "Escape in the popup leaves its menu hot";
    ASSERT_TRUE(typeKeys({"Escape"}));
    EXPECT_TRUE(hot(nullptr)) << "a second Escape leaves the bar";
    EXPECT_EQ(QApplication::focusWidget(), focus) << "the focus goes back where it was";

    ASSERT_TRUE(typeKeys({"alt"}));
    EXPECT_TRUE(hot(menus.first()));
    ASSERT_TRUE(typeKeys({"alt"}));
    EXPECT_TRUE(hot(nullptr)) << "Alt alone again leaves the bar";
}

// A menu item's prompt shows in the message pane while the item is
// highlighted; on a submenu's item, and when the menu closes, the pane shows
// its own text again.
TEST_F(MenuBarKeysTest, PromptLastsWhileItsItemIsHighlighted) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    const QString own = QStringLiteral("Ready to work");
    app->SetStatusText(own);
    const auto paneShows = [this](const QString& text) {
        return QTest::qWaitFor(
            [&] { return frame->StatusPanes().PaneText(CStatusBar::kMessagePane) == text; }, 5000);
    };
    ASSERT_TRUE(paneShows(own));

    // View opens on its Toolbars submenu; two down is the Wizard.
    ASSERT_TRUE(typeKeys({"alt+v", "Down", "Down"}));
    ASSERT_TRUE(popupIs(barMenu(3)));
    ASSERT_EQ(barMenu(3)->activeAction(), frame->Commands().Action(32809));
    EXPECT_TRUE(paneShows(QStringLiteral("Show or hide the wizard")));
    ASSERT_TRUE(typeKeys({"Up", "Up"}));
    EXPECT_TRUE(paneShows(own)) << "the Toolbars submenu has no prompt";

    ASSERT_TRUE(typeKeys({"Down", "Down"}));
    EXPECT_TRUE(paneShows(QStringLiteral("Show or hide the wizard")));
    ASSERT_TRUE(typeKeys({"Escape", "Escape"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup() == nullptr; }, 5000));
    EXPECT_TRUE(paneShows(own));
}

// The busy animation sits at the right end of the menu bar's line and takes
// its right clicks itself: a real right double-click opens the developers'
// About box, and no bar menu pops up on the way.
TEST_F(MenuBarKeysTest, RightDoubleClickOnTheAnimationOpensTheAboutBox) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    const CAnimateCtrl& throbber = frame->Throbber();
    const QRect bar(frame->MenuBar().mapToGlobal(QPoint(0, 0)), frame->MenuBar().size());
    const QRect animation(throbber.mapToGlobal(QPoint(0, 0)), throbber.size());
    EXPECT_TRUE(bar.contains(animation.center())) << "on the menu bar's line";
    EXPECT_GT(animation.left(),
              frame->MenuBar().actionGeometry(barMenu(5)->menuAction()).right() + bar.left())
        << "after the last menu";

    bool popupSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout,
                     [&popupSeen] { popupSeen |= QApplication::activePopupWidget() != nullptr; });
    watch.start(5);
    ModalCloser<CAboutDialog> closer;
    ASSERT_TRUE(rightDoubleClickAt(animation.center()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return closer.seen; }, 5000)) << "no About box";
    EXPECT_FALSE(popupSeen) << "a menu popped up under the animation";
}

// Dragging a bar along its line by its gripper leaves every button of the
// bars on that line on show: none is pushed into an overflow menu.
TEST_F(MenuBarKeysTest, DraggingTheNavigationBarRightKeepsEveryButtonShown) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    frame->resize(1000, 700);
    QToolBar& navigation = frame->NavigationBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return navigation.width() < frame->width() / 2; }, 5000));
    // On the gripper's dots, a few pixels into the bar.
    const QPoint gripper = navigation.mapToGlobal(QPoint(7, navigation.height() / 2));
    QList<QPoint> path{gripper};
    for (int step = 1; step <= 8; ++step) {
        path << gripper + QPoint(50 * step, 0);
    }
    ASSERT_TRUE(pointerDrag(path));
    QTest::qWait(300);
    const QString shot = QCoreApplication::applicationDirPath() + "/bars-after-drag.png";
    EXPECT_TRUE(frame->grab().save(shot)) << shot.toStdString();
    for (QToolBar* bar : {&navigation, static_cast<QToolBar*>(&frame->FilterBar())}) {
        for (QAction* action : bar->actions()) {
            const QWidget* button = bar->widgetForAction(action);
            EXPECT_TRUE(button != nullptr && button->isVisible())
                << bar->objectName().toStdString() << ": " << action->text().toStdString();
        }
    }
}

// One screenshot of the whole main window with its bars; each bar shows
// something, not one flat colour.
TEST_F(MenuBarKeysTest, WindowShowsItsBarsOnTwoLines) {
    frame->resize(1000, 700);
    QTest::qWait(0);
    const QImage shot = frame->grab().toImage();
    const QString path = QCoreApplication::applicationDirPath() + "/mainwindow-bars.png";
    EXPECT_TRUE(shot.save(path)) << path.toStdString();

    const auto flat = [&shot, this](const QWidget& bar) {
        const QRect rect(bar.mapTo(frame, QPoint(0, 0)), bar.size());
        const QRgb first = shot.pixel(rect.topLeft());
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (shot.pixel(x, y) != first) {
                    return false;
                }
            }
        }
        return true;
    };
    const QList<const QWidget*> bars{&frame->MenuBar(), &frame->Throbber(), &frame->StandardBar(),
                                     &frame->NavigationBar(), &frame->FilterBar()};
    for (const QWidget* bar : bars) {
        EXPECT_FALSE(flat(*bar)) << bar->objectName().toStdString();
    }
    QList<int> lines;
    for (const QToolBar* bar : frame->findChildren<QToolBar*>()) {
        if (!bar->isHidden() && !lines.contains(bar->y())) {
            lines << bar->y();
        }
    }
    EXPECT_EQ(lines.size(), 2) << "the menu bar's line, the toolbars' line";
}

}  // namespace
