#include "frame/mainframe.h"
#include "app/appfixture.h"
#include "frame/browserview.h"
#include "frame/dialogview.h"
#include "frame/editor.h"
#include "frame/myview.h"
#include "frame/searchtoolbar.h"
#include "frame/statusbar.h"
#include "resources/strings.h"
#include "tree/leftview.h"

#include <QDockWidget>
#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

#include <gtest/gtest.h>

namespace {

class MainFrameTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    }

    // Shows only the view row, with `paneSpace` pixels for the view and
    // browser rows once the browser row opens below it.
    void layOutViewRow(int paneSpace) {
        CPanelManager& rows = frame->RightSplitter();
        for (int row : {CMainFrame::kTabsRow, CMainFrame::kEditorRow, CMainFrame::kBrowserRow}) {
            rows.HideRow(row);
        }
        const int wanted = paneSpace + rows.handleWidth();
        frame->resize(frame->width(), frame->height() + wanted - rows.height());
        ASSERT_TRUE(QTest::qWaitFor([&] { return rows.height() == wanted; }));
    }

    CMainFrame* frame = nullptr;
};

TEST_F(MainFrameTest, PanesAreInTheirRowsWithTheirClasses) {
    EXPECT_NE(frame->GetLeftView(), nullptr);
    EXPECT_NE(frame->GetDialogView(), nullptr);
    EXPECT_NE(frame->GetMyView(), nullptr);
    EXPECT_NE(frame->GetEditor(), nullptr);
    EXPECT_NE(frame->GetBrowserView(), nullptr);
    EXPECT_EQ(frame->OuterSplitter().GetPane(0, 1), &frame->RightSplitter());
    EXPECT_FALSE(frame->WizardBar().isVisible());
    EXPECT_EQ(frame->WizardBar().windowTitle(), QStringLiteral("ZRM Wizard"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quillet for Velnix by Zorvic"));
    EXPECT_EQ(frame->FilterBar().windowTitle(), QStringLiteral("Filter table by:"));
}

TEST_F(MainFrameTest, ContextHelpModeSilencesTheWorldViewToolTips) {
    QWidget* tree = frame->GetLeftView()->viewport();
    QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), tree->mapToGlobal(QPoint(5, 5)));
    app->SetContextHelpMode(true);
    EXPECT_TRUE(app->eventFilter(tree, &tip));
    app->SetContextHelpMode(false);
    EXPECT_FALSE(app->eventFilter(tree, &tip));
}

TEST_F(MainFrameTest, HiddenRowsKeepTheirHeightInTheFrame) {
    CPanelManager& rows = frame->RightSplitter();
    rows.SetRowInfo(CMainFrame::kEditorRow, 80, 0);
    rows.RecalcLayout();
    const int editorHeight = rows.GetRowInfo(CMainFrame::kEditorRow).current;
    rows.HideRow(CMainFrame::kEditorRow);
    EXPECT_FALSE(frame->GetEditor()->isVisible());
    rows.ShowRow(CMainFrame::kEditorRow);
    EXPECT_EQ(rows.GetRowInfo(CMainFrame::kEditorRow).current, editorHeight);
}

TEST_F(MainFrameTest, StatusPanesAreAsWideAsTheirWidthTexts) {
    frame->resize(1200, frame->height());
    CStatusBar& panes = frame->StatusPanes();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panes.width() > 1000; }));
    for (int indicator :
         {CStatusBar::kUserPane, CStatusBar::kRowCounterPane, CStatusBar::kProgressPane}) {
        QLabel* pane = panes.Pane(CStatusBar::PaneOfIndicator(indicator));
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(pane->width(), pane->fontMetrics().horizontalAdvance(
                                     LoadResourceString(static_cast<unsigned>(indicator))));
    }
    EXPECT_GT(panes.Pane(0)->width(), panes.Pane(1)->width()) << "the message pane stretches";
}

TEST_F(MainFrameTest, TitleNamesItemUserAndServer) {
    const struct {
        const char16_t* label;
        const char16_t* user;
        const char16_t* server;
        const char16_t* title;
        bool status;
    } cases[] = {
        {u"", u"", u"", u"Quillet for Velnix by Zorvic", false},
        {u"Nodes", u"", u"", u"Quillet for Velnix by Zorvic", false},
        {u"New Server", u"", u"New Server", u"Quillet for Velnix by Zorvic", false},
        {u"Nodes", u"ops", u"Lab", u"Nodes - ops@Lab - Quillet for Velnix by Zorvic", true},
        {u"Nodes", u"", u"Lab", u"Nodes - Lab - Quillet for Velnix by Zorvic", true},
    };
    for (const auto& c : cases) {
        frame->StatusPanes().SetPaneText(0, QStringLiteral("before"));
        frame->UpdateTitle({QString::fromUtf16(c.label), QString::fromUtf16(c.user),
                            QString::fromUtf16(c.server)});
        EXPECT_EQ(frame->windowTitle(), QString::fromUtf16(c.title));
        EXPECT_EQ(frame->StatusPanes().PaneText(0),
                  c.status ? QStringLiteral("Loading: Nodes ... (Press Stop Button in Toolbar to "
                                            "Cancel)")
                           : QStringLiteral("before"));
    }
}

// The properties page opens in two thirds of the right-hand side, and the
// same URL again keeps the page without loading it a second time.
TEST_F(MainFrameTest, PropertiesTakeTwoThirdsAndLoadEachUrlOnce) {
    services->hasSelectedItem = true;
    services->baseUrl = QUrl::fromLocalFile(root()).toString() + u'/';
    writeFile(QStringLiteral("props é.html"), "<html><body>properties</body></html>");
    writeFile(QStringLiteral("other.html"), "<html><body>other</body></html>");
    layOutViewRow(300);

    CBrowserView* browser = frame->GetBrowserView();
    // Each navigation, as the URL of its first loading event.
    QList<QUrl> started;
    int finished = 0;
    QObject::connect(browser->page(), &QWebEnginePage::loadingChanged, browser,
                     [&](const QWebEngineLoadingInfo& info) {
                         if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                             started << info.url();
                         } else {
                             ++finished;
                         }
                     });

    ASSERT_EQ(frame->OpenProperties(QStringLiteral("props é.html")), 1);
    CPanelManager& rows = frame->RightSplitter();
    EXPECT_EQ(rows.GetRowInfo(CMainFrame::kMyViewRow).current, 100);
    EXPECT_EQ(rows.GetRowInfo(CMainFrame::kBrowserRow).current, 200);
    EXPECT_TRUE(frame->PropertiesOpen());
    // The text goes to the browser as given, accents included.
    EXPECT_EQ(frame->PropertiesURL(), services->baseUrl + QStringLiteral("props é.html"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 1; }, 30000));

    ASSERT_EQ(frame->OpenProperties(QStringLiteral("props é.html")), 1);
    browser->Navigate2(services->baseUrl + QStringLiteral("other.html"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 2; }, 30000));
    ASSERT_EQ(started.size(), 2);
    EXPECT_EQ(started[0].fileName(), QStringLiteral("props é.html"));
    EXPECT_EQ(started[1].fileName(), QStringLiteral("other.html"));
}

TEST_F(MainFrameTest, ClosingThePropertiesRemembersTheirHeight) {
    services->hasSelectedItem = true;
    layOutViewRow(300);
    ASSERT_EQ(frame->OpenProperties(QStringLiteral("about:blank")), 1);
    CPanelManager& rows = frame->RightSplitter();
    rows.SetRowInfo(CMainFrame::kMyViewRow, 60, 0);
    rows.RecalcLayout();

    ASSERT_EQ(frame->CloseProperties(), 1);
    EXPECT_EQ(app->Prefs().GetInt(QStringLiteral("SplitterPropsView"), 0), 240);
    EXPECT_FALSE(rows.IsRowVisible(CMainFrame::kBrowserRow));
    EXPECT_FALSE(frame->PropertiesOpen());
    EXPECT_TRUE(frame->PropertiesURL().isEmpty());
}

TEST_F(MainFrameTest, PropertiesNeedASelectedItem) {
    EXPECT_EQ(frame->OpenProperties(QStringLiteral("http://h/p")), 0);
    EXPECT_EQ(frame->CloseProperties(), 0);
    EXPECT_TRUE(frame->RightSplitter().IsRowVisible(CMainFrame::kBrowserRow));
}

}  // namespace
