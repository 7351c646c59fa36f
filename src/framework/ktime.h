#pragma once

// Time stamps and durations as the log and the reports show them.

#include <QString>

#include <ctime>

// The time (the current time for 0) as local "%Y-%m-%d %H:%M:%S". A target
// that holds fewer than 21 characters gets "ERROR", cut to fit, and an error line.
QString kFormTimestamp(qsizetype targetSize, std::time_t time);

// "1 hr, 2 mins, 5 secs"; "less than a second" for 0.
QString kFormatDuration(long long seconds);
