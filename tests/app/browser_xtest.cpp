// The program's browsers met as a user meets them: the real program logged
// in to the fake server, its pages clicked with the mouse.

#include "app/appfixture.h"
#include "app/history.h"
#include "frame/browserview.h"
#include "frame/htmlctrl.h"
#include "frame/iebar.h"
#include "frame/mainframe.h"
#include "frame/webwnd.h"
#include "platform/http.h"
#include "server/mysystem.h"
#include "settings/buildstamp.h"
#include "settings/preferences.h"
#include "support/fakeloginreplies.h"
#include "support/modalcloser.h"
#include "support/onworker.h"
#include "support/xinput.h"
#include "tree/mytree.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using Reply = FakeVelnixServer::Reply;

Reply htmlReply(const QByteArray& body, int status = 200) {
    Reply reply;
    reply.status = status;
    reply.body = body;
    reply.header("Content-Type", "text/html; charset=utf-8");
    return reply;
}

// A page whose links fill blocks of 300 x 50 pixels from the top, one
// under the other, so a click at a block's middle follows its link.
QByteArray linkPage(const QByteArray& title, const std::vector<QByteArray>& links,
                    const QByteArray& extra = {}) {
    QByteArray page = "<html><head><title>" + title + "</title></head><body style='margin:0'>";
    int top = 0;
    for (const QByteArray& link : links) {
        page += "<a href='" + link +
                "' style='position:absolute;display:block;left:0;top:" + QByteArray::number(top) +
                "px;width:300px;height:50px'>" + link + "</a>";
        top += 60;
    }
    return page + extra + "</body></html>";
}

QPoint linkCentre(int index) {
    return QPoint(150, 25 + 60 * index);
}

class BrowserProgramTest : public ProgramTest {
protected:
    explicit BrowserProgramTest(
        FakeVelnixServer::Transport transport = FakeVelnixServer::Transport::Http)
        : server(transport) {}

    void SetUp() override {
        TempHomeTest::SetUp();
        QUILLEX_SKIP_WITHOUT_DESKTOP(false);
        fakelogin::ScriptCmiLogAndCancel(server);
        FakeLoginReply login;
        login.tree = "<item label='Home'/><item label='Page' main-browser-url='/start'/>";
        server.Script(FakeVelnixServer::kServicesPath, fakelogin::kLoginQuery,
                      Reply::Xml(login.Xml()).header("Set-Cookie", "SID=s3ss10n; Path=/"));
        server.Script("/start", htmlReply("<html><head><title>start</title></head></html>"));
        writeLabWorldView(server.Port(), server.BaseUrl().section(u':', 0, 0).toUtf8());

        app = std::make_unique<CTheApp>();
        app->Popups().SetPresenter([this](QWidget*, const QString&, const QString& text, int type) {
            boxes << text;
            boxTypes << type;
            return 1;
        });
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        browser = frame->GetBrowserView();
        ASSERT_NE(browser, nullptr);
        CMyTree& tree = app->Tree();
        serverItem = tree.FindItemByName(QStringLiteral("Alpha"), nullptr);
        ASSERT_NE(serverItem, nullptr);
        system = dynamic_cast<CMySystem*>(tree.GetSystem(serverItem));
        ASSERT_NE(system, nullptr);
    }

    void TearDown() override {
        app.reset();
        TempHomeTest::TearDown();
    }

    void login() {
        QString error;
        ASSERT_NE(system->Login(error, &app->Tree(), serverItem, false), 0) << error.toStdString();
    }

    // Logs in and shows the browser row with the start page.
    void showBrowserRow() {
        login();
        QTreeWidgetItem* page = app->Tree().FindItemByName(QStringLiteral("Page"), serverItem);
        ASSERT_NE(page, nullptr);
        ASSERT_NE(app->Tree().SelectItem(page, true), 0);
        ASSERT_TRUE(frame->RightSplitter().IsRowVisible(CMainFrame::kBrowserRow));
        ASSERT_TRUE(waitForTitle(QStringLiteral("start")))
            << browser->url().toString().toStdString() << " | " << browser->title().toStdString()
            << " | " << requestsTo("/start").size();
    }

    QString url(const QByteArray& path) const { return server.BaseUrl() + QString::fromUtf8(path); }

    bool waitForTitle(const QString& title, QWebEngineView* view = nullptr) {
        view = view != nullptr ? view : browser;
        return QTest::qWaitFor([&] { return view->title() == title && !browser->IsNavigating(); },
                               60000);
    }

    // Shows the page at the path in the browser pane and waits for it.
    void open(const QByteArray& path, const QByteArray& html, const QString& title) {
        server.Script(path, htmlReply(html));
        browser->Navigate2(url(path));
        ASSERT_TRUE(waitForTitle(title)) << browser->title().toStdString();
    }

    void click(QWebEngineView& view, QPoint point) {
        QWidget* target = view.focusProxy() != nullptr ? view.focusProxy() : &view;
        QTest::mouseMove(target, point);
        QTest::mouseClick(target, Qt::LeftButton, {}, point);
    }

    std::vector<FakeVelnixServer::Request> requestsTo(const QByteArray& path) const {
        std::vector<FakeVelnixServer::Request> found;
        for (const auto& request : server.Requests()) {
            if (request.path == path) {
                found.push_back(request);
            }
        }
        return found;
    }

    // Lets the engine and the action worker finish what they have in hand.
    void settle() { QTest::qWait(300); }

    FakeVelnixServer server;
    std::unique_ptr<CTheApp> app;
    CMainFrame* frame = nullptr;
    CBrowserView* browser = nullptr;
    QTreeWidgetItem* serverItem = nullptr;
    CMySystem* system = nullptr;
    QStringList boxes;
    QList<int> boxTypes;
};

TEST_F(BrowserProgramTest, ServedLinksRunActionsAndNeverReachTheServer) {
    showBrowserRow();
    const QString flag = root() + QStringLiteral("/F");
    open("/links",
         linkPage("links", {"curl:set:x=1", "curl:message=hi"},
                  "<img src='curl:touch=" + flag.toUtf8() + "'>"),
         QStringLiteral("links"));

    click(*browser, linkCentre(0));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return app->GetUserVariable(QStringLiteral("x")) == u"1"; }, 20000));
    click(*browser, linkCentre(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.contains(QStringLiteral("hi")); }, 20000));
    EXPECT_FALSE(QFile::exists(flag)) << "an image never runs an action";
    for (const auto& request : server.Requests()) {
        EXPECT_FALSE(request.path.contains("curl") || request.query.contains("set:x"))
            << request.path.toStdString();
    }
}

TEST_F(BrowserProgramTest, PageBoxesFollowSuppressAllPopups) {
    showBrowserRow();
    const QByteArray alerting = linkPage("alerts", {"curl:message=m", "curl:error=e"},
                                         "<script>alert('<b>a</b>');</script>");
    app->SetUserVariable(QStringLiteral("suppressallpopups"), QStringLiteral("1"));
    open("/alerts", alerting, QStringLiteral("alerts"));
    click(*browser, linkCentre(0));
    click(*browser, linkCentre(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.contains(QStringLiteral("e")); }, 20000));
    EXPECT_FALSE(boxes.contains(QStringLiteral("m")));
    EXPECT_FALSE(boxes.contains(QStringLiteral("<b>a</b>")));

    app->SetUserVariable(QStringLiteral("suppressallpopups"), QString());
    boxes.clear();
    open("/alerts2", QByteArray(alerting).replace("alerts", "again"), QStringLiteral("again"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.contains(QStringLiteral("<b>a</b>")); }))
        << boxes.join(u'|').toStdString();
}

TEST_F(BrowserProgramTest, PagesCarryTheConsoleIdentityAndItsSession) {
    server.RequireBasicAuth("ops", "s3cret");
    system->User = QStringLiteral("ops");
    system->Password = QStringLiteral("s3cret");
    FakeVelnixServer other;
    other.Script("/other", htmlReply("<html><head><title>other</title></head></html>"));
    showBrowserRow();

    const auto startPages = requestsTo("/start");
    ASSERT_FALSE(startPages.empty());
    const auto& page = startPages.back();
    EXPECT_EQ(page.header("user-agent"), "QVX/" + GetVersionString(false).toUtf8());
    EXPECT_TRUE(page.header("cookie").contains("SID=s3ss10n"))
        << page.header("cookie").toStdString();
    EXPECT_EQ(page.header("authorization"), "Basic " + QByteArray("ops:s3cret").toBase64());

    browser->Navigate2(other.BaseUrl() + QStringLiteral("/other"));
    ASSERT_TRUE(waitForTitle(QStringLiteral("other")));
    // Cookies belong to the host whatever its port; credentials to the server.
    for (const auto& request : other.Requests()) {
        EXPECT_FALSE(request.hasHeader("authorization"));
    }

    server.Script("/denied", htmlReply("<html><head><title>no</title></head></html>", 401));
    browser->Navigate2(url("/denied"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !system->LoggedIn; }, 30000))
        << "the page's own server is logged out";
}

TEST_F(BrowserProgramTest, LongQueriesArePostedAndShortOnesFetched) {
    showBrowserRow();
    server.Script("/long", htmlReply("<html><head><title>long</title></head></html>"));
    const QString base = url("/long?q=");
    struct Case {
        qsizetype length;
        QByteArray method;
    };
    for (const Case& c : {Case{2000, "GET"}, Case{2001, "POST"}}) {
        server.ClearRequests();
        const QString address = base + QString(c.length - base.size(), u'x');
        ASSERT_EQ(address.size(), c.length);
        browser->Navigate2(address);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !requestsTo("/long").empty(); }, 30000));
        const auto request = requestsTo("/long").front();
        EXPECT_EQ(request.method, c.method) << c.length;
        if (c.method == "POST") {
            EXPECT_EQ(request.body, address.mid(address.indexOf(u'?') + 1).toUtf8());
            EXPECT_EQ(request.header("content-type"), "application/x-www-form-urlencoded");
        } else {
            EXPECT_EQ(request.query.size(), c.length - (base.size() - 2));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !browser->IsBusy(); }, 30000));
    }
}

TEST_F(BrowserProgramTest, PendingNavigationEndsOnlyWhenItsPageIsDone) {
    showBrowserRow();
    browser->BeginPendingNavigation(QStringLiteral("http://h/report"));
    browser->EndPendingNavigation(QStringLiteral("about:blank"));
    EXPECT_TRUE(browser->IsBusy()) << "a blank page completing keeps the wait";
    browser->EndPendingNavigation();
    EXPECT_FALSE(browser->IsBusy());

    // Navigations that never complete as a page must not hold a waiting script.
    const QString closedPort = QStringLiteral("http://127.0.0.1:1/gone");
    for (const QString& address :
         {QStringLiteral("curl:set:y=2"), closedPort, QStringLiteral("javascript:void(0);"),
          QStringLiteral("javascript:document.BigForm.submit();")}) {
        browser->Navigate2(address);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !browser->IsBusy(); }, 30000))
            << address.toStdString();
    }
}

TEST_F(BrowserProgramTest, WorkerNavigatesWaitsAndUsesTheForm) {
    showBrowserRow();
    server.Script("/form", htmlReply("<html><head><title>form</title></head><body>"
                                     "<form name='BigForm'><input name='note' value='old'>"
                                     "<input name='DirtyBit' value='0'></form></body></html>"));
    const QString tricky = QStringLiteral("it's \"q\" \\ </script><b>");
    const QString written = onWorker([&] {
        browser->NavigateAndWait(url("/form"));
        return browser->SetFormFieldValue(QStringLiteral("note"), tricky,
                                          QStringLiteral("BigForm"));
    });
    EXPECT_EQ(browser->title(), QStringLiteral("form")) << "the wait lasted until the page";
    EXPECT_EQ(written, tricky);
    EXPECT_EQ(onWorker([&] {
                  return browser->GetFormFieldValue(QStringLiteral("note"),
                                                    QStringLiteral("BigForm"));
              }),
              tricky);
    EXPECT_EQ(browser->GetFormFieldValue(QStringLiteral("none"), QStringLiteral("BigForm")),
              QString());
    EXPECT_EQ(browser->GetFormFieldValue(QStringLiteral("note"), QStringLiteral("Other")),
              QString());
}

TEST_F(BrowserProgramTest, UnsavedChangesAskBeforeLeaving) {
    showBrowserRow();
    const QByteArray dirty =
        "<html><head><title>dirty</title></head><body><form name='BigForm'>"
        "<input name='DirtyBit' value='1'></form></body></html>";
    server.Script("/next", htmlReply("<html><head><title>next</title></head></html>"));
    // The properties page, with the browser row shown under the view.
    server.Script("/dirty", htmlReply(dirty));
    ASSERT_EQ(frame->OpenProperties(url("/dirty")), 1);
    ASSERT_TRUE(waitForTitle(QStringLiteral("dirty")));

    {
        ModalCloser<QMessageBox> yes([](QMessageBox& box) {
            EXPECT_TRUE(box.text().startsWith(QStringLiteral("Your changes have not been saved.")));
            box.button(QMessageBox::Yes)->click();
        });
        browser->Navigate2(url("/next"));
        EXPECT_TRUE(yes.seen);
    }
    settle();
    EXPECT_TRUE(requestsTo("/next").empty()) << "Yes keeps the page";
    EXPECT_EQ(browser->title(), QStringLiteral("dirty"));

    {
        ModalCloser<QMessageBox> no([](QMessageBox& box) { box.button(QMessageBox::No)->click(); });
        browser->Navigate2(url("/next"));
        EXPECT_TRUE(no.seen);
    }
    EXPECT_TRUE(waitForTitle(QStringLiteral("next")));
    EXPECT_FALSE(requestsTo("/next").empty());
}

TEST_F(BrowserProgramTest, LaunchedBrowsersPostTheirQueryAndCascade) {
    login();
    server.Script("/report", htmlReply("<html><head><title>report</title></head></html>"));
    IEBar_Manager* bars = app->FloatingBars();
    ASSERT_NE(bars, nullptr);

    ASSERT_EQ(
        app->LaunchBrowser(url("/report?Action=Run&Note=it%27s+%3Cb%3E"), QStringLiteral("Report")),
        1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !requestsTo("/report").empty(); }, 30000));
    auto request = requestsTo("/report").front();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.body, "Action=Run&Note=it%27s+%3Cb%3E");
    const QString postPage = app->FloatingBars()->Bars().front()->Browser().url().toString();
    EXPECT_TRUE(QFile::exists(root() + QStringLiteral("/.config/Zorvic/QVX/Quillex.html")));
    EXPECT_FALSE(postPage.isEmpty());

    server.ClearRequests();
    ASSERT_EQ(app->LaunchBrowser(url("/report"), QStringLiteral("Plain")), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !requestsTo("/report").empty(); }, 30000));
    EXPECT_EQ(requestsTo("/report").front().method, "GET");

    for (int i = 3; i <= 13; ++i) {
        app->LaunchBrowser(QStringLiteral("about:blank"), QStringLiteral("n"));
    }
    ASSERT_EQ(bars->Bars().size(), 13u);
    EXPECT_EQ(bars->Bars().at(12)->pos(), bars->Bars().at(0)->pos())
        << "the thirteenth starts again at the first place";
    EXPECT_NE(bars->Bars().at(1)->pos(), bars->Bars().at(0)->pos());
    EXPECT_EQ(bars->Bars().at(0)->windowFlags() & Qt::WindowType_Mask, Qt::Window);

    IEBar* resized = bars->Bars().back();
    resized->resize(333, 222);
    ASSERT_TRUE(QTest::qWaitFor([&] { return resized->size() == QSize(333, 222); }));
    app->LaunchBrowser(QStringLiteral("about:blank"), QStringLiteral("sized"));
    EXPECT_EQ(bars->Bars().back()->size(), QSize(333, 222));
    EXPECT_EQ(app->Prefs().GetInt(QStringLiteral("IEBar_cx"), 0), 333);
}

TEST_F(BrowserProgramTest, CloseRuleClosesFloatingBrowsersFirst) {
    login();
    app->LaunchBrowser(QStringLiteral("about:blank"), QStringLiteral("one"));
    app->LaunchBrowser(QStringLiteral("about:blank"), QStringLiteral("two"));
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    for (int press = 1; press <= 2; ++press) {
        QTest::keyClick(frame, Qt::Key_F4, Qt::AltModifier);
        EXPECT_TRUE(frame->isVisible()) << "press " << press;
    }
    EXPECT_TRUE(app->FloatingBars()->Bars().empty());
    QTest::keyClick(frame, Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }));
}

TEST_F(BrowserProgramTest, PropertiesFetchTheirTemplateOnceAndShowValuesAsText) {
    showBrowserRow();
    server.Script("/cmi/properties.html",
                  htmlReply("<html><head><title>{{V=TITLE}}</title></head><body><table>\n"
                            "{{beg:row}}\n<tr><td>{{V=LABEL}}</td><td id='v'>{{V=VALUE}}</td>"
                            "</tr>\n{{end:row}}\n</table></body></html>\n"));
    KPROPS list;
    list.Add(QStringLiteral("Name"), QStringLiteral("<b>x"));
    ASSERT_EQ(app->ShowProperties(system, list, false), 1);
    const QString first = frame->PropertiesURL();
    ASSERT_EQ(app->ShowProperties(system, list, false, QStringLiteral("Again")), 1);
    const QString second = frame->PropertiesURL();
    EXPECT_EQ(requestsTo("/cmi/properties.html").size(), 1u);
    EXPECT_TRUE(first.contains(QStringLiteral("?NeverCache="))) << first.toStdString();
    EXPECT_NE(first, second);
    EXPECT_TRUE(waitForTitle(QStringLiteral("Again")));
    QVariant shown;
    ASSERT_TRUE(browser->WebPage()->RunScriptAndWait(
        QStringLiteral("document.getElementById('v').textContent"), shown));
    EXPECT_EQ(shown.toString(), QStringLiteral("<b>x"));
}

TEST_F(BrowserProgramTest, PopupWindowsGoThroughTheServerOrAScriptPage) {
    login();
    app->Tree().SelectItem(serverItem, true);
    system->ServerType = QChar(CMySystem::kServerTypeVelnix);
    server.Script(FakeVelnixServer::kServicesPath,
                  "PopupWin=", htmlReply("<html><head><title>popup</title></head></html>"));
    ASSERT_EQ(app->ShowPopupWindow(QStringLiteral("/cmi/x?a=1")), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fakelogin::RequestsOf(server, "PopupWin=").empty(); },
                                30000));
    const QByteArray query = fakelogin::RequestsOf(server, "PopupWin=").front().query;
    EXPECT_TRUE(query.contains("&PopupProps=left=")) << query.toStdString();
    EXPECT_TRUE(query.endsWith("&Popup=/cmi/x&a=1")) << query.toStdString();

    system->ServerType = QChar(u'.');
    ASSERT_EQ(app->ShowPopupWindow(QStringLiteral("http://h/it's')")), 1);
    QString page;
    QFile file(root() + QStringLiteral("/.config/Zorvic/QVX/Quillex-js.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    page = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(page.contains(QStringLiteral("window.open (\"http://h/it's')\", \"win")))
        << page.toStdString();
}

TEST_F(BrowserProgramTest, HelpNeedsAServerAndReusesItsWindow) {
    const auto helpWindows = [] {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            count += qobject_cast<CWebWnd*>(widget) != nullptr && widget->isVisible() ? 1 : 0;
        }
        return count;
    };
    app->Tree().SelectItem(app->Tree().GetRootItem(), true);
    EXPECT_EQ(app->LaunchHelp(), 0);
    ASSERT_FALSE(boxes.isEmpty());
    EXPECT_TRUE(boxes.back().contains(QStringLiteral("unable to find an associated server help")))
        << boxes.back().toStdString();
    EXPECT_EQ(helpWindows(), 0);

    login();
    app->Tree().SelectItem(serverItem, true);
    server.Script("/help/WebHelp/starthelp.htm", htmlReply("<html><title>help</title></html>"));
    EXPECT_EQ(app->LaunchHelp(), 1);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !requestsTo("/help/WebHelp/starthelp.htm").empty(); }, 30000));
    EXPECT_EQ(app->LaunchHelp(QStringLiteral("/help/other.htm")), 1);
    EXPECT_EQ(helpWindows(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !requestsTo("/help/other.htm").empty(); }, 30000));
}

TEST_F(BrowserProgramTest, HtmlControlRunsAppWordsAndShowsItsPage) {
    QWidget dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* placeholder = new QLabel(QStringLiteral("placeholder"));
    placeholder->setProperty("controlId", 1234);
    layout->addWidget(placeholder);
    dialog.resize(400, 300);
    auto* control = new CHtmlCtrl;
    ASSERT_TRUE(control->CreateFromStatic(1234, &dialog));
    EXPECT_EQ(control->parentWidget(), &dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    control->setHtml(QString::fromUtf8(linkPage("ctrl", {"app:foo", "app:minimise"},
                                                "<div style='position:absolute;top:130px;"
                                                "width:300px;height:100px;background:#c03'>"
                                                "</div>")));
    ASSERT_TRUE(waitForTitle(QStringLiteral("ctrl"), control));

    QString shown;
    {
        ModalCloser<QMessageBox> box(
            [&](QMessageBox& message) { shown = message.windowTitle() + u'|' + message.text(); });
        click(*control, linkCentre(0));
        EXPECT_TRUE(QTest::qWaitFor([&] { return box.seen; }));
    }
    EXPECT_EQ(shown, QStringLiteral("Unexpected Command|foo"));

    const QImage screenshot = control->grab().toImage();
    EXPECT_EQ(screenshot.pixelColor(150, 180), QColor(0xcc, 0x00, 0x33))
        << "the page is painted in the pane";

    click(*control, linkCentre(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->isMinimized(); }));
}

// The server "Alpha" over HTTPS, with the self-signed certificate the fake
// server makes at its start.
class HttpsBrowserProgramTest : public BrowserProgramTest {
protected:
    HttpsBrowserProgramTest() : BrowserProgramTest(FakeVelnixServer::Transport::Https) {}
};

TEST_F(HttpsBrowserProgramTest, PagesTrustExactlyTheServerCertificatesTheRequestsAccepted) {
    showBrowserRow();
    open("/secure", "<html><head><title>secure</title></head><body>over TLS</body></html>",
         QStringLiteral("secure"));
    QVariant text;
    ASSERT_TRUE(
        browser->WebPage()->RunScriptAndWait(QStringLiteral("document.body.innerText"), text));
    EXPECT_EQ(text.toString(), QStringLiteral("over TLS"));

    // A server the requests reached, but not logged in.
    FakeVelnixServer other(FakeVelnixServer::Transport::Https);
    ASSERT_TRUE(other.IsListening());
    other.Script(FakeVelnixServer::kServicesPath, Reply::Xml("<pong/>"));
    CHttpRequest ping;
    ping.SetUrl(HttpUrl(other.BaseUrl() + QStringLiteral("/cmi/Services?Action=Ping")));
    ASSERT_TRUE(ping.Send()) << ping.ErrorText().toStdString();
    struct Case {
        QString url;
        const char* what;
    };
    const Case cases[] = {
        {QStringLiteral("https://localhost:%1/elsewhere").arg(server.Port()),
         "the logged-in server under another host name"},
        {other.BaseUrl() + QStringLiteral("/elsewhere"), "a server that is not logged in"},
    };
    const QByteArray elsewhere =
        "<html><head><title>elsewhere</title></head><body>not trusted</body></html>";
    server.Script("/elsewhere", htmlReply(elsewhere));
    other.Script("/elsewhere", htmlReply(elsewhere));
    for (const Case& c : cases) {
        QSignalSpy finished(browser, &QWebEngineView::loadFinished);
        browser->Navigate2(c.url);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 60000)) << c.what;
        EXPECT_FALSE(finished.last().at(0).toBool()) << c.what;
        EXPECT_NE(browser->title(), QStringLiteral("elsewhere")) << c.what;
    }
    EXPECT_TRUE(requestsTo("/elsewhere").empty());
    for (const auto& request : other.Requests()) {
        EXPECT_NE(request.path, QByteArray("/elsewhere"));
    }
}

}  // namespace
