#include "app/history.h"
#include "app/appfixture.h"
#include "app/playbackscript.h"
#include "app/urltrail.h"
#include "settings/preferences.h"
#include "support/childprocess.h"
#include "support/temphome.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QTest>

#include <thread>

#include <gtest/gtest.h>

namespace {

class HistoryTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        history = std::make_unique<CHistory>([this] { return now; });
        history->SetReplay([this](const QString& locator) {
            replayed << locator;
            return 1;
        });
    }
    void TearDown() override {
        history.reset();
        TempHomeTest::TearDown();
    }

    QStringList locators() const {
        QStringList all;
        for (int i = 1; i <= history->HistoryCount(); ++i) {
            all << history->LocatorAt(i);
        }
        return all;
    }

    qint64 now = 1'000'000;
    std::unique_ptr<CHistory> history;
    QStringList replayed;
};

TEST_F(HistoryTest, VisitingAfterGoingBackDropsTheForwardEntries) {
    for (const char* locator : {"grid:/1", "grid:/2", "grid:/3"}) {
        history->AddCURL(QString::fromUtf8(locator));
    }
    EXPECT_EQ(history->GotoPreviousCURL(), 1);
    EXPECT_EQ(history->GotoPreviousCURL(), 1);
    EXPECT_EQ(history->GotoPreviousCURL(), 0) << "nothing before the first";
    EXPECT_EQ(replayed, (QStringList{"grid:/2", "grid:/1"}));
    EXPECT_EQ(history->AddCURL(QStringLiteral("grid:/4")), 2);
    EXPECT_EQ(locators(), (QStringList{"grid:/1", "grid:/4"}));
    EXPECT_EQ(history->Cursor(), 2);
    EXPECT_EQ(history->GotoNextCURL(), 0) << "nothing after the last";
}

TEST_F(HistoryTest, CurrentLocatorAndReplaysAreNotAdded) {
    history->AddCURL(QStringLiteral("grid:/1"));
    EXPECT_EQ(history->AddCURL(QStringLiteral("grid:/1")), 1);
    EXPECT_EQ(history->AddCURL(QString()), 1);
    history->AddCURL(QStringLiteral("grid:/2"));
    history->SetReplay([this](const QString& locator) {
        // Rendering a replayed locator adds it again: ignored.
        history->AddCURL(locator + u'x');
        return 1;
    });
    history->GotoPreviousCURL();
    EXPECT_EQ(locators(), (QStringList{"grid:/1", "grid:/2"}));
}

TEST_F(HistoryTest, TrailRecordsRelativeURLsOfTheCurrentServer) {
    history->SetServerLookup([] {
        return CHistory::TrailServer{true, "ops", "pw", "http://h:81"};
    });
    now += 5;
    history->AddToURLTrail(QStringLiteral("/cmi/Services?Action=X"));
    history->AddToURLTrail(QStringLiteral("/cmi/Services?Action=X"));
    history->AddToURLTrail(QStringLiteral("about:blank"));
    history->AddToURLTrail(QStringLiteral("http://other/y"));
    const KPROPS trail = history->TrailCopy();
    ASSERT_EQ(trail.Count(), 2);
    EXPECT_EQ(trail.GetNameAt(0), QStringLiteral("005|http://h:81/cmi/Services?Action=X"));
    EXPECT_EQ(trail.GetExtra1At(0), QStringLiteral("ops"));
    EXPECT_EQ(trail.GetExtra2At(0), QStringLiteral("pw"));
    EXPECT_EQ(trail.GetValueAt(1), QStringLiteral("http://other/y"));
}

TEST_F(HistoryTest, TrailFromAnotherThreadArrivesWithoutWaiting) {
    std::thread worker([this] { history->AddToURLTrail(QStringLiteral("http://h/from-worker")); });
    worker.join();
    ASSERT_TRUE(QTest::qWaitFor([this] { return history->TrailCopy().Count() == 1; }));
    EXPECT_EQ(history->TrailCopy().GetValueAt(0), QStringLiteral("http://h/from-worker"));
}

TEST_F(HistoryTest, TrailPageEscapesWhatWouldEndTheLink) {
    history->AddToURLTrail(QStringLiteral("http://h/a?x=1&y=2"));
    history->AddToURLTrail(QStringLiteral("http://h/\"><script>"));
    CPreferences prefs;
    const QString html = history->GetURLTrailHTML(prefs);
    const QStringList entries = html.split(QStringLiteral("\n\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries[0].contains(QStringLiteral(
        "<small>[002]</small> <a href= \"http://h/&quot;&gt;&lt;script&gt;\" target=\"_blank\">")))
        << entries[0].toStdString();
    EXPECT_TRUE(entries[1].contains(QStringLiteral(
        "<small>[001]</small> <a href= \"http://h/a?x=1&y=2\" target=\"_blank\"><small>"
        "http://h/a?x=1&y=2</small></a><br>")))
        << entries[1].toStdString();
}

TEST_F(HistoryTest, PlaybackScriptLines) {
    const CPlaybackFacts facts{"6.3.0.1 note", "host1", "2026-01-02 03:04:05"};
    KPROPS empty;
    const QString header = CPlaybackScript::Build(empty, facts);
    EXPECT_TRUE(header.startsWith(QStringLiteral("#! /bin/sh\n")));
    EXPECT_TRUE(header.contains(QStringLiteral("total seconds: less than a second")));
    EXPECT_TRUE(header.contains(QStringLiteral("recorded on: host1 at 2026-01-02 03:04:05")));
    EXPECT_FALSE(header.contains(QStringLiteral("RunOne  ")));

    KPROPS trail;
    trail.Add(QStringLiteral("007|http://h/x"), QStringLiteral("http://h/x"));
    trail.Add(QStringLiteral("012|http://h/y"), QStringLiteral("http://h/y"), QStringLiteral("ops"),
              QStringLiteral("pw"));
    trail.Add(QStringLiteral("130|http://h/it's"), QStringLiteral("http://h/it's"),
              QStringLiteral("ops"), QStringLiteral("p w"));
    const QString script = CPlaybackScript::Build(trail, facts);
    EXPECT_TRUE(
        script.endsWith(QStringLiteral("RunOne   7 'http://h/x'\n"
                                       "RunOne  12 -auth=ops:pw 'http://h/y'\n"
                                       "RunOne 130 '-auth=ops:p w' 'http://h/it'\\''s'\n")))
        << script.toStdString();
    EXPECT_TRUE(script.contains(QStringLiteral("total seconds: 2 mins, 10 secs")))
        << script.toStdString();
}

// The script as sh runs it, with a browser stub that writes its arguments.
TEST_F(HistoryTest, PlaybackScriptPassesEveryArgumentWhole) {
    const QString out = root() + QStringLiteral("/lynx-args.txt");
    const QString lynx =
        writeFile(QStringLiteral("lynx-stub"),
                  ("#!/bin/sh\nprintf '[%s]\\n' \"$@\" >> '" + out + "'\n").toUtf8());
    QFile::setPermissions(lynx, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    KPROPS trail;
    trail.Add(QStringLiteral("003|http://h/it's here?a=1&b=$HOME"),
              QStringLiteral("http://h/it's here?a=1&b=$HOME"), QStringLiteral("ops"),
              QStringLiteral("p w'd"));
    const QString script = writeFile(QStringLiteral("playback.sh"),
                                     CPlaybackScript::Build(trail, {"b", "h", "r"}).toUtf8());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LYNX"), lynx);
    ChildProcess sh;
    ASSERT_TRUE(sh.Start(QStringLiteral("/bin/sh"),
                         {script, QStringLiteral("-run"), QStringLiteral("-nosleep")},
                         ChildProcess::Output::Captured, environment));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sh.IsRunning(); }, 30000));
    EXPECT_EQ(sh.ExitCode(), 0) << sh.Read(0).toStdString();
    EXPECT_EQ(readFile(out), QByteArray("[-mime_header]\n[-auth=ops:p w'd]\n"
                                        "[http://h/it's here?a=1&b=$HOME]\n"));

    QByteArray usage;
    EXPECT_EQ(RunChildProcess(QStringLiteral("/bin/sh"), {script}, usage, 30000), 1)
        << "nothing runs without -run";
    EXPECT_TRUE(usage.contains("playback script for ZRM wire protocol"));
}

}  // namespace

namespace {

using URLTrailDialogTest = AppFixture;

TEST_F(URLTrailDialogTest, SavesThePageAndTheScriptAndReportsAFailedWrite) {
    app->History().AddToURLTrail(QStringLiteral("http://h/first"));
    CURLTrail dialog(app->History(), app->Prefs());
    EXPECT_TRUE(dialog.TextPathEdit().text().endsWith(QStringLiteral("/playback.txt")));
    EXPECT_TRUE(dialog.ScriptPathEdit().text().endsWith(QStringLiteral("/playback.sh")));

    dialog.TextPathEdit().setText(root() + QStringLiteral("/trail.txt"));
    dialog.ScriptPathEdit().setText(root() + QStringLiteral("/trail.sh"));
    EXPECT_TRUE(dialog.SaveText());
    EXPECT_TRUE(dialog.SaveScript());
    const QByteArray page = readFile(root() + QStringLiteral("/trail.txt"));
    EXPECT_TRUE(page.contains("http://h/first")) << page.toStdString();
    EXPECT_FALSE(page.contains('\r'));
    EXPECT_TRUE(readFile(root() + QStringLiteral("/trail.sh")).endsWith("'http://h/first'\n"));
    EXPECT_TRUE(boxes.empty());

    dialog.TextPathEdit().setText(root());
    EXPECT_FALSE(dialog.SaveText());
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Write Failed."));
}

}  // namespace
