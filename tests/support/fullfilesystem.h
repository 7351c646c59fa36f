#pragma once

// A tiny tmpfs mounted over a folder, so that writes there meet ENOSPC the way
// they do on a full disk. Mounting needs root: when it cannot mount, IsMounted()
// is false and SkipReason() says why. The folder is unmounted when the object
// goes, whatever the test did.

#include <QString>

class FullFileSystem {
public:
    // Mounts over the folder, which is created when missing.
    explicit FullFileSystem(const QString& folder);
    ~FullFileSystem();
    FullFileSystem(const FullFileSystem&) = delete;
    FullFileSystem& operator=(const FullFileSystem&) = delete;

    bool IsMounted() const { return m_mounted; }
    QString SkipReason() const { return m_reason; }
    // Takes every free block, so the next write to a new file fails; the
    // files already there stay as they are.
    bool Fill();

private:
    QString m_folder;
    QString m_reason;
    bool m_mounted = false;
};
