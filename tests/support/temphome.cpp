#include "support/temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QByteArray kVariables[] = {"HOME", "XDG_CONFIG_HOME", "TMPDIR"};
}

void TempHomeTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    for (const QByteArray& name : kVariables) {
        m_saved[name] = qEnvironmentVariableIsSet(name.constData())
                            ? std::optional(qgetenv(name.constData()))
                            : std::nullopt;
    }
    QDir(root()).mkpath(QStringLiteral(".config"));
    QDir(root()).mkpath(QStringLiteral("tmp"));
    qputenv("HOME", QFile::encodeName(root()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    qputenv("TMPDIR", QFile::encodeName(tempFolder()));
}

void TempHomeTest::TearDown() {
    for (const auto& [name, value] : m_saved) {
        if (value) {
            qputenv(name.constData(), *value);
        } else {
            qunsetenv(name.constData());
        }
    }
}

QString TempHomeTest::configHome() const {
    return root() + QStringLiteral("/.config");
}

QString TempHomeTest::tempFolder() const {
    return root() + QStringLiteral("/tmp");
}

QString TempHomeTest::writeFile(const QString& relativePath, const QByteArray& contents) const {
    const QString path = root() + u'/' + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(contents) != contents.size()) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
    }
    return path;
}

QByteArray TempHomeTest::readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
