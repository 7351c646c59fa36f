#pragma once

// A file that is open for one job and closed when the object goes away. Text
// is read and written as UTF-8; in text mode ("r", "w", "a" without "b") a
// carriage return before a line feed is dropped on reading.

#include "framework/kformat.h"

#include <QFile>

#include <memory>

// Replaces the file with the bytes atomically, so a failed write keeps the
// old file. False, with the reason in `error` when given, on any failure.
bool kSaveFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

class KFILE {
public:
    KFILE();
    ~KFILE();
    KFILE(const KFILE&) = delete;
    KFILE& operator=(const KFILE&) = delete;

    // Formats the path, closes any open stream and opens the path with the C
    // mode ("r", "w", "rw", "a", optionally with "b" or "+"); 1 when open. The
    // framework must have been started.
    template <typename... Args>
    int Open(QStringView pathFormat, QStringView mode, const Args&... args) {
        const std::array<KFormatArg, sizeof...(Args)> list{KFormatArg(args)...};
        return openPath(kFormatArgs(pathFormat, list), mode);
    }
    // The open stream, or null.
    QFile* Stream() const { return m_file.get(); }
    // Writes the text as UTF-8; 1 when all of it was written.
    int Write(QStringView text);
    void Close();

private:
    int openPath(const QString& path, QStringView mode);

    std::unique_ptr<QFile> m_file;
};
