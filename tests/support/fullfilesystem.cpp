#include "support/fullfilesystem.h"

#include <QDir>
#include <QFile>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>

FullFileSystem::FullFileSystem(const QString& folder) : m_folder(folder) {
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(folder);
    if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k,mode=0700") != 0) {
        m_reason = QStringLiteral("cannot mount a tmpfs (needs root): ") +
                   QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_mounted = true;
}

FullFileSystem::~FullFileSystem() {
    if (m_mounted) {
        // Detached, so a file a failed test left open cannot keep it mounted.
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
}

bool FullFileSystem::Fill() {
    QFile filler(m_folder + QStringLiteral("/.filler"));
    if (!m_mounted || !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    return filler.error() == QFileDevice::ResourceError;
}
