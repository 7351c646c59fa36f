#include "ui/timerlist.h"

#include "framework/klog.h"

#include <QSaveFile>

#include <chrono>

namespace {

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

CTimerList::CTimerList(Clock clock) : m_clock(clock ? std::move(clock) : Clock(steadySeconds)) {}

int CTimerList::StartTimer(const QString& name) {
    const double now = m_clock();
    if (now <= -1) {
        kWarningLog(u"cmiTimer: Unable to get current timestamp.");
        return 0;
    }
    kDebugLog(u"cmiTimer: START [%s][%f]", name, now);
    return m_timers.Add(name, kFormat(u"%f", now), QString(), QString());
}

int CTimerList::StopTimer(const QString& name) {
    if (m_timers.FindIndex(name) < 0) {
        kWarningLog(u"cmiTimer: Can't stop timer [%s]; timer was not started.", name);
        return 0;
    }
    const double now = m_clock();
    kDebugLog(u"cmiTimer: STOP  [%s][%f]", name, now);
    return m_timers.SetExtras(name, kFormat(u"%f", now), QString());
}

double CTimerList::GetElapsed(const QString& name) const {
    const int index = m_timers.FindIndex(name);
    if (index < 0 || m_timers.GetValueAt(index).isEmpty()) {
        kWarningLog(
            u"cmiTimer: Can't calculate elapsed time for timer [%s]; timer was not started.", name);
        return 0;
    }
    const QString start = m_timers.GetValueAt(index);
    const QString stop = m_timers.GetExtra1At(index);
    if (stop.isEmpty()) {
        kWarningLog(
            u"cmiTimer: Can't calculate elapsed time for timer [%s]; timer was not stopped.", name);
        return -1;
    }
    const double elapsed = stop.toDouble() - start.toDouble();
    if (elapsed < 0) {
        kWarningLog(u"cmiTimer: Got nonsensical elapsed time using %s - %s; returning -1.", stop,
                    start);
        return -1;
    }
    kDebugLog(u"cmiTimer: %9f ELAPSED [%s]", elapsed, name);
    return elapsed;
}

int CTimerList::DumpTimers(const QString& path) const {
    QString text = QStringLiteral("Timer,Seconds,Days\n");
    for (int index = 0; index < m_timers.Count(); ++index) {
        const QString name = m_timers.GetNameAt(index);
        const double seconds = GetElapsed(name);
        text += kFormat(u"%s,%.1f,%.8f\n", name, seconds, seconds / 86400);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        kErrorLog(u"DumpTimers(): cannot write %s: %s\n", path, file.errorString());
        return 0;
    }
    return 1;
}
