#pragma once

// Where the program keeps its files on Linux, and the path tests that stand in
// for the drive-letter checks of the original platform.

#include "framework/kpath.h"

#include <QString>
#include <QStringView>

// The per-user application data folder: $XDG_CONFIG_HOME (default ~/.config)
// followed by "/Zorvic/QVX". Not created here.
QString AppDataFolder();

// True for an absolute path, and for any text that does not begin with a URL
// scheme ("http:", "ftp:", "curl:" ...). A one-letter prefix such as "c:" is a
// drive of a file written on Windows, not a scheme.
bool IsLocalPath(QStringView path);
