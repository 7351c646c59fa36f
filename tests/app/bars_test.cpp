// The main window's menu bar, toolbars and bands as the user meets them.

#include "app/appfixture.h"
#include "frame/framecommands.h"
#include "frame/mainframe.h"
#include "frame/menubar.h"
#include "frame/qvxrebar.h"
#include "frame/qvxtoolbar.h"
#include "frame/searchtoolbar.h"
#include "frame/statusbar.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "settings/langpack.h"
#include "settings/preferences.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

using R = CQVxReBar;

class BarsTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        start();
    }

    void start() {
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    }

    // Closes the window (its exit saves the layout) and starts a new
    // application over the same settings folder.
    void restart() {
        frame->close();
        newApp();
        start();
    }

    QMenu* barMenu(int index) const { return frame->MenuBar().actions().at(index)->menu(); }
    void openPopup(QMenu* popup) const { Q_EMIT popup->aboutToShow(); }

    QStringList bandEntries() const {
        return app->Prefs().GetString(QStringLiteral("ReBarBandStateInfo")).split(u';');
    }
    QList<int> bandIds() const {
        QList<int> ids;
        for (const QWidget* window : frame->ReBar().Bands()) {
            ids << window->property("controlId").toInt();
        }
        return ids;
    }
    void writeLayout(int version, int locked, const QString& entries) {
        app->Prefs().SetInt(QStringLiteral("ReBarVersion"), version);
        app->Prefs().SetInt(QStringLiteral("ReBarLocked"), locked);
        app->Prefs().SetString(QStringLiteral("ReBarBandStateInfo"), entries);
    }
    QString writePack(const QString& name, const QString& entries) const {
        const QString text = QStringLiteral("#! KPROPS: header\n\n") + entries;
        return writeFile(name,
                         QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
    }

    CMainFrame* frame = nullptr;
};

TEST_F(BarsTest, TheMenuBarIsMenu99WithItsStates) {
    QStringList titles;
    for (const QAction* title : frame->MenuBar().actions()) {
        titles << title->text();
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&Actions", "&Edit", "&View", "&Tools", "&Help"}));
    EXPECT_FALSE(frame->MenuBar().isNativeMenuBar());

    QMenu* view = barMenu(3);
    openPopup(view);
    QMenu* toolbars = view->actions().first()->menu();
    ASSERT_NE(toolbars, nullptr);
    openPopup(toolbars);
    openPopup(barMenu(5));
    const struct {
        unsigned id;
        const char* text;
        bool enabled;
        bool checked;
    } items[] = {
        {32824, "Standard Buttons", true, true},
        {32825, "Navigation Bar", true, true},
        {32827, "Grid Filter Bar", true, true},
        {32826, "Lock Toolbars", true, false},
        {59393, "&Status Bar", true, true},
        {32809, "&Wizard", true, false},
        {32871, "Tessaly Help", false, false},
        {32866, "&Open World View...\tCtrl+O", true, false},
    };
    for (const auto& item : items) {
        QAction* action = FindMenuCommand(&frame->MenuBar(), item.id);
        ASSERT_NE(action, nullptr) << item.id;
        EXPECT_EQ(action->text(), item.text) << item.id;
        EXPECT_EQ(action->isEnabled(), item.enabled) << item.id;
        EXPECT_EQ(action->isChecked(), item.checked) << item.id;
    }
    EXPECT_FALSE(FindMenuCommand(&frame->MenuBar(), 57634)->icon().isNull())
        << "toolbar commands show their icons";
}

// The key shown in a menu label and the key that works cannot drift apart.
TEST_F(BarsTest, EveryLabelsKeyIsItsActionsShortcut) {
    int labelled = 0;
    const std::function<void(const QWidget*)> check = [&](const QWidget* menu) {
        for (const QAction* action : menu->actions()) {
            if (const QMenu* submenu = action->menu()) {
                check(submenu);
                continue;
            }
            const QString text = action->text();
            const qsizetype tab = text.indexOf(u'\t');
            if (tab < 0) {
                continue;
            }
            ++labelled;
            EXPECT_EQ(action->shortcut(), QKeySequence(text.mid(tab + 1))) << text.toStdString();
            EXPECT_EQ(action->shortcutContext(), Qt::WindowShortcut);
        }
    };
    check(&frame->MenuBar());
    EXPECT_GE(labelled, 10);
}

TEST_F(BarsTest, ButtonsCarryTipsPromptsAndIcons) {
    for (QToolBar* bar : {static_cast<QToolBar*>(&frame->StandardBar()),
                          static_cast<QToolBar*>(&frame->NavigationBar())}) {
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) {
                continue;
            }
            const unsigned id = MenuCommandId(action);
            EXPECT_EQ(action->toolTip(), CommandTip(id)) << id;
            EXPECT_FALSE(action->icon().isNull()) << id;
            action->hover();
            EXPECT_EQ(frame->StatusPanes().PaneText(CStatusBar::kMessagePane), CommandPrompt(id))
                << id;
        }
    }
    EXPECT_EQ(frame->Commands().Action(32828)->text(), "Actions");
    EXPECT_EQ(frame->Commands().Action(32782)->toolTip(), "Stop");
}

TEST_F(BarsTest, PacksTranslateTheResourceTextsAtEveryPopup) {
    app->Prefs().SetString(QStringLiteral("LanguagePack"), QStringLiteral("fr"));
    ASSERT_EQ(app->LangPack().Load(
                  writePack("fr.lang", "File=Fichier\nLock Toolbars=Verrouiller les barres\n")),
              1);
    QMenu* view = barMenu(3);
    openPopup(view);
    EXPECT_EQ(frame->MenuBar().actions().first()->text(), "Fichier");
    EXPECT_EQ(frame->Commands().Action(32826)->text(), "Verrouiller les barres");

    // A second pack translates "File" again, not the first pack's "Fichier".
    ASSERT_EQ(app->LangPack().Load(writePack("de.lang", "Fichier=Falsch\nFile=Datei\n")), 1);
    openPopup(view);
    EXPECT_EQ(frame->MenuBar().actions().first()->text(), "Datei");
}

TEST_F(BarsTest, BarCommandsShowHideAndLock) {
    QToolBar& navigation = frame->NavigationBar();
    ASSERT_TRUE(frame->OnCommand(32825));
    EXPECT_TRUE(navigation.isHidden());
    frame->OnCommand(32825);
    EXPECT_FALSE(navigation.isHidden());

    frame->OnCommand(32826);
    EXPECT_TRUE(frame->ReBar().IsLocked());
    EXPECT_FALSE(navigation.isMovable());
    const auto animationStyle = [this] { return frame->ReBar().BandStyle(&frame->Throbber()); };
    EXPECT_EQ(animationStyle() & (R::RBBS_NOGRIPPER | R::RBBS_GRIPPERALWAYS), R::RBBS_NOGRIPPER);
    frame->ReBar().Lock(true);
    frame->OnCommand(32826);
    EXPECT_TRUE(navigation.isMovable());
    EXPECT_EQ(animationStyle() & (R::RBBS_NOGRIPPER | R::RBBS_GRIPPERALWAYS), R::RBBS_NOGRIPPER)
        << "the busy animation never gets a gripper";

    frame->OnCommand(32809);
    EXPECT_FALSE(frame->WizardBar().isHidden());
    CCmdUI state;
    frame->UpdateCommandUI(32809, state);
    EXPECT_TRUE(state.checked);
    frame->WizardBar().close();
    frame->UpdateCommandUI(32809, state);
    EXPECT_FALSE(state.checked) << "the close button clears the check";
}

TEST_F(BarsTest, ActionsButtonAndClearButtonFollowTheFrame) {
    QMenu* actions = frame->StandardBar().ActionsMenu();
    ASSERT_NE(actions, nullptr);
    Q_EMIT actions->aboutToShow();
    EXPECT_FALSE(actions->actions().isEmpty()) << "the focused pane's menu fills it";

    CCmdUI state;
    frame->UpdateCommandUI(32842, state);
    EXPECT_FALSE(state.enabled) << "nothing to clear";
    frame->FilterBar().Field().setEditText("abc");
    frame->UpdateCommandUI(32842, state);
    EXPECT_TRUE(state.enabled);
    app->Prefs().SetInt(QStringLiteral("EnableRealtimeFilter"), 0);
    frame->UpdateCommandUI(32842, state);
    EXPECT_FALSE(state.enabled) << "without real-time filtering only a filtered grid enables it";
}

TEST_F(BarsTest, TheBandLayoutSurvivesARestart) {
    restart();
    EXPECT_EQ(app->Prefs().GetInt(QStringLiteral("ReBarVersion"), -1), 1);
    EXPECT_EQ(app->Prefs().GetInt(QStringLiteral("ReBarLocked"), -1), 0);
    QStringList idsAndStyles;
    for (const QString& entry : bandEntries()) {
        idsAndStyles << entry.section(u',', 0, 0) + u',' + entry.section(u',', 2, 2);
    }
    EXPECT_EQ(idsAndStyles, (QStringList{"wID=0032,fStyle=000000A0", "wID=0035,fStyle=00000123",
                                         "wID=0033,fStyle=000000A1", "wID=0034,fStyle=000000A0",
                                         "wID=0036,fStyle=00000080"}));

    frame->OnCommand(32826);
    frame->OnCommand(32825);
    frame->insertToolBarBreak(&frame->NavigationBar());
    restart();
    EXPECT_TRUE(frame->ReBar().IsLocked());
    EXPECT_TRUE(frame->NavigationBar().isHidden());
    EXPECT_TRUE(frame->toolBarBreak(&frame->NavigationBar()));
    EXPECT_FALSE(frame->StandardBar().isMovable());
    EXPECT_EQ(frame->ReBar().BandStyle(&frame->NavigationBar()),
              R::RBBS_BREAK | R::RBBS_HIDDEN | R::RBBS_FIXEDBMP | R::RBBS_NOGRIPPER);
}

TEST_F(BarsTest, RestoringReadsOnlyVersionOneAndStopsAtABadEntry) {
    const QString hideNavigation =
        "wID=0032,cx=100,fStyle=000000A0;wID=0035,cx=24,fStyle=00000123;"
        "wID=0033,cx=200,fStyle=000000A1;wID=0034,cx=90,fStyle=000000A8";
    for (int version : {2, 0}) {
        writeLayout(version, 1, hideNavigation);
        frame->ReBar().RestoreBandLayout();
        EXPECT_FALSE(frame->ReBar().IsLocked()) << version;
        EXPECT_FALSE(frame->NavigationBar().isHidden()) << version;
    }

    // The filter bar first; an unknown id still styles the band at its
    // place; the damaged third entry leaves the rest where they were.
    writeLayout(1, 0,
                "wID=0036,cx=300,fStyle=00000080;wID=0999,cx=5,fStyle=00000008;"
                "wID=0033,cx=oops;wID=0034,cx=90,fStyle=00000008");
    frame->ReBar().RestoreBandLayout();
    EXPECT_EQ(bandIds(), (QList<int>{54, 50, 53, 51, 52}));
    EXPECT_TRUE(frame->ReBar().Bands().at(1)->isHidden()) << "the unknown id styled band 2";
    EXPECT_FALSE(frame->NavigationBar().isHidden()) << "entries after the damaged one are not read";
}

}  // namespace
