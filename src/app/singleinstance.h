#pragma once

// The single-instance rule. A lock file held with flock marks an instance
// that is still starting up; a per-user local socket beside it lets a second
// start hand an action script's path to that instance instead of running it
// itself. The listening instance answers once the script has been taken, so
// the second start ends only when the path has arrived.

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    // Both files live in the settings folder.
    explicit CSingleInstance(QString settingsFolder);
    ~CSingleInstance() override;

    // Takes the start-up lock. False when another instance holds it (it is
    // still starting) or the lock file cannot be opened (reason in ErrorText).
    bool AcquireStartupLock();
    // Lets a later start take the lock again.
    void ReleaseStartupLock();
    bool HoldsStartupLock() const { return m_lockFd >= 0; }

    // Listens for hand-offs; each path received goes to the receiver on this
    // object's thread, which answers whether it took it. The sender is told
    // only about a path that was taken. False (reason in ErrorText) when
    // another instance listens already or the socket cannot be made.
    bool Listen(std::function<bool(const QString& path)> receiver);

    // Hands the path to the listening instance and waits for its answer, at
    // most `timeoutMs`. False when no instance took it.
    bool HandOff(const QString& path, int timeoutMs = 5000);

    QString LockFilePath() const;
    QString SocketPath() const;
    QString ErrorText() const { return m_error; }

private:
    void onConnection();

    QString m_folder;
    int m_lockFd = -1;
    QLocalServer m_server;
    std::function<bool(const QString&)> m_receiver;
    QString m_error;
};
