#include "server/loginall.h"

#include "platform/http.h"
#include "settings/preferences.h"
#include "support/fakeloginreplies.h"
#include "support/recordingmysystemsite.h"
#include "support/recordingwireservices.h"
#include "support/temphome.h"
#include "tree/mytree.h"

#include <QTreeWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using Reply = FakeVelnixServer::Reply;

class RecordingLoginProgress : public CLoginProgress {
public:
    void Start(const QString& title, int estimate) override {
        this->title = title;
        this->estimate = estimate;
    }
    void Step() override { ++steps; }
    void SetActionText(const QString& text) override { texts << text; }
    bool IsCancelled() override { return cancelAfterSteps >= 0 && steps >= cancelAfterSteps; }
    void End() override { ended = true; }

    QString title;
    int estimate = -1;
    int steps = 0;
    int cancelAfterSteps = -1;
    QStringList texts;
    bool ended = false;
};

class LoginAllTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        tree.AttachTreeCtrl(&control);
        rootItem = tree.AddRootItem(QStringLiteral("W"));
    }
    void TearDown() override {
        HttpSetConnectTo({});
        TempHomeTest::TearDown();
    }
    // A fake server that answers for `host` on port 80, or over HTTPS on 443.
    FakeVelnixServer& serverFor(const QString& host, bool https = false) {
        servers.push_back(std::make_unique<FakeVelnixServer>(
            https ? FakeVelnixServer::Transport::Https : FakeVelnixServer::Transport::Http));
        connectTo << QStringLiteral("%1:%2:127.0.0.1:%3")
                         .arg(host)
                         .arg(https ? 443 : 80)
                         .arg(servers.back()->Port());
        HttpSetConnectTo(connectTo);
        fakelogin::ScriptCmiLogAndCancel(*servers.back());
        return *servers.back();
    }
    QTreeWidgetItem* addServer(const QString& label, const QString& host, int port,
                               const QString& user = {}, const QString& password = {}) {
        CMySystem settings;
        settings.Host = host;
        settings.WebPort = port;
        settings.User = user;
        settings.Password = password;
        return tree.AddSystemItem(rootItem, label, settings);
    }
    CMySystem& systemOf(QTreeWidgetItem* item) {
        return dynamic_cast<CMySystem&>(*tree.GetSystem(item));
    }

    RecordingWireServices services;
    RecordingMySystemSite site;
    QTreeWidget control;
    CMyTree tree;
    QTreeWidgetItem* rootItem = nullptr;
    std::vector<std::unique_ptr<FakeVelnixServer>> servers;
    QStringList connectTo;
    RecordingLoginProgress progress;
};

TEST_F(LoginAllTest, MatchingCountsLabelsAndHostsCaseSensitively) {
    addServer(QStringLiteral("Alpha"), QStringLiteral("alpha.example"), 80);
    addServer(QStringLiteral("Beta"), QStringLiteral("beta.example"), 8080);
    addServer(QStringLiteral("Lab"), QStringLiteral("10.0.0.1"), 80);
    const struct {
        const char16_t* text;
        int expected;
    } cases[] = {{u"", 3}, {u"lph", 1}, {u"example", 2}, {u"ALPHA", 0}, {u"10.0", 1}, {u"W", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(CLoginAll::CountMatchingSystems(tree, QString::fromUtf16(c.text), nullptr),
                  c.expected)
            << QString::fromUtf16(c.text).toStdString();
    }
}

TEST_F(LoginAllTest, EntriesAreLoggedInSkippedOrLeftAsTheyAre) {
    FakeVelnixServer& alpha = serverFor(QStringLiteral("alpha"));
    alpha.RequireBasicAuth("admin", "plovern");
    fakelogin::ScriptLogin(alpha, FakeLoginReply());
    FakeVelnixServer& delta = serverFor(QStringLiteral("delta"));
    delta.RequireBasicAuth("ops", "pw");
    fakelogin::ScriptLogin(delta, FakeLoginReply());
    QTreeWidgetItem* a = addServer(QStringLiteral("alpha"), QStringLiteral("alpha"), 80);
    QTreeWidgetItem* d =
        addServer(QStringLiteral("delta"), QStringLiteral("delta"), 80, u"ops"_qs, u"pw"_qs);
    FakeVelnixServer& secure = serverFor(QStringLiteral("secure"), true);
    secure.RequireBasicAuth("admin", "plovern");
    fakelogin::ScriptLogin(secure, FakeLoginReply());
    QTreeWidgetItem* s = addServer(QStringLiteral("secure"), QStringLiteral("secure"), 443);
    systemOf(s).Protocol = QStringLiteral("https");
    QTreeWidgetItem* g = addServer(QStringLiteral("gamma"), QStringLiteral("gamma"), 8080);
    QTreeWidgetItem* e = addServer(QStringLiteral("epsilon"), QStringLiteral("epsilon"), 80);
    systemOf(e).LoggedIn = true;

    CLoginAll run(tree, progress);
    run.LoginAllMatching(QString());

    EXPECT_TRUE(systemOf(a).LoggedIn);
    EXPECT_TRUE(systemOf(d).LoggedIn);
    EXPECT_TRUE(systemOf(s).LoggedIn);
    EXPECT_FALSE(systemOf(g).LoggedIn);
    EXPECT_EQ(systemOf(a).User, u"admin"_qs);
    EXPECT_EQ(systemOf(g).User, QString()) << "a skipped entry keeps its empty credentials";
    EXPECT_EQ(progress.title, u"Logging into all systems "_qs);
    EXPECT_EQ(progress.estimate, 5);
    EXPECT_EQ(progress.steps, 5);
    EXPECT_THAT(progress.texts, Contains(u"Skipped: gamma"_qs));
    EXPECT_THAT(progress.texts, Contains(u"Already logged in: epsilon"_qs));
    EXPECT_THAT(site.statusTexts, Contains(u"Logging in: alpha"_qs));
    EXPECT_TRUE(run.Failures().isEmpty());
    EXPECT_TRUE(progress.ended);
    EXPECT_TRUE(services.popups().empty());
}

// With smart-card authentication on, an HTTPS entry logs in only when the
// program has a certificate for it; plain HTTP entries are never asked.
TEST_F(LoginAllTest, SmartCardEntriesNeedTheirCertificate) {
    CPreferences prefs;
    site.prefs = &prefs;
    for (const bool ready : {false, true}) {
        SCOPED_TRACE(ready ? "certificate ready" : "no certificate");
        site.smartCardReady = ready;
        site.smartCardPreparations = 0;
        progress.texts.clear();
        // Host names of their own: each run's servers are new.
        const QString secureHost = ready ? u"secure1"_qs : u"secure0"_qs;
        const QString plainHost = ready ? u"plain1"_qs : u"plain0"_qs;
        FakeVelnixServer& secure = serverFor(secureHost, true);
        fakelogin::ScriptLogin(secure, FakeLoginReply());
        FakeVelnixServer& plain = serverFor(plainHost);
        fakelogin::ScriptLogin(plain, FakeLoginReply());
        QTreeWidgetItem* s = addServer(u"secure"_qs, secureHost, 443, u"ops"_qs, u"pw"_qs);
        systemOf(s).Protocol = QStringLiteral("https");
        QTreeWidgetItem* p = addServer(u"plain"_qs, plainHost, 80, u"ops"_qs, u"pw"_qs);

        CLoginAll run(tree, progress);
        run.LoginAllMatching(QString());

        EXPECT_EQ(site.smartCardPreparations, 1);
        EXPECT_EQ(systemOf(s).LoggedIn, ready);
        EXPECT_EQ(fakelogin::RequestsOf(secure, fakelogin::kLoginQuery).empty(), !ready);
        EXPECT_TRUE(systemOf(p).LoggedIn);
        if (ready) {
            EXPECT_TRUE(run.Failures().isEmpty()) << run.Failures().join(u'|').toStdString();
        } else {
            EXPECT_EQ(run.Failures(), QStringList({u"secure: no smart-card certificate"_qs}));
            EXPECT_THAT(progress.texts, Contains(u"Logging in: secure  (failed)"_qs));
        }
        tree.DeleteItem(s);
        tree.DeleteItem(p);
    }
    site.prefs = nullptr;
}

TEST_F(LoginAllTest, AtMostFourWaitAtOnceAndFailuresAreNamed) {
    FakeVelnixServer& refusing = serverFor(QStringLiteral("refusing"));
    refusing.RequireBasicAuth("someone", "else");
    fakelogin::ScriptLogin(refusing, FakeLoginReply());
    FakeVelnixServer& dropping = serverFor(QStringLiteral("dropping"));
    Reply dropped = Reply::Xml(FakeLoginReply().Xml());
    dropped.dropAfterBytes = 10;
    dropping.Script(FakeVelnixServer::kServicesPath, fakelogin::kLoginQuery, dropped);
    addServer(QStringLiteral("refusing"), QStringLiteral("refusing"), 80);
    addServer(QStringLiteral("dropping"), QStringLiteral("dropping"), 80);
    std::vector<FakeVelnixServer*> held;
    std::vector<QTreeWidgetItem*> heldItems;
    for (int i = 0; i < 6; ++i) {
        const QString host = QStringLiteral("held%1").arg(i);
        FakeVelnixServer& server = serverFor(host);
        const QByteArray xml = FakeLoginReply().Xml();
        Reply reply = Reply::Xml({});
        reply.chunks = {xml.left(5), xml.mid(5)};
        reply.holdChunks = true;
        server.Script(FakeVelnixServer::kServicesPath, fakelogin::kLoginQuery, reply);
        held.push_back(&server);
        heldItems.push_back(addServer(host, host, 80));
    }

    // Lets each held login go once it arrived; notes how many had arrived
    // while the first four were still held.
    std::atomic<int> arrivedWhileHeld{-1};
    std::thread releaser([&held, &arrivedWhileHeld] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        std::vector<bool> released(held.size(), false);
        size_t releasedCount = 0;
        while (releasedCount < held.size() && std::chrono::steady_clock::now() < deadline) {
            int arrived = 0;
            for (FakeVelnixServer* server : held) {
                arrived += fakelogin::RequestsOf(*server, fakelogin::kLoginQuery).empty() ? 0 : 1;
            }
            if (arrivedWhileHeld.load() < 0 && arrived >= CLoginAll::kMostAtOnce) {
                arrivedWhileHeld = arrived;
            }
            if (arrivedWhileHeld.load() < 0) {
                std::this_thread::yield();
                continue;
            }
            for (size_t i = 0; i < held.size(); ++i) {
                if (!released[i] &&
                    !fakelogin::RequestsOf(*held[i], fakelogin::kLoginQuery).empty()) {
                    held[i]->ReleaseChunks(1);
                    released[i] = true;
                    ++releasedCount;
                }
            }
            std::this_thread::yield();
        }
    });
    CLoginAll run(tree, progress);
    run.LoginAllMatching(QString());
    releaser.join();

    EXPECT_EQ(arrivedWhileHeld.load(), CLoginAll::kMostAtOnce);
    EXPECT_LE(run.PeakInFlight(), CLoginAll::kMostAtOnce);
    for (QTreeWidgetItem* item : heldItems) {
        EXPECT_TRUE(systemOf(item).LoggedIn);
    }
    ASSERT_EQ(run.Failures().size(), 2) << run.Failures().join(u'|').toStdString();
    EXPECT_THAT(run.Failures().join(u'\n').toStdString(), HasSubstr("refusing: Incorrect"));
    EXPECT_THAT(run.Failures().join(u'\n').toStdString(), HasSubstr("dropping: "));
    EXPECT_THAT(progress.texts, Contains(u"Logging in: refusing  (failed)"_qs));
    // The dropped reply's own box may come first; the summary ends the run.
    ASSERT_FALSE(services.popups().empty());
    EXPECT_TRUE(services.popups().back().text.startsWith(u"2 of 8 logins failed:"));
}

TEST_F(LoginAllTest, CancelStartsNoMore) {
    FakeVelnixServer& first = serverFor(QStringLiteral("first"));
    fakelogin::ScriptLogin(first, FakeLoginReply());
    FakeVelnixServer& second = serverFor(QStringLiteral("second"));
    fakelogin::ScriptLogin(second, FakeLoginReply());
    QTreeWidgetItem* a = addServer(QStringLiteral("first"), QStringLiteral("first"), 80);
    QTreeWidgetItem* b = addServer(QStringLiteral("second"), QStringLiteral("second"), 80);
    progress.cancelAfterSteps = 2;  // pressed while the second entry is reached
    CLoginAll run(tree, progress);
    run.LoginAllMatching(QString());
    EXPECT_TRUE(systemOf(a).LoggedIn);
    EXPECT_FALSE(systemOf(b).LoggedIn);
    EXPECT_TRUE(fakelogin::RequestsOf(second, fakelogin::kLoginQuery).empty());
}

}  // namespace
