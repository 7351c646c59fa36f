#pragma once

// A real FTP server (Debian's python3-pyftpdlib) serving a folder read-only
// on 127.0.0.1 with an ephemeral port, for as long as the object lives.
// Anonymous logins are allowed; one named user may be added.

#include "support/childprocess.h"

#include <QString>

class FakeFtpServer {
public:
    // Starts serving `folder`; with a user, that user logs in with the password.
    explicit FakeFtpServer(const QString& folder, const QString& user = {},
                           const QString& password = {});
    FakeFtpServer(const FakeFtpServer&) = delete;
    FakeFtpServer& operator=(const FakeFtpServer&) = delete;

    bool IsListening() const { return m_port > 0; }
    int Port() const { return m_port; }
    // "ftp://127.0.0.1:port"
    QString BaseUrl() const;
    // What the server printed, for a failing test's message.
    QString Output() const { return m_output; }

private:
    ChildProcess m_process;
    QString m_output;
    int m_port = 0;
};
