#include "ui/popupmessages.h"
#include "support/modalcloser.h"
#include "support/onworker.h"

#include "ui/uibridge.h"

#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace {

class PopupMessagesTest : public ::testing::Test {
protected:
    PopupMessagesTest()
        : popups(bridge, {.suppressed = [this] { return suppressed; },
                          .owner = []() -> QWidget* { return nullptr; },
                          .countError = [this] { ++cancelFlag; },
                          .cancelProgress = [this] { ++progressCancels; }}) {
        popups.SetWaitHook([this](bool open) { waits.push_back(open); });
        popups.SetPresenter(
            [this](QWidget*, const QString& caption, const QString& text, int type) {
                waitsWhileShown = waits;
                shown.push_back({caption, text, type, QThread::currentThread()});
                return answer;
            });
    }

    struct Shown {
        QString caption;
        QString text;
        int type;
        QThread* thread;
    };

    CUiBridge bridge;
    CPopupMessages popups;
    bool suppressed = false;
    int answer = kAnswerOk;
    int cancelFlag = 0;
    int progressCancels = 0;
    std::vector<bool> waits;  // true when a box opened, false when it closed
    std::vector<bool> waitsWhileShown;
    std::vector<Shown> shown;
};

TEST_F(PopupMessagesTest, SuppressionHidesEveryBoxButErrors) {
    suppressed = true;
    answer = kAnswerCancel;
    const struct {
        int (CPopupMessages::*box)(const QString&);
        int expected;
        bool shows;
    } cases[] = {
        {&CPopupMessages::WarningBox, kAnswerOk, false},
        {&CPopupMessages::OkCancelBox, kAnswerOk, false},
        {&CPopupMessages::YesNoBox, kAnswerYes, false},
        {&CPopupMessages::ErrorBox, kAnswerCancel, true},
    };
    for (const auto& c : cases) {
        shown.clear();
        EXPECT_EQ((popups.*c.box)(QStringLiteral("text")), c.expected);
        EXPECT_EQ(shown.size(), c.shows ? 1U : 0U);
    }
    EXPECT_EQ(popups.PopupMessage(QStringLiteral("info"), kPopupInformation), kAnswerOk);
}

TEST_F(PopupMessagesTest, ErrorsCancelsAndNoAnswersCountUpTheCancelFlag) {
    popups.ErrorBox(QStringLiteral("bad"));
    EXPECT_EQ(cancelFlag, 1);
    answer = kAnswerCancel;
    popups.OkCancelBox(QStringLiteral("go?"));
    answer = kAnswerNo;
    popups.YesNoBox(QStringLiteral("save?"));
    EXPECT_EQ(cancelFlag, 3);
    EXPECT_EQ(progressCancels, 3);
    answer = kAnswerYes;
    popups.YesNoBox(QStringLiteral("save?"));
    answer = kAnswerOk;
    popups.OkCancelBox(QStringLiteral("go?"));
    EXPECT_EQ(cancelFlag, 3) << "positive answers count nothing";
}

TEST_F(PopupMessagesTest, BoxesShowTypeCaptionAndNormalisedText) {
    popups.PopupMessage(QStringLiteral("one<br>two\\nthree\r\n\r\n"), kPopupWarning);
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Quillet for Velnix"));
    EXPECT_EQ(shown[0].text, QStringLiteral("one\ntwo\nthree"));
    EXPECT_EQ(shown[0].type, kPopupWarning);
}

TEST(PopupText, LineBreaksBecomeOneLineFeedAndEndsAreTrimmed) {
    const struct {
        const char16_t* input;
        const char16_t* expected;
    } cases[] = {
        {u"a<br>b", u"a\nb"},     {u"a\\nb", u"a\nb"}, {u"a\n\rb", u"a\nb"},
        {u"a\r\nb", u"a\nb"},     {u"  a\n\n", u"a"},  {u"a<BR>b", u"a<BR>b"},
        {u"a\n\r\nb", u"a\n\nb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalisePopupText(QString::fromUtf16(c.input)), QString::fromUtf16(c.expected));
    }
}

// Laying out megabytes in a box freezes the program for minutes: the box
// shows the start of an overlong text and an ellipsis.
TEST(MessageBox, OverlongTextIsCutWithAnEllipsis) {
    const QString huge = QStringLiteral("curl:message=") + QString(5 * 1024 * 1024, u'x');
    QString text;
    ModalCloser<QMessageBox> closer([&](QMessageBox& box) { text = box.text(); });
    ShowMessageBox(nullptr, QStringLiteral("c"), huge, kPopupInformation);
    ASSERT_TRUE(closer.seen);
    EXPECT_TRUE(text.startsWith(QStringLiteral("curl:message=xxx")));
    EXPECT_TRUE(text.endsWith(u'…'));
    EXPECT_LE(text.size(), 2000);
}

TEST_F(PopupMessagesTest, ABoxSaysThatItWaitsForTheUserUntilItCloses) {
    popups.ShowWithoutOwner(QStringLiteral("x"), QStringLiteral("c"), kPopupInformation);
    EXPECT_EQ(waitsWhileShown, std::vector<bool>{true});
    EXPECT_EQ(waits, (std::vector<bool>{true, false}));
}

TEST_F(PopupMessagesTest, BoxAskedForOnAWorkerOpensOnTheUiThread) {
    answer = kAnswerYes;
    EXPECT_EQ(onWorker([this] { return popups.YesNoBox(QStringLiteral("from worker")); }),
              kAnswerYes);
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].thread, QThread::currentThread());
}

TEST_F(PopupMessagesTest, BoxRefusedAtExitAnswersNothing) {
    bridge.BeginExit();
    EXPECT_EQ(popups.OkCancelBox(QStringLiteral("late")), kAnswerNone);
    EXPECT_TRUE(shown.empty());
}

// A signal to end the program has nobody to answer: boxes open at the time
// close, inner and outer alike, and later ones never open, whatever their
// kind and even while boxes are suppressed. The real message boxes are used.
TEST_F(PopupMessagesTest, DismissedBoxesCloseUnansweredAndNoneOpensAfter) {
    CPopupMessages real(bridge, {.suppressed = [this] { return suppressed; },
                                 .owner = []() -> QWidget* { return nullptr; },
                                 .countError = [] {},
                                 .cancelProgress = [] {}});
    int inner = -1;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] { real.DismissAll(); });
        inner = real.YesNoBox(QStringLiteral("inner"));
    });
    bool watchdogFired = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        watchdogFired = true;
        CloseMessageBoxes();
    });
    watchdog.start(10000);
    const int outer = real.OkCancelBox(QStringLiteral("outer"));
    EXPECT_FALSE(watchdogFired) << "the boxes stayed open";
    EXPECT_EQ(inner, kAnswerNone);
    EXPECT_EQ(outer, kAnswerNone);
    EXPECT_TRUE(real.IsDismissed());

    // Later boxes: the fixture's presenter stands for boxes that would open.
    popups.DismissAll();
    answer = kAnswerYes;
    for (const bool suppress : {false, true}) {
        suppressed = suppress;
        EXPECT_EQ(popups.YesNoBox(QStringLiteral("save?")), kAnswerNone);
        EXPECT_EQ(popups.OkCancelBox(QStringLiteral("go?")), kAnswerNone);
        EXPECT_EQ(popups.ErrorBox(QStringLiteral("bad")), kAnswerNone);
    }
    EXPECT_TRUE(shown.empty());
}

}  // namespace
