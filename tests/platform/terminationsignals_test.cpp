#include "platform/terminationsignals.h"

#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace {

using SignalHandler = void (*)(int);

SignalHandler CurrentHandler(int signalNumber) {
    struct sigaction current {};
    ::sigaction(signalNumber, nullptr, &current);
    return current.sa_handler;
}

TEST(TerminationSignalsTest, EachSignalReachesTheHandlerFromTheEventLoop) {
    CTerminationSignals signals;
    std::vector<int> caught;
    ASSERT_TRUE(signals.Install([&caught](int signalNumber) { caught.push_back(signalNumber); }))
        << signals.ErrorText().toStdString();
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        caught.clear();
        ASSERT_EQ(::raise(signalNumber), 0);
        EXPECT_TRUE(caught.empty()) << "nothing runs inside the signal handler";
        EXPECT_TRUE(QTest::qWaitFor([&caught] { return !caught.empty(); }, 10000)) << signalNumber;
        EXPECT_EQ(caught, std::vector<int>{signalNumber});
    }
}

TEST(TerminationSignalsTest, OneCatcherAtATimeAndThePreviousHandlersComeBack) {
    const SignalHandler before = CurrentHandler(SIGTERM);
    {
        CTerminationSignals first;
        ASSERT_TRUE(first.Install([](int) {}));
        EXPECT_NE(CurrentHandler(SIGTERM), before);
        CTerminationSignals second;
        EXPECT_FALSE(second.Install([](int) {}));
        EXPECT_FALSE(second.ErrorText().isEmpty());
    }
    EXPECT_EQ(CurrentHandler(SIGTERM), before);
    CTerminationSignals again;
    EXPECT_TRUE(again.Install([](int) {}));
}

}  // namespace
