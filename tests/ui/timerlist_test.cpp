#include "ui/timerlist.h"

#include "support/temphome.h"

#include <gtest/gtest.h>

namespace {

class TimerListTest : public TempHomeTest {
protected:
    double now = 100.0;
    CTimerList timers{[this] { return now; }};
};

TEST_F(TimerListTest, ElapsedIsStopMinusStart) {
    ASSERT_EQ(timers.StartTimer(QStringLiteral("load")), 1);
    now = 102.5;
    ASSERT_EQ(timers.StopTimer(QStringLiteral("load")), 1);
    EXPECT_DOUBLE_EQ(timers.GetElapsed(QStringLiteral("load")), 2.5);
}

TEST_F(TimerListTest, StoppingATimerNeverStartedChangesNothing) {
    EXPECT_EQ(timers.StopTimer(QStringLiteral("ghost")), 0);
    EXPECT_EQ(timers.List().Count(), 0);
    EXPECT_EQ(timers.GetElapsed(QStringLiteral("ghost")), 0);
}

TEST_F(TimerListTest, ElapsedOfUnstoppedOrBackwardTimerIsMinusOne) {
    timers.StartTimer(QStringLiteral("open"));
    EXPECT_EQ(timers.GetElapsed(QStringLiteral("open")), -1);
    now = 50;
    timers.StopTimer(QStringLiteral("open"));
    EXPECT_EQ(timers.GetElapsed(QStringLiteral("open")), -1);
}

TEST_F(TimerListTest, UnreadableClockStartsNothing) {
    now = -1;
    EXPECT_EQ(timers.StartTimer(QStringLiteral("t")), 0);
    EXPECT_EQ(timers.List().Count(), 0);
}

TEST_F(TimerListTest, DumpWritesOneCsvLinePerTimerInListOrder) {
    timers.StartTimer(QStringLiteral("b"));
    timers.StartTimer(QStringLiteral("a"));
    now = 100 + 86400;
    timers.StopTimer(QStringLiteral("b"));
    const QString path = root() + QStringLiteral("/timers.csv");
    ASSERT_EQ(timers.DumpTimers(path), 1);
    EXPECT_EQ(readFile(path),
              QByteArray("Timer,Seconds,Days\nb,86400.0,1.00000000\na,-1.0,-0.00001157\n"));
}

}  // namespace
