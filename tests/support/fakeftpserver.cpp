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
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // pyftpdlib comes from Debian's packages, which serve Debian's Python.
    const QString debianPython = QStringLiteral("/usr/bin/python3");
    m_process.start(QFileInfo::exists(debianPython) ? debianPython : QStringLiteral("python3"),
                    arguments);
    if (!m_process.waitForStarted(kStartLimitMs)) {
        m_output = m_process.errorString();
        return;
    }
    // pyftpdlib announces ">>> starting FTP server on 127.0.0.1:PORT, pid=...".
    static const QRegularExpression announcement(QStringLiteral(R"(on 127\.0\.0\.1:(\d+))"));
    const QDeadlineTimer deadline(kStartLimitMs);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        if (!m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
        m_output += QString::fromUtf8(m_process.readAll());
        const QRegularExpressionMatch match = announcement.match(m_output);
        if (match.hasMatch()) {
            m_port = match.captured(1).toInt();
            return;
        }
    }
}

FakeFtpServer::~FakeFtpServer() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kStartLimitMs);
    }
}

QString FakeFtpServer::BaseUrl() const {
    return QStringLiteral("ftp://127.0.0.1:") + QString::number(m_port);
}
