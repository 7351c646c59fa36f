#include "dialogs/rediscoverdialog.h"
#include "dialogs/rediscoversite.h"
#include "server/mysystem.h"
#include "support/fakevelnixserver.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class FakeReDiscoverSite : public CReDiscoverSite {
public:
    CMySystem* CurrentSystem() override { return system; }
    void RebuildRHS() override { ++rebuilds; }
    void EndProgress() override { ++progressEnds; }
    QString ServerURL() override { return {}; }
    QRect CascadeRect() override { return {10, 10, 400, 300}; }
    void MessageBox(const QString& text) override { messages << text; }

    CMySystem* system = nullptr;
    int rebuilds = 0;
    int progressEnds = 0;
    QStringList messages;
};

class ReDiscoverTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.Host = QStringLiteral("127.0.0.1");
        system.WebPort = server.Port();
        site.system = &system;
        server.Script("/cmi/Services", "Action=Run", FakeVelnixServer::Reply::Xml("<ok/>"));
    }
    void results(const QByteArray& body) {
        server.Script("/cmi/Services", "Action=Results",
                      FakeVelnixServer::Reply::Xml("<disc>" + body + "</disc>"));
    }
    // Runs the dialog; `act` looks at it while it is up and ends it.
    int run(const std::function<void(CReDiscoverDialog&)>& act,
            const QString& resultsUrl = QStringLiteral("/cmi/Services?Action=Results")) {
        CReDiscoverDialog dialog(QStringLiteral("/cmi/Services?Action=Run"), resultsUrl, site,
                                 nullptr);
        QTimer::singleShot(0, &dialog, [&] {
            act(dialog);
            if (dialog.isVisible()) {
                dialog.done(QDialog::Rejected);
            }
        });
        return dialog.exec();
    }
    std::vector<FakeVelnixServer::Request> requestsWith(const QByteArray& action) const {
        std::vector<FakeVelnixServer::Request> found;
        for (const auto& request : server.Requests()) {
            if (request.query.startsWith("Action=" + action)) {
                found.push_back(request);
            }
        }
        return found;
    }

    FakeVelnixServer server;
    CMySystem system;
    FakeReDiscoverSite site;
};

TEST_F(ReDiscoverTest, CountsAreExplainedOrFoundMalformed) {
    const struct {
        QByteArray body;
        const char16_t* headline;
        bool warns;
        bool savable;
    } cases[] = {
        {"<disc-updated-count> 3</disc-updated-count>",
         u"Discover was unable to resolve the polling errors.", false, false},
        {"<disc-updated-count>3a</disc-updated-count>",
         u"Discover was unable to resolve the polling errors.", false, false},
        {"<disc-existing-count>10</disc-existing-count><disc-new-count>9</disc-new-count>",
         u"Discover was unable to resolve the polling errors,\nbut other changes were found.", true,
         true},
        {"<disc-existing-count>10</disc-existing-count><disc-new-count>8</disc-new-count>",
         u"Discover was unable to resolve the polling errors,\nbut other changes were found.",
         false, true},
        {"<disc-updated-count>1</disc-updated-count>", u"Polling errors have been resolved!", false,
         true},
    };
    for (const auto& c : cases) {
        results(c.body);
        run([&](CReDiscoverDialog& dialog) {
            EXPECT_EQ(dialog.Headline()->text(), QString::fromUtf16(c.headline)) << c.body.data();
            EXPECT_EQ(dialog.Summary()->text().contains(u"too many new elements"), c.warns)
                << c.body.data();
            EXPECT_EQ(dialog.SaveButton()->isEnabled(), c.savable) << c.body.data();
        });
    }
    EXPECT_EQ(site.progressEnds, 5);
}

TEST_F(ReDiscoverTest, ListsSplitAtTheirFirstCharacter) {
    results(
        "<disc-updated-count>2</disc-updated-count><disc-updated-list>;a; b</disc-updated-list>"
        "<disc-missing-count>1</disc-missing-count><disc-missing-list>,c</disc-missing-list>");
    run([](CReDiscoverDialog& dialog) {
        QStringList rows;
        for (int row = 0; row < dialog.List()->count(); ++row) {
            rows << dialog.List()->item(row)->text();
        }
        EXPECT_EQ(rows, (QStringList{u"Updated"_qs, u"-------"_qs, u"a"_qs, u"b"_qs, QString(),
                                     u"Missing"_qs, u"-------"_qs, u"c"_qs, QString()}));
        EXPECT_TRUE(dialog.RetireMissing()->isEnabled());
        EXPECT_FALSE(dialog.RetireMissing()->isChecked());
    });
}

TEST_F(ReDiscoverTest, SaveSendsEncodedValues) {
    results(
        "<disc-new-count>2</disc-new-count><disc-existing-count>50</disc-existing-count>"
        "<disc-missing-count>1</disc-missing-count><disc-dci-new>/tmp/new dci</disc-dci-new>"
        "<disc-missing-elems>x;y</disc-missing-elems>"
        "<disc-element-name>core 1</disc-element-name>");
    EXPECT_EQ(run([](CReDiscoverDialog& dialog) {
                  EXPECT_TRUE(dialog.AcceptNew()->isChecked());
                  dialog.RetireMissing()->click();
                  EXPECT_TRUE(dialog.RetireMissing()->isChecked());
                  QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
              }),
              QDialog::Accepted);
    const auto saves = requestsWith("ReDiscoverSave");
    ASSERT_FALSE(saves.empty());
    EXPECT_EQ(saves.back().query.toStdString(),
              "Action=ReDiscoverSave&Dci=/tmp/new+dci&Retire=x%3By&Element=core+1");
    EXPECT_EQ(site.rebuilds, 1);
}

TEST_F(ReDiscoverTest, AcceptWithoutNewDciAsksNothingOfTheServer) {
    results("<disc-new-count>2</disc-new-count><disc-existing-count>50</disc-existing-count>");
    run([&](CReDiscoverDialog& dialog) {
        QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
    });
    EXPECT_EQ(site.messages, QStringList{u"Problem getting new dci input file for saving."_qs});
    EXPECT_TRUE(requestsWith("ReDiscoverSave").empty());
}

TEST_F(ReDiscoverTest, CancelLogsOnceThatNothingWasSaved) {
    results("<disc-updated-count>1</disc-updated-count><disc-element-name>a b</disc-element-name>");
    run([](CReDiscoverDialog& dialog) {
        QTest::mouseClick(dialog.findChildren<QPushButton*>().last(), Qt::LeftButton);
    });
    const auto logs = requestsWith("CmiLog");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].query, "Action=CmiLog&Msg=Ran+Rediscover+for+a+b.+Results+not+saved.");
}

TEST_F(ReDiscoverTest, EmptyResultsUrlEndsAfterItsMessage) {
    bool shown = false;
    EXPECT_EQ(run([&](CReDiscoverDialog&) { shown = true; }, QString()), QDialog::Rejected);
    EXPECT_FALSE(shown);
    EXPECT_EQ(site.messages,
              QStringList{u"Operation failed: Menu action not defined properly."_qs});
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
