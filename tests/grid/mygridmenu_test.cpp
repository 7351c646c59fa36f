// The data grid's server menu: the popup it fills, the commands it runs and
// the right click it drops while a menu command runs.

#include "mygridfixture.h"
#include "server/mysystem.h"
#include "settings/preferences.h"
#include "tree/contextmenu.h"
#include "tree/menubusymarker.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace {

// Settings with context debugging on or off, given to the server
// connections' site for the scope.
class DebuggingPrefs {
public:
    DebuggingPrefs(RecordingMySystemSite& site, bool debugging) : m_site(site) {
        m_prefs.SetString(QStringLiteral("ContextDebugging"), debugging ? u"1"_qs : u"0"_qs);
        m_site.prefs = &m_prefs;
    }
    ~DebuggingPrefs() { m_site.prefs = nullptr; }
    DebuggingPrefs(const DebuggingPrefs&) = delete;
    DebuggingPrefs& operator=(const DebuggingPrefs&) = delete;

private:
    RecordingMySystemSite& m_site;
    CPreferences m_prefs;
};

class MyGridMenuTest : public MyGridTest {
protected:
    bool loadWithMenu(const char* menu) {
        QByteArray xml = GridXml({{"name", "Name", ""}}, {{"a"}, {"b"}});
        xml.replace("<grid>", QByteArray("<grid menu='") + menu + "'>");
        return load(xml);
    }
    static QStringList texts(const QMenu& menu) {
        QStringList found;
        for (const QAction* action : menu.actions()) {
            found << (action->isSeparator() ? u"-"_qs : action->text());
        }
        return found;
    }
    CMySystem system;
};

TEST_F(MyGridMenuTest, DebugGridEndsTheMenuWithoutASeparatorWhenNothingPrecedesIt) {
    ASSERT_TRUE(loadWithMenu("rows.menu"));
    system.Host = u"h1"_qs;
    QMenu popup;
    EXPECT_EQ(grid->BuildContextMenu(popup, nullptr), 0) << "no server selected";

    site.system = &system;
    EXPECT_EQ(grid->BuildContextMenu(popup, nullptr), 0) << "the server has no such menu";
    system.GetMenuSet().GetOrCreate(u"rows"_qs);
    {
        const DebuggingPrefs prefs(systemSite, true);
        ASSERT_EQ(grid->BuildContextMenu(popup, nullptr), 1);
    }
    EXPECT_EQ(texts(popup), QStringList({u"Debug Grid..."_qs}));
    EXPECT_EQ(popup.actions().back()->data().toInt(), 486);

    QMenu withItems;
    withItems.addAction(u"Refresh"_qs);
    {
        const DebuggingPrefs prefs(systemSite, true);
        ASSERT_EQ(grid->BuildContextMenu(withItems, nullptr), 1);
    }
    EXPECT_EQ(texts(withItems), QStringList({u"Refresh"_qs, u"-"_qs, u"Debug Grid..."_qs}));

    QMenu quiet;
    const DebuggingPrefs prefs(systemSite, false);
    ASSERT_EQ(grid->BuildContextMenu(quiet, nullptr), 1);
    EXPECT_TRUE(quiet.actions().isEmpty());
}

TEST_F(MyGridMenuTest, CustomCommandsNeedTheGridsServerMenu) {
    ASSERT_TRUE(loadWithMenu("missing.menu"));
    system.Host = u"h1"_qs;
    EXPECT_EQ(grid->OnCustomCmd(40001, 0, 0), 0) << "no server selected";
    EXPECT_TRUE(ui.popups.empty());
    site.system = &system;
    EXPECT_EQ(grid->OnCustomCmd(39999, 0, 0), 0);
    EXPECT_TRUE(ui.popups.empty()) << "not a server menu command";
    EXPECT_EQ(grid->OnCustomCmd(40001, 0, 0), 0);
    ASSERT_EQ(ui.popups.size(), 1u);
    EXPECT_EQ(ui.popups[0].text,
              u"CMI from host 'h1' has not defined a context menu called 'missing'.");
}

// Counts the right clicks that reach the window around the grid.
class ContextMenuCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ContextMenu) {
            ++count;
        }
        return false;
    }
};

TEST_F(MyGridMenuTest, ARightClickDuringAMenuCommandIsDropped) {
    ContextMenuCounter counter;
    host.installEventFilter(&counter);
    const auto rightClick = [this] {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), grid->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(grid, &event);
    };
    {
        const CMenuBusyMarker running;
        rightClick();
    }
    EXPECT_EQ(counter.count, 0) << "dropped while the command runs";
    rightClick();
    EXPECT_EQ(counter.count, 1) << "passed on to the view once it is done";
}

}  // namespace
