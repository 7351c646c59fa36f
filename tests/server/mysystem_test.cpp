#include "server/mysystem.h"
#include "net/netdispatcher.h"
#include "resources/strings.h"
#include "settings/buildstamp.h"
#include "settings/preferences.h"
#include "settings/urlcoding.h"
#include "support/fakeloginreplies.h"
#include "support/recordedpopups.h"
#include "support/recordingmysystemsite.h"
#include "support/recordingwireservices.h"
#include "support/temphome.h"
#include "tree/mytree.h"
#include "tree/treeimages.h"
#include "ui/menucommandids.h"

#include <QTest>
#include <QTreeWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Reply = FakeVelnixServer::Reply;

const QByteArray kMenus =
    "<menu id='node.menu'><menu-item label='Ping' action1='ping'/>"
    "<separator/><menu-item label='Trace' alt-enter='1'/></menu>";
const QByteArray kRules =
    "<drag-info drag-type='Node'><drop-target drag-type='group' "
    "action1='move'/></drag-info>";
const QByteArray kFilters = "<element_type id='r' value='Router'/><protocol id='s' value='SNMP'/>";
const QByteArray kTree =
    "<component label='Home' panel-type='grid' main-grid-url='/g'/>"
    "<item label='HTTP-401 alarms' tree-url='/a'/>"
    "<item label='Reports' tree-url='/r'/>";

FakeLoginReply fullReply() {
    FakeLoginReply reply;
    reply.helpUrl = "/help";
    reply.tree = kTree;
    reply.contextMenus = kMenus;
    reply.dragInfoList = kRules;
    reply.additionalFilter = kFilters;
    return reply;
}

class MySystemTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        site.prefs = &prefs;
        ASSERT_TRUE(server.IsListening());
        fakelogin::ScriptCmiLogAndCancel(server);
        system = std::make_unique<CMySystem>();
        pointAt(*system, server);
    }
    void TearDown() override {
        system.reset();
        SetBuildNumOverride(QString());
        TempHomeTest::TearDown();
    }
    static void pointAt(CMySystem& target, const FakeVelnixServer& at) {
        target.Host = u"127.0.0.1"_qs;
        target.WebPort = at.Port();
        target.User = u"ops"_qs;
        target.Password = u"secret"_qs;
    }
    int login(QString& error) { return system->Login(error, nullptr, nullptr, false); }

    RecordingWireServices services;
    CPreferences prefs;
    RecordingMySystemSite site;
    FakeVelnixServer server;
    std::unique_ptr<CMySystem> system;
};

TEST_F(MySystemTest, BaseUrl) {
    struct Case {
        const char16_t* protocol;
        int port;
        const char16_t* user;
        const char16_t* password;
        bool withCredentials;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"http", 80, u"ops", u"pw", false, u"http://h"},
        {u"http", 80, u"ops", u"pw", true, u"http://ops:pw@h"},
        {u"http", 80, u"", u"pw", true, u"http://h"},
        {u"https", 443, u"ops", u"pw", false, u"https://h:443"},
        {u"http", 8080, u"a b", u"p@ss:/", true, u"http://a%20b:p%40ss%3A%2F@h:8080"},
    };
    for (const Case& c : cases) {
        CMySystem connection;
        connection.Host = u"h"_qs;
        connection.Protocol = QString::fromUtf16(c.protocol);
        connection.WebPort = c.port;
        connection.User = QString::fromUtf16(c.user);
        connection.Password = QString::fromUtf16(c.password);
        EXPECT_EQ(connection.GetBaseURL(c.withCredentials), QString::fromUtf16(c.expected));
    }
}

TEST_F(MySystemTest, LoginKeepsTheServersFactsAndSections) {
    server.RequireBasicAuth("ops", "secret");
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(login(error), 1);
    EXPECT_EQ(error, QString());
    EXPECT_TRUE(system->LoggedIn);
    EXPECT_NE(system->GetLoginTime(), 0);
    EXPECT_EQ(system->GetCmiVersion(), u"9.1"_qs);
    EXPECT_EQ(system->GetServerTypeText(), u"Velnix PM"_qs);
    EXPECT_EQ(system->GetServerVersion(), u"5.2"_qs);
    EXPECT_EQ(system->GetServerInfo(), u"linux"_qs);
    EXPECT_EQ(system->GetHelpURL(), u"/help"_qs);
    EXPECT_EQ(system->ServerType, QChar(u'Q'));
    EXPECT_EQ(system->GetServerStatus(), 'G');
    EXPECT_EQ(system->GetServerMessage(), u"You are logged in."_qs);
    EXPECT_EQ(system->GetTreeXML(), u"<tree>"_qs + QString::fromUtf8(kTree) + u"</tree>"_qs);

    EXPECT_EQ(system->GetContextMenu(u"node.menu"_qs).Count(), 3);
    EXPECT_EQ(system->FindContextMenuItemId(u"node"_qs, u"alt-enter"_qs),
              system->GetContextMenu(u"node"_qs).ItemAt(2).GetCommandId());
    EXPECT_EQ(site.commandIds.Owner(system->GetContextMenu(u"node"_qs).ItemAt(0).GetCommandId()),
              system->GetServerId());
    EXPECT_TRUE(system->GetDropRules().Find(u"node"_qs).CanDrop(u"Group"_qs));
    EXPECT_TRUE(system->GetFilterOptions().IsLoaded());
    EXPECT_EQ(system->GetFilterOptions().ElementTypes().size(), 1U);
    EXPECT_THAT(PopupTexts(services), IsEmpty());
    EXPECT_THAT(site.browsers, IsEmpty());
}

// A World View may hold hundreds of thousands of server entries, most never
// used: an entry makes its parsers and its read buffer only when it reads.
TEST_F(MySystemTest, AServerEntryIsCheapUntilItIsUsed) {
    EXPECT_FALSE(system->HasParser());
    EXPECT_FALSE(system->GetDropRules().HasParser());
    EXPECT_FALSE(system->GetFilterOptions().HasParser());
    EXPECT_LT(sizeof(CMySystem), static_cast<size_t>(CMyWire::kBufferSize));
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(login(error), 1) << error.toStdString();
    EXPECT_EQ(system->GetContextMenu(u"node.menu"_qs).Count(), 3);
    EXPECT_TRUE(system->GetDropRules().Find(u"node"_qs).CanDrop(u"Group"_qs));
    EXPECT_TRUE(system->GetFilterOptions().IsLoaded());
}

TEST_F(MySystemTest, LoginRequestNamesTheBuild) {
    fakelogin::ScriptLogin(server, fullReply());
    struct Case {
        const char16_t* buildNum;
        const char* protocolVersion;
        const char* clientBuildNum;
    };
    const Case cases[] = {
        {u"99033112", "9999", "99033112"},
        {u"0", "2009", "0"},
        {u"1234x", "2009", "1234"},
    };
    for (const Case& c : cases) {
        server.ClearRequests();
        SetBuildNumOverride(QString::fromUtf16(c.buildNum));
        QString error;
        ASSERT_EQ(login(error), 1) << error.toStdString();
        const auto requests = fakelogin::RequestsOf(server, fakelogin::kLoginQuery);
        ASSERT_EQ(requests.size(), 1U);
        EXPECT_EQ(requests[0].path, FakeVelnixServer::kServicesPath);
        EXPECT_EQ(requests[0].query,
                  "Action=Login&ProtocolVersion=" + QByteArray(c.protocolVersion) +
                      "&ClientBuildNum=" + c.clientBuildNum +
                      "&ClientBuildNote=" + EncodeForURL(GetBuildNote()).toUtf8());
    }
}

TEST_F(MySystemTest, ShowXmlOpensTheLoginUrlInABrowserWindow) {
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(system->Login(error, nullptr, nullptr, true), 1);
    ASSERT_EQ(site.browsers.size(), 1);
    EXPECT_TRUE(site.browsers[0].startsWith(server.BaseUrl() + u"/cmi/Services?Action=Login&"_qs));
    EXPECT_TRUE(site.browsers[0].endsWith(u" | Quillet for Velnix by Zorvic"_qs));
}

TEST_F(MySystemTest, PortZeroLogsInOnPort80) {
    system->WebPort = 0;
    EXPECT_EQ(system->GetBaseURL(false), u"http://127.0.0.1:0"_qs);
    QString error;
    login(error);
    EXPECT_EQ(system->WebPort, 80);
    EXPECT_EQ(system->GetBaseURL(false), u"http://127.0.0.1"_qs);
}

TEST_F(MySystemTest, MessageInTheReplyFailsTheLogin) {
    FakeLoginReply reply = fullReply();
    reply.message = "  Licence expired.  ";
    fakelogin::ScriptLogin(server, reply);
    QString error;
    EXPECT_EQ(login(error), 0);
    EXPECT_EQ(error, u"Licence expired."_qs);
    EXPECT_FALSE(system->LoggedIn);
    EXPECT_TRUE(system->GetMenuSet().IsEmpty());
    EXPECT_THAT(PopupTexts(services), ElementsAre(u"Licence expired."_qs));
}

TEST_F(MySystemTest, MalformedReplyFailsWithItsParseError) {
    server.Script(FakeVelnixServer::kServicesPath, fakelogin::kLoginQuery,
                  Reply::Xml("<cmi><cmi-version>1</cmi-version><tree>"));
    QString error;
    EXPECT_EQ(login(error), 0);
    EXPECT_TRUE(error.startsWith(u"XML Error: "_qs)) << error.toStdString();
    EXPECT_FALSE(system->LoggedIn);
}

TEST_F(MySystemTest, FailedStatusesGiveTheirTexts) {
    const QString broken =
        u"\n\rThe server portion of Quillex (the \"CMI\") seems to be broken."_qs;
    struct Case {
        int status;
        QString expected;
    };
    const Case cases[] = {
        {400, u"HTTP-400\n\r__________\n\rIs the HTTP/HTTPS radio button correct?"_qs},
        {401, LoadResourceString(553)},
        {403, u"HTTP-403"_qs + broken},
        {404, LoadResourceString(554)},
        {405, u"HTTP-405"_qs + broken},
        {406, u"HTTP-406"_qs + broken},
        {500, u"HTTP-500"_qs + broken},
        {407, u"HTTP-407"_qs},
        {502, u"HTTP-502"_qs},
    };
    for (const Case& c : cases) {
        fakelogin::ScriptLoginStatus(server, c.status);
        QString error;
        EXPECT_EQ(login(error), 0) << c.status;
        EXPECT_EQ(error, c.expected) << c.status;
        EXPECT_FALSE(system->LoggedIn);
    }
}

TEST_F(MySystemTest, UnreachableServerGivesAConnectionError) {
    int port = 0;
    {
        const FakeVelnixServer gone;
        port = gone.Port();
    }
    system->WebPort = port;
    QString error;
    EXPECT_EQ(login(error), 0);
    EXPECT_FALSE(error.isEmpty());
}

// Only whole element names count, and a text that mentions a 401 is no 401.
TEST_F(MySystemTest, SimilarElementNamesAndTextsDoNotFailTheLogin) {
    FakeLoginReply reply = fullReply();
    reply.extraXml =
        "<messages>HTTP-401 seen yesterday</messages>"
        "<context-menus-old><menu id='old'/></context-menus-old>";
    fakelogin::ScriptLogin(server, reply);
    QString error;
    EXPECT_EQ(login(error), 1) << error.toStdString();
    EXPECT_EQ(error, QString());
    EXPECT_EQ(system->GetMenuSet().Find(u"old"_qs), nullptr);
    EXPECT_NE(system->GetMenuSet().Find(u"node"_qs), nullptr);
}

TEST_F(MySystemTest, ReplyWithoutCmiVersionStillLogsIn) {
    FakeLoginReply reply = fullReply();
    reply.cmiVersion.reset();
    fakelogin::ScriptLogin(server, reply);
    QString error;
    EXPECT_EQ(login(error), 1);
    EXPECT_TRUE(system->LoggedIn);
    EXPECT_TRUE(error.startsWith(u"MALFORMED XML\n<?xml"_qs)) << error.toStdString();
    EXPECT_TRUE(error.endsWith(u"</cmi>\n\n"_qs));
}

TEST_F(MySystemTest, ServerStatusAndMessage) {
    struct Case {
        std::optional<QByteArray> status;
        std::optional<QByteArray> pollers;
        std::optional<QByteArray> message;
        int expectedStatus;
        const char16_t* expectedMessage;
    };
    const Case cases[] = {
        {std::nullopt, "0", std::nullopt, 'R', u"Server state is unknown."},
        {std::nullopt, std::nullopt, std::nullopt, 'R', u"Server state is unknown."},
        {std::nullopt, "3", std::nullopt, 'G', u"You are logged in."},
        {"82", "3", std::nullopt, 'R', u"Server state is unknown."},
        {"71", "0", std::nullopt, 'G', u"You are logged in."},
        {"5", "0", std::nullopt, 5, u"Server state is unknown."},
        {std::nullopt, "0", "Pollers are starting", 'R', u"Pollers are starting"},
    };
    for (const Case& c : cases) {
        FakeLoginReply reply = fullReply();
        reply.serverStatus = c.status;
        reply.pollerCount = c.pollers;
        reply.serverMessage = c.message;
        fakelogin::ScriptLogin(server, reply);
        QString error;
        ASSERT_EQ(login(error), 1);
        EXPECT_EQ(system->GetServerStatus(), c.expectedStatus);
        EXPECT_EQ(system->GetServerMessage(), QString::fromUtf16(c.expectedMessage));
    }
}

TEST_F(MySystemTest, ServerTypeLetter) {
    FakeLoginReply reply = fullReply();
    reply.serverType = "Other PM";
    fakelogin::ScriptLogin(server, reply);
    QString error;
    ASSERT_EQ(login(error), 1);
    EXPECT_EQ(system->ServerType, QChar(u'.'));
}

TEST_F(MySystemTest, HideRememberLoginClearsStoredLogins) {
    prefs.SetString(u"AskStorePass"_qs, u"1"_qs);
    prefs.SetString(u"AutoLogin"_qs, u"1"_qs);
    prefs.SetCredentials(u"127.0.0.1:80"_qs, u"ops"_qs, u"secret"_qs);
    FakeLoginReply reply = fullReply();
    fakelogin::ScriptLogin(server, reply);
    QString error;
    ASSERT_EQ(login(error), 1);
    EXPECT_EQ(prefs.GetString(u"AskStorePass"_qs), u"1"_qs);
    EXPECT_EQ(prefs.Credentials().Count(), 1);

    reply.serverOptions = "[CHARTS][HIDE_REMEMBER_LOGIN]";
    fakelogin::ScriptLogin(server, reply);
    ASSERT_EQ(login(error), 1);
    EXPECT_EQ(prefs.GetString(u"HideRememberLogin"_qs), u"1"_qs);
    EXPECT_EQ(prefs.GetString(u"AskStorePass"_qs, u"absent"_qs), QString());
    EXPECT_EQ(prefs.GetString(u"AutoLogin"_qs, u"absent"_qs), QString());
    EXPECT_EQ(prefs.Credentials().Count(), 0);
}

TEST_F(MySystemTest, EarlierSessionCookieIsNotSentWithTheLogin) {
    server.Script("/cmi/Start", Reply::Xml("<cmi/>")
                                    .header("Set-Cookie", "VelnixSession=old; Path=/")
                                    .header("Set-Cookie", "Theme=dark; Path=/"));
    fakelogin::ScriptLogin(server, fullReply());
    QString reply;
    QString error;
    ASSERT_TRUE(system->FetchDocument(u"/cmi/Start"_qs, reply, error)) << error.toStdString();
    ASSERT_EQ(login(error), 1);
    const auto logins = fakelogin::RequestsOf(server, fakelogin::kLoginQuery);
    ASSERT_EQ(logins.size(), 1U);
    EXPECT_THAT(logins[0].header("cookie").toStdString(),
                ::testing::Not(HasSubstr("VelnixSession")));
    EXPECT_THAT(logins[0].header("cookie").toStdString(), HasSubstr("Theme=dark"));
}

TEST_F(MySystemTest, LogoutSendsNothingAndForgetsTheLogin) {
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(login(error), 1);
    const int otherServersId = site.commandIds.Alloc(system->GetServerId() + 1);
    const int ownId = system->GetContextMenu(u"node"_qs).ItemAt(0).GetCommandId();
    server.ClearRequests();

    EXPECT_EQ(system->Logout(nullptr, nullptr), 1);
    EXPECT_THAT(server.Requests(), IsEmpty());
    EXPECT_FALSE(system->LoggedIn);
    EXPECT_EQ(system->ServerType, QChar(u'.'));
    EXPECT_EQ(system->GetCmiVersion(), QString());
    EXPECT_EQ(system->GetServerInfo(), QString());
    EXPECT_EQ(system->GetLoginTime(), 0);
    EXPECT_EQ(system->GetLoginAttemptTime(), 0);
    EXPECT_TRUE(system->GetMenuSet().IsEmpty());
    EXPECT_EQ(system->GetContextMenu(u"node"_qs).Count(), 0);
    EXPECT_EQ(system->GetDropRules().Count(), 0);
    EXPECT_FALSE(system->GetFilterOptions().IsLoaded());
    EXPECT_EQ(site.commandIds.Owner(ownId), 0U);
    EXPECT_NE(site.commandIds.Owner(otherServersId), 0U);
}

TEST_F(MySystemTest, LogoutOfAServerNeverLoggedInDoesNothing) {
    QTreeWidget control;
    CMyTree tree;
    tree.AttachTreeCtrl(&control);
    QTreeWidgetItem* item = tree.AddSystemItem(tree.AddRootItem(u"W"_qs), u"alpha"_qs, *system);
    EXPECT_EQ(system->Logout(&tree, item), 1);
    EXPECT_THAT(site.statusTexts, IsEmpty());
    EXPECT_EQ(site.gridHidden, 0);
}

TEST_F(MySystemTest, ReloginReplacesRulesAndFilters) {
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(login(error), 1);
    ASSERT_EQ(login(error), 1);
    EXPECT_EQ(system->GetDropRules().Count(), 1);
    EXPECT_EQ(system->GetFilterOptions().ElementTypes().size(), 1U);
    EXPECT_EQ(system->GetFilterOptions().Protocols().size(), 1U);
}

TEST_F(MySystemTest, CmiLogEncodesItsMessage) {
    system->CmiLog(u"user & admin = 100%"_qs);
    const auto logs = fakelogin::RequestsOf(server, fakelogin::kCmiLogQuery);
    ASSERT_EQ(logs.size(), 1U);
    EXPECT_EQ(logs[0].query, "Action=CmiLog&Msg=user+%26+admin+%3D+100%25");
}

TEST_F(MySystemTest, ContextMenuLookupsOfMissingMenusGiveNothing) {
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(login(error), 1);
    EXPECT_EQ(system->GetContextMenu(u"absent"_qs).Count(), 0);
    EXPECT_EQ(system->FindContextMenuItemId(u"absent"_qs, u"Ping"_qs), 0);
    EXPECT_EQ(system->FindContextMenuItemId(u"node"_qs, QString()), 0);
    EXPECT_EQ(system->FindContextMenuItemId(QString(), u"Ping"_qs), 0);
    EXPECT_EQ(system->PickContextMenuItem(u"absent"_qs, u"Ping"_qs), 0);
    EXPECT_EQ(system->InvokeContextMenuItem(u"node"_qs, 0), 0);
    EXPECT_NE(system->FindContextMenuItemId(u"node.menu"_qs, u"ping"_qs), 0);
}

TEST_F(MySystemTest, FetchDataSendsThroughThisConnection) {
    server.Script(FakeVelnixServer::kServicesPath, "Action=Save", Reply::Xml("<cmi/>"));
    EXPECT_TRUE(system->FetchData(u" \t\n/cmi/Services?Action=Save&X=1"_qs, QString(), false));
    services.cancelFlag = 1;
    EXPECT_FALSE(system->FetchData(u"/cmi/Services?Action=Save&X=2"_qs, QString(), false));
    // Forced, the request goes out; the cancel flag still stops reading the reply.
    system->FetchData(u"/cmi/Services?Action=Save&X=3"_qs, QString(), true);
    services.cancelFlag = 0;
    const auto saves = fakelogin::RequestsOf(server, "Action=Save");
    ASSERT_EQ(saves.size(), 2U);
    EXPECT_EQ(saves[0].query, "Action=Save&X=1");
    EXPECT_EQ(saves[1].query, "Action=Save&X=3");
    EXPECT_NE(system->GetLastRequestTime(), 0);
}

// The World View: the login's tree goes under the server entry, a logout
// takes it away again.
class MySystemTreeTest : public MySystemTest {
protected:
    void SetUp() override {
        MySystemTest::SetUp();
        tree.AttachTreeCtrl(&control);
        site.tree = &tree;
        root = tree.AddRootItem(u"W"_qs);
        alpha = addServer(u"alpha"_qs, server);
    }
    QTreeWidgetItem* addServer(const QString& label, const FakeVelnixServer& at) {
        CMySystem settings;
        pointAt(settings, at);
        return tree.AddSystemItem(root, label, settings);
    }
    CMySystem& systemOf(QTreeWidgetItem* item) {
        return dynamic_cast<CMySystem&>(*tree.GetSystem(item));
    }
    static QStringList childTexts(const QTreeWidgetItem* item) {
        QStringList texts;
        for (int i = 0; i < item->childCount(); ++i) {
            texts << item->child(i)->text(0);
        }
        return texts;
    }

    QTreeWidget control;
    CMyTree tree;
    QTreeWidgetItem* root = nullptr;
    QTreeWidgetItem* alpha = nullptr;
};

TEST_F(MySystemTreeTest, LoginMergesTheTreeUnderTheServerEntry) {
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(systemOf(alpha).Login(error, &tree, alpha, false), 1) << error.toStdString();
    EXPECT_EQ(childTexts(alpha), (QStringList{u"HTTP-401 alarms"_qs, u"Reports"_qs}));
    const CMyItem* record = tree.GetMyItem(alpha);
    EXPECT_EQ(record->PanelParts, 0x1u | 0x10u);
    EXPECT_EQ(record->PanelDialog, 5386);
    EXPECT_EQ(record->Parts.GetNameAt(0), u"grid:/g"_qs);
    EXPECT_EQ(tree.GetSelectedItem(), alpha);
    EXPECT_TRUE(tree.IsItemExpanded(alpha));
    EXPECT_THAT(site.statusTexts, ElementsAre(u"Logging in to: alpha ..."_qs));
    EXPECT_THAT(site.history, ElementsAre(tree.GetFullCurl(alpha)));
    EXPECT_EQ(site.smartCardStarts, 1);
}

TEST_F(MySystemTreeTest, ServerWithoutAPanelOfItsOwnGetsTheLogoutPanel) {
    FakeLoginReply reply = fullReply();
    reply.tree = "<item label='Reports' tree-url='/r'/>";
    reply.pollerCount = "0";
    fakelogin::ScriptLogin(server, reply);
    prefs.SetInt(u"SCAuthentication"_qs, 0);
    QString error;
    ASSERT_EQ(systemOf(alpha).Login(error, &tree, alpha, false), 1);
    const CMyItem* record = tree.GetMyItem(alpha);
    EXPECT_EQ(record->PanelParts, 0x10u);
    EXPECT_EQ(record->PanelDialog, 5386);
    EXPECT_EQ(record->ImageIdx, kImageSystemR);
    EXPECT_EQ(site.smartCardStarts, 0);
}

TEST_F(MySystemTreeTest, LogoutResetsTheServerEntry) {
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(systemOf(alpha).Login(error, &tree, alpha, false), 1);
    site.statusTexts.clear();
    ASSERT_EQ(systemOf(alpha).Logout(&tree, alpha), 1);
    EXPECT_THAT(childTexts(alpha), IsEmpty());
    const CMyItem* record = tree.GetMyItem(alpha);
    EXPECT_EQ(record->PanelParts, 0x10u);
    EXPECT_EQ(record->PanelDialog, 257);
    EXPECT_EQ(record->ImageIdx, kImageSystem0);
    EXPECT_EQ(record->Parts.Count(), 0);
    EXPECT_EQ(tree.GetSelectedItem(), alpha);
    EXPECT_THAT(site.statusTexts, ElementsAre(u"Logging out of: alpha ..."_qs));
    EXPECT_EQ(site.gridHidden, 1);
}

// A 401 on one server's document logs that server out, whichever item is
// selected.
TEST_F(MySystemTreeTest, UnauthorisedFetchLogsOutThisServerOnly) {
    FakeVelnixServer other;
    ASSERT_TRUE(other.IsListening());
    QTreeWidgetItem* beta = addServer(u"beta"_qs, other);
    fakelogin::ScriptLogin(server, fullReply());
    fakelogin::ScriptLogin(other, fullReply());
    QString error;
    ASSERT_EQ(systemOf(alpha).Login(error, &tree, alpha, false), 1);
    ASSERT_EQ(systemOf(beta).Login(error, &tree, beta, false), 1);
    ASSERT_EQ(tree.GetSelectedItem(), beta);
    // Logged in within the same second, the two still own their ids apart.
    EXPECT_NE(systemOf(alpha).GetServerId(), systemOf(beta).GetServerId());
    const int betaId = systemOf(beta).GetContextMenu(u"node"_qs).ItemAt(0).GetCommandId();
    server.Script("/cmi/Gone", Reply::Xml("<cmi/>", 401));

    QString reply;
    EXPECT_FALSE(systemOf(alpha).FetchDocument(u"/cmi/Gone"_qs, reply, error));
    EXPECT_EQ(error, u"HTTP-401"_qs);
    EXPECT_FALSE(systemOf(alpha).LoggedIn);
    EXPECT_THAT(childTexts(alpha), IsEmpty());
    EXPECT_TRUE(systemOf(beta).LoggedIn);
    EXPECT_EQ(childTexts(beta).size(), 2);
    EXPECT_EQ(site.commandIds.Owner(betaId), systemOf(beta).GetServerId());
}

TEST_F(MySystemTreeTest, UnauthorisedRequestLogsOutTheSelectedServer) {
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(systemOf(alpha).Login(error, &tree, alpha, false), 1);
    tree.SelectItem(alpha->child(1), false);
    EXPECT_EQ(LogoutIfUnauthorized(tree), 0);
    EXPECT_TRUE(systemOf(alpha).LoggedIn);

    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&checkconnection=1",
                  Reply::Xml("no", 401));
    quint16 requesterId = 0;
    site.dispatcher.SendRequest(kNetRequestGrid, requesterId,
                                server.BaseUrl() + u"/cmi/Services?Action=Grid"_qs, u"ops"_qs,
                                u"secret"_qs, QString());
    // The request's worker probes the server after the hand-over.
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.dispatcher.LastHttpStatus() == 401; }));
    EXPECT_EQ(LogoutIfUnauthorized(tree), 1);
    EXPECT_FALSE(systemOf(alpha).LoggedIn);
    EXPECT_THAT(childTexts(alpha), IsEmpty());
    EXPECT_THAT(PopupTexts(services), ElementsAre(LoadResourceString(553)));
}

TEST_F(MySystemTreeTest, DeletedServerEntryGivesItsCommandIdsBack) {
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(systemOf(alpha).Login(error, &tree, alpha, false), 1);
    ASSERT_EQ(systemOf(alpha).Login(error, &tree, alpha, false), 1);
    const int id = systemOf(alpha).GetContextMenu(u"node"_qs).ItemAt(0).GetCommandId();
    ASSERT_NE(site.commandIds.Owner(id), 0U);
    tree.DeleteItem(alpha);
    EXPECT_EQ(site.commandIds.Owner(id), 0U);
    EXPECT_EQ(site.commandIds.Alloc(1), CMenuCommandIds::kFirstId);
}

TEST_F(MySystemTreeTest, CopiesOfServerEntriesCarryTheSettings) {
    fakelogin::ScriptLogin(server, fullReply());
    QString error;
    ASSERT_EQ(systemOf(alpha).Login(error, &tree, alpha, false), 1);
    std::unique_ptr<CServerConnection> copy = systemOf(alpha).Clone();
    auto* copied = dynamic_cast<CMySystem*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->Host, u"127.0.0.1"_qs);
    EXPECT_EQ(copied->GetServerTypeText(), u"Velnix PM"_qs);
    EXPECT_TRUE(copied->LoggedIn);
    EXPECT_TRUE(copied->GetMenuSet().IsEmpty());
}

}  // namespace
