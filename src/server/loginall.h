#pragma once

// Logs in to every World View server whose label or host name holds a text
// (every server when it is empty), a few at a time, showing progress and
// going on past failures. Entries without a user name or password try the
// default administrator account, kept in memory for the run only.

#include "server/mysystem.h"
#include "ui/threadcallqueue.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>

class CMyTree;
class QTreeWidgetItem;

// The progress display of a login to all servers.
class CLoginProgress {
public:
    virtual ~CLoginProgress() = default;
    virtual void Start(const QString& title, int estimate) = 0;
    virtual void Step() = 0;
    virtual void SetActionText(const QString& text) = 0;
    virtual bool IsCancelled() = 0;
    virtual void End() = 0;
};

class CLoginAll {
public:
    static constexpr int kMostAtOnce = 4;
    // The account tried where an entry names none: memory only, never stored.
    static QString DefaultUser() { return QStringLiteral("admin"); }
    static QString DefaultPassword() { return QStringLiteral("plovern"); }

    CLoginAll(CMyTree& tree, CLoginProgress& progress);
    ~CLoginAll();
    CLoginAll(const CLoginAll&) = delete;
    CLoginAll& operator=(const CLoginAll&) = delete;

    // The matching servers in the item's subtree (null: the first root item's).
    static int CountMatchingSystems(CMyTree& tree, const QString& text, QTreeWidgetItem* item);
    // The whole run; returns when every login started has ended.
    void LoginAllMatching(const QString& text, const QString& defaultUser = DefaultUser(),
                          const QString& defaultPassword = DefaultPassword());

    // After the run: "label: error" of each failed login, and the most
    // logins that waited for their servers at once.
    const QStringList& Failures() const { return m_failures; }
    int PeakInFlight() const { return m_peakInFlight; }

private:
    struct Pending {
        QTreeWidgetItem* item;
        CMySystem* system;
        QString label;
    };

    void LoginMatchingSystems(QTreeWidgetItem* item, const QString& text);
    void handleServer(QTreeWidgetItem* item, CMySystem& system, const QString& label);
    void say(const QString& text);
    void startMore();
    void finish(const Pending& pending, const CLoginRequest& request, const CLoginResult& result);

    CMyTree& m_tree;
    CLoginProgress& m_progress;
    QString m_defaultUser;
    QString m_defaultPassword;
    std::deque<Pending> m_waiting;
    int m_inFlight = 0;
    int m_peakInFlight = 0;
    int m_attempted = 0;
    QStringList m_failures;
    // Receives the finished logins on the UI thread.
    CThreadCallQueue m_uiCalls;
};
