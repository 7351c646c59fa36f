#include "app/history.h"

#include "framework/klog.h"
#include "settings/datetimeformat.h"
#include "settings/urltext.h"

#include <QThread>

#include <ctime>

namespace {

qint64 secondsNow() {
    return static_cast<qint64>(std::time(nullptr));
}

// A URL inside an attribute and as text of the page: the characters that
// would end either are escaped; "&" stays, so ordinary URLs read as before.
QString escapedForPage(QString url) {
    url.replace(u'<', QStringLiteral("&lt;"));
    url.replace(u'>', QStringLiteral("&gt;"));
    url.replace(u'"', QStringLiteral("&quot;"));
    return url;
}

}  // namespace

CHistory::CHistory(Clock clock)
    : m_clock(clock ? std::move(clock) : Clock(secondsNow)), m_trailStart(m_clock()) {
    // The trail holds passwords.
    m_trail.SetConfidential(true);
}

int CHistory::AddCURL(const QString& locator) {
    if (m_replaying || locator.isEmpty() || locator == LocatorAt(m_cursor)) {
        return m_history.Count();
    }
    ++m_cursor;
    const QString name = kFormat(u"%03u", static_cast<unsigned>(m_cursor));
    m_history.Add(name, locator);
    m_history.TruncateAfterName(name);
    kDebugLog(u"CHistory::AddCURL(%s)\n", locator);
    return m_history.Count();
}

QString CHistory::LocatorAt(int position) const {
    return position < 1 || position > m_history.Count() ? QString()
                                                        : m_history.GetValueAt(position - 1);
}

int CHistory::GotoPreviousCURL() {
    if (m_cursor < 2) {
        return 0;
    }
    --m_cursor;
    return replay(u"CHistory::GotoPreviousCURL()\n");
}

int CHistory::GotoNextCURL() {
    if (m_cursor >= m_history.Count()) {
        return 0;
    }
    ++m_cursor;
    return replay(u"CHistory::GotoNextCURL()\n");
}

int CHistory::replay(const char16_t* what) {
    kDebugLog(what);
    if (!m_replay) {
        return 0;
    }
    m_replaying = true;
    const int result = m_replay(LocatorAt(m_cursor));
    m_replaying = false;
    return result == 1 ? 1 : 0;
}

int CHistory::AddToURLTrail(const QString& url) {
    if (url == u"about:blank") {
        return static_cast<int>(TrailCopy().Count());
    }
    const qint64 seconds = m_clock() - m_trailStart;
    if (QThread::currentThread() == m_uiCalls.thread()) {
        record(seconds, url);
    } else {
        m_uiCalls.Queue([this, seconds, url] { record(seconds, url); });
    }
    const std::lock_guard lock(m_trailMutex);
    return m_trail.Count();
}

void CHistory::record(qint64 seconds, const QString& url) {
    const TrailServer server = m_serverLookup ? m_serverLookup() : TrailServer{};
    const QString full = server.exists && !IsURL(url) ? server.baseUrl + url : url;
    const std::lock_guard lock(m_trailMutex);
    const int count = m_trail.Count();
    if (count > 0 && m_trail.GetValueAt(count - 1) == full) {
        return;
    }
    m_trail.Add(kFormat(u"%03d|%s", static_cast<int>(seconds), full), full, server.user,
                server.password);
}

KPROPS CHistory::TrailCopy() const {
    const std::lock_guard lock(m_trailMutex);
    KPROPS copy(100, 10);
    copy.SetConfidential(true);
    copy.Merge(&m_trail);
    return copy;
}

int CHistory::TrailSeconds(const QString& name) {
    return name.section(u'|', 0, 0).toInt();
}

QString CHistory::GetURLTrailHTML(const CPreferences& prefs) const {
    const KPROPS trail = TrailCopy();
    QString html;
    for (int i = trail.Count() - 1; i >= 0; --i) {
        const std::time_t when =
            static_cast<std::time_t>(m_trailStart + TrailSeconds(trail.GetNameAt(i)));
        const QString url = escapedForPage(trail.GetValueAt(i));
        html += QStringLiteral("<small>") + FormatTime(prefs, when) + QStringLiteral("</small>");
        const QString link = QStringLiteral("<a href= \"") + url +
                             QStringLiteral("\" target=\"_blank\"><small>") + url +
                             QStringLiteral("</small>") + QStringLiteral("</a><br>");
        html += kFormat(u"<small>[%03d]</small> %s\n\r\n", i + 1, link);
    }
    return html;
}
