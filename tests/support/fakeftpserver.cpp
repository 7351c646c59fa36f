#include "support/fakeftpserver.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
constexpr int kStartLimitMs = 20000;
}

FakeFtpServer::FakeFtpServer(const QString& folder, const QString& user, const QString& password) {
    QStringList arguments{QStringLiteral("-m"), QStringLiteral("pyftpdlib"),
                          QStringLiteral("-i"), QStringLiteral("127.0.0.1"),
                          QStringLiteral("-p"), QStringLiteral("0"),
                          QStringLiteral("-d"), folder};
    if (!user.isEmpty()) {
        arguments << QStringLiteral("-u") << user << QStringLiteral("-P") << password;
    }
    // pyftpdlib comes from Debian's packages, which serve Debian's Python.
    const QString debianPython = QStringLiteral("/usr/bin/python3");
    if (!m_process.Start(QFileInfo::exists(debianPython) ? debianPython : QStringLiteral("python3"),
                         arguments, ChildProcess::Output::Captured)) {
        m_output = m_process.ErrorText();
        return;
    }
    // pyftpdlib announces ">>> starting FTP server on 127.0.0.1:PORT, pid=...".
    static const QRegularExpression announcement(QStringLiteral(R"(on 127\.0\.0\.1:(\d+))"));
    const QDeadlineTimer deadline(kStartLimitMs);
    while (!deadline.hasExpired()) {
        const QByteArray output = m_process.Read(static_cast<int>(deadline.remainingTime()));
        if (output.isEmpty()) {
            break;  // the server ended or stayed silent
        }
        m_output += QString::fromUtf8(output);
        const QRegularExpressionMatch match = announcement.match(m_output);
        if (match.hasMatch()) {
            m_port = match.captured(1).toInt();
            return;
        }
    }
}

QString FakeFtpServer::BaseUrl() const {
    return QStringLiteral("ftp://127.0.0.1:") + QString::number(m_port);
}
