#pragma once

// What the fuzz targets share: a scratch folder for inputs that are files,
// an application object for targets that need one, and a check that stops
// the run with a message when a property of the code does not hold.

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

class FuzzScratchFolder {
public:
    QString Path(const QString& name) const { return m_folder.filePath(name); }
    // Writes the bytes to the named file and returns its path.
    QString Write(const QString& name, const uint8_t* data, size_t size) const {
        const QString path = Path(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
                static_cast<qint64>(size)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::abort();
        }
        return path;
    }

private:
    QTemporaryDir m_folder;
};

inline void FuzzCheck(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

inline QByteArray FuzzBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A QApplication on the offscreen platform, made once for the whole run and
// never destroyed: at exit it would outlive what it depends on.
inline void FuzzApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static const QApplication* const application = new QApplication(argc, argv);
    (void)application;
}
