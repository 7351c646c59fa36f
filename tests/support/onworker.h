#pragma once

#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

// Runs the function on a worker thread while this (UI) thread handles
// events, and returns its result. The bound is generous: a worker's round
// trip to a fake server takes seconds on a loaded machine.
template <typename F>
auto onWorker(F function) {
    constexpr int kWorkerLimitMs = 60000;
    auto result = std::async(std::launch::async, function);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        kWorkerLimitMs));
    return result.get();
}
