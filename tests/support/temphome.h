#pragma once

// Gives each test its own empty HOME, XDG_CONFIG_HOME and TMPDIR, so nothing a
// test writes reaches the user's files or another test.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>

class TempHomeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary root; HOME is this folder itself.
    QString root() const { return m_dir.path(); }
    QString configHome() const;
    QString tempFolder() const;
    // Writes a file below the root (folders created) and returns its path.
    QString writeFile(const QString& relativePath, const QByteArray& contents) const;
    static QByteArray readFile(const QString& path);

private:
    QTemporaryDir m_dir;
    std::map<QByteArray, std::optional<QByteArray>> m_saved;
};
