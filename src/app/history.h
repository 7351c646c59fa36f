#pragma once

// The back/forward list of curl locators the user visited, and the URL
// trail: every server URL the console fetched, with the seconds since the
// program started and the credentials used, so that a run can be looked at
// as a page or played again by a script (see CPlaybackScript).
//
// The history is the UI thread's. The trail may be appended from any
// thread without blocking it: an entry from another thread is stamped with
// its time at once and completed on the UI thread, where the current server
// is known.

#include "framework/kprops.h"
#include "ui/threadcallqueue.h"

#include <QObject>
#include <QString>

#include <functional>
#include <mutex>

class CPreferences;

class CHistory {
public:
    // The current server's credentials and base URL (without credentials);
    // empty when there is none. UI thread.
    struct TrailServer {
        bool exists = false;
        QString user;
        QString password;
        QString baseUrl;
    };
    using ServerLookup = std::function<TrailServer()>;
    // Replays a locator through the action dispatcher; its result code.
    using Replay = std::function<int(const QString& locator)>;
    // Seconds since 1970.
    using Clock = std::function<qint64()>;

    // Made on the UI thread; the trail begins now.
    explicit CHistory(Clock clock = {});

    void SetServerLookup(ServerLookup lookup) { m_serverLookup = std::move(lookup); }
    void SetReplay(Replay replay) { m_replay = std::move(replay); }

    // The number of history entries.
    int AddCURL(const QString& locator);
    // 1 when the replayed locator reports done.
    int GotoPreviousCURL();
    int GotoNextCURL();
    int Cursor() const { return m_cursor; }
    QString LocatorAt(int position) const;
    int HistoryCount() const { return m_history.Count(); }

    // Any thread; the number of trail entries (not counting one still on
    // its way to the UI thread).
    int AddToURLTrail(const QString& url);
    // The trail as a page, newest first; times in the user's time format.
    QString GetURLTrailHTML(const CPreferences& prefs) const;
    // A copy of the trail: name "%03d|url", value the URL, extras user and
    // password.
    KPROPS TrailCopy() const;
    qint64 TrailStart() const { return m_trailStart; }

    // The leading seconds of a trail entry's name.
    static int TrailSeconds(const QString& name);

private:
    void record(qint64 seconds, const QString& url);
    int replay(const char16_t* what);

    Clock m_clock;
    qint64 m_trailStart;
    ServerLookup m_serverLookup;
    Replay m_replay;
    KPROPS m_history{100, 10};
    int m_cursor = 0;
    bool m_replaying = false;
    mutable std::mutex m_trailMutex;
    KPROPS m_trail{100, 10};
    CThreadCallQueue m_uiCalls;
};
