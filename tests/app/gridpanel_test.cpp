// The properties panel under the main grid of the started program: the
// browser pane asks the server for the page of the selected row, with the
// row's key as the server wrote it, and the grid keeps the keyboard.

#include "app/appfixture.h"
#include "app/theappservices.h"
#include "frame/browserview.h"
#include "frame/mainframe.h"
#include "grid/mygrid.h"
#include "settings/preferences.h"
#include "support/fakevelnixserver.h"
#include "tree/myitem.h"

#include <QApplication>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

class GridPanelTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        ASSERT_NE(frame, nullptr);
        CMyTree& tree = app->Tree();
        item = tree.AddFolderItem(addLocalServerUnderRoot(server.Port()), u"Rows"_qs);
        CMyItem& record = *tree.GetMyItem(item);
        record.PanelParts = kPanelGrid;
        record.Parts.Add(u"grid:/cmi/Services?Action=Rows"_qs, u" "_qs);
        server.Script("/cmi/Props", FakeVelnixServer::Reply::Xml("<html><body/></html>"));
        services->hasSelectedItem = true;
        services->baseUrl = QStringLiteral("http://127.0.0.1:%1").arg(server.Port());
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    }

    // Shows the grid of one row keyed `key` (XML text) with its panel page.
    CMyGrid* showGrid(const QByteArray& key) {
        server.Script("/cmi/Services", "Action=Rows",
                      FakeVelnixServer::Reply::Xml(
                          "<grid menu=\"rows.menu\"><grid-props><num-cols>1</num-cols>"
                          "</grid-props>"
                          "<properties-url>/cmi/Props?Which=r</properties-url>"
                          "<headers><col><colname>k</colname><colhead>K</colhead>"
                          "<colprops>[PKEY]</colprops></col></headers><data><r><c>" +
                          key + "</c></r></data></grid>"));
        // The grid of the previous call has as many rows: only its own
        // request tells the new grid from the old one.
        server.ClearRequests();
        app->Tree().SelectItem(item, true);
        CMyGrid* grid = frame->GetGrid();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return asked("/cmi/Services") && grid->isVisible() && !grid->IsLoadRunning() &&
                   !grid->IsReading() && grid->GetRowCount() == 2;
        }));
        return grid;
    }

    bool asked(const char* path) const {
        const auto requests = server.Requests();
        return std::any_of(requests.begin(), requests.end(),
                           [&](const auto& request) { return request.path == path; });
    }

    // The query of the page request the browser pane made, empty when none.
    // The web engine's first page starts its helper processes, which takes
    // seconds on a busy machine.
    QByteArray pageQuery() {
        QByteArray query;
        const bool asked = QTest::qWaitFor([&] {
            for (const auto& request : server.Requests()) {
                if (request.path == "/cmi/Props") {
                    query = request.query;
                }
            }
            return !query.isEmpty();
        }, 30000);
        return asked ? query : QByteArray();
    }

    FakeVelnixServer server;
    CMainFrame* frame = nullptr;
    QTreeWidgetItem* item = nullptr;
};

TEST_F(GridPanelTest, TheBrowserPaneAsksForTheSelectedRowsPage) {
    const struct {
        const char* key;
        const char* query;
    } cases[] = {
        {"a@b", "Which=r&Selected=,a@b"},
        {"x#y", "Which=r&Selected=,x%23y"},
        {"p&amp;q", "Which=r&Selected=,p%26q"},
    };
    for (const auto& entry : cases) {
        CMyGrid* grid = showGrid(entry.key);
        grid->setFocus();
        // The click may already refresh an open panel, and the page it asks
        // for is the same one: both requests count.
        server.ClearRequests();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, [&] {
            QRect rect;
            grid->GetCellRect(1, 0, rect);
            return rect.center();
        }());
        EXPECT_EQ(grid->UpdatePropertiesPanel(QString()), 1);
        EXPECT_TRUE(frame->PropertiesOpen());
        EXPECT_EQ(pageQuery(), QByteArray(entry.query)) << entry.key;
        EXPECT_EQ(QApplication::focusWidget(), grid) << "the pane leaves the keyboard to the grid";
    }
}

// The exit sequence writes the main grid's layout with the other settings.
TEST_F(GridPanelTest, TheExitKeepsTheGridsLayoutInQuillexIni) {
    CMyGrid* grid = showGrid("a");
    grid->SetColumnWidth(0, 77);
    CTheAppServices(*app).SaveColumnPreferences();
    frame->close();
    QFile ini(CPreferences::GetIniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("grid:rows/k=1\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("grid:rows/k/w=77\n")) << text.toStdString();
}

}  // namespace
