#pragma once

// For the start-up benchmark: when the environment names a file in
// QUILLEX_FIRST_PAINT_FILE, the moment the main window first paints is
// written there (CLOCK_MONOTONIC nanoseconds) and the process ends at once.
// Without the variable nothing is installed, so a normal start pays nothing.

#include <QObject>
#include <QString>

class CFirstPaintProbe : public QObject {
public:
    static constexpr const char* kEnvironmentVariable = "QUILLEX_FIRST_PAINT_FILE";

    // Installs the probe on the application when the variable is set.
    static void InstallIfAsked();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CFirstPaintProbe(const QString& path) : m_path(path) {}

    QString m_path;
};
