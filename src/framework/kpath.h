#pragma once

// The two path helpers the framework itself needs: where temporary files go
// and how two pieces of a path are joined.

#include <QString>
#include <QStringView>

// The temporary folder: $TMPDIR, else /tmp.
QString TempFolder();

// Joins two path pieces with exactly one "/" between them.
QString PathJoin(QStringView folder, QStringView name);
