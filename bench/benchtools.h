#pragma once

// What the benchmarks share: the process's memory figures and best-of-n timing.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>

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
