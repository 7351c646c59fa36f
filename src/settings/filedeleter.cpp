#include "settings/filedeleter.h"

#include "framework/klog.h"
#include "settings/uithreadcall.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

QString systemMessage(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// The entries of a folder in the order the file system gives them; an
// unreadable folder has none (its removal then reports the failure).
std::vector<QString> folderEntries(const QString& folder) {
    std::vector<QString> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(nativePath(folder).constData()),
                                                        ::closedir);
    if (!directory) {
        return entries;
    }
    while (const dirent* entry = ::readdir(directory.get())) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u"." && name != u"..") {
            entries.push_back(folder + u'/' + name);
        }
    }
    return entries;
}

bool makeWritable(const QString& path, unsigned mode) {
    return ::chmod(nativePath(path).constData(), (mode & 07777) | S_IWUSR) == 0;
}

}  // namespace

CFileDeleter::CFileDeleter() : CFileDeleter(&CFileDeleter::AskWithMessageBox) {}

CFileDeleter::CFileDeleter(ReadOnlyQuestion question) : m_question(std::move(question)) {}

CFileDeleter::Answer CFileDeleter::AskWithMessageBox(const QString& fileName) {
    qintptr answer = QMessageBox::No;
    const bool asked = RunOnUiThread(
        u"CFileDeleter read-only question",
        [&fileName]() -> qintptr {
            return QMessageBox::question(nullptr, QStringLiteral("Warning"),
                                         fileName + u" is read olny. Do you want delete it?"_qs,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                         QMessageBox::No);
        },
        &answer);
    // Without a user to ask, the read-only file is kept.
    if (!asked || answer == QMessageBox::No) {
        return Answer::No;
    }
    return answer == QMessageBox::Cancel ? Answer::Cancel : Answer::Yes;
}

bool CFileDeleter::Delete(const QString& path) {
    // A file kept by an earlier run must not hide this run's failures.
    m_skipped = false;
    Failure failure{0, {}};
    if (deleteTree(path, failure)) {
        return true;
    }
    m_code = failure.code;
    m_message = failure.message;
    return failure.code == 0;
}

bool CFileDeleter::mayDelete(const QString& path, unsigned mode, bool& cancelled) {
    if ((mode & S_IWUSR) != 0 || S_ISLNK(mode)) {
        return true;
    }
    if (!m_promptOnReadOnly) {
        return makeWritable(path, mode);
    }
    switch (m_question(QFileInfo(path).fileName())) {
        case Answer::Yes:
            return makeWritable(path, mode);
        case Answer::No:
            return false;
        case Answer::Cancel:
            cancelled = true;
            return false;
    }
    return true;
}

bool CFileDeleter::deleteTree(const QString& path, Failure& failure) {
    struct stat info {};
    const bool known = ::lstat(nativePath(path).constData(), &info) == 0;
    if (!known || S_ISDIR(info.st_mode)) {
        return deleteFolder(path, failure);
    }
    bool cancelled = false;
    if (!mayDelete(path, info.st_mode, cancelled)) {
        m_skipped = true;
        if (cancelled) {
            failure = {0, systemMessage(0)};
            return false;
        }
        return true;
    }
    if (::unlink(nativePath(path).constData()) != 0) {
        const int code = errno;
        failure = {static_cast<unsigned>(code), systemMessage(code)};
        return false;
    }
    return true;
}

bool CFileDeleter::deleteFolder(const QString& path, Failure& failure) {
    QString folder = path;
    while (folder.size() > 1 && folder.endsWith(u'/')) {
        folder.chop(1);
    }
    for (const QString& entry : folderEntries(folder)) {
        if (!deleteTree(entry, failure)) {
            return false;
        }
    }
    if (::rmdir(nativePath(folder).constData()) != 0 && !m_skipped) {
        const int code = errno;
        failure = {static_cast<unsigned>(code), systemMessage(code)};
        return false;
    }
    return true;
}
