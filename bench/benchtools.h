#pragma once

// What the benchmarks share: the process's memory figures.

#include <QByteArray>
#include <QFile>
#include <QString>

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
