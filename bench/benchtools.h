#pragma once

// What the benchmarks share: the process's memory figures, best-of-n and
// median timing, the machine's load and the longest stall of the UI thread.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

// Kilobytes of a "VmRSS"-style line of /proc/self/status; -1 when unknown.
inline long statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// The fastest of `runs` calls of `run`, which returns its own seconds.
template <typename Run>
double bestSeconds(int runs, Run run) {
    double best = 1e9;
    for (int attempt = 0; attempt < runs; ++attempt) {
        best = std::min(best, run());
    }
    return best;
}

// The median of `runs` calls of `run`, which returns its own seconds: one
// run slowed by the other work of a busy machine does not move it.
template <typename Run>
double medianSeconds(int runs, Run run) {
    std::vector<double> seconds;
    for (int attempt = 0; attempt < runs; ++attempt) {
        seconds.push_back(run());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

// The "machine load" line every figure is read against: the 1-minute load
// average and the cores it is spread over.
inline void printMachineLoad() {
    QFile loadFile(QStringLiteral("/proc/loadavg"));
    const QByteArray load =
        loadFile.open(QIODevice::ReadOnly) ? loadFile.readAll().split(' ').first() : "?";
    std::printf("machine load (1-minute average, %d cores): %s\n", QThread::idealThreadCount(),
                load.constData());
}

// The largest gap between two ticks of a 1 ms timer while it runs.
class StallMeter : public QObject {
public:
    StallMeter() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, m_clock.nsecsElapsed());
            m_clock.restart();
        });
    }
    void Start() {
        m_clock.start();
        m_timer.start();
    }
    void Stop() { m_timer.stop(); }
    double LongestMs() const { return m_longest / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};
