#pragma once

// The named timers of the "timer:" action: each entry holds its start time in
// seconds as its value and its stop time as its first extra text.

#include "framework/kprops.h"

#include <QString>

#include <functional>

class CTimerList {
public:
    // The clock gives seconds; tests pass their own.
    using Clock = std::function<double()>;
    explicit CTimerList(Clock clock = {});

    // Starts (or restarts) the timer; 0 when the clock cannot be read.
    int StartTimer(const QString& name);
    // Records the stop time; a timer that was never started is left alone
    // with a warning and the result is 0.
    int StopTimer(const QString& name);
    // Stop minus start in seconds: 0 when never started, -1 when not stopped
    // or when the times make no sense.
    double GetElapsed(const QString& name) const;
    // Writes "Timer,Seconds,Days" and a line per timer in list order; the
    // result is the file write's.
    int DumpTimers(const QString& path) const;

    const KPROPS& List() const { return m_timers; }

private:
    Clock m_clock;
    KPROPS m_timers{100, 10};
};
