#pragma once

// The per-user settings folder that holds every file the program keeps for a
// user (preferences, World View, log, debug flag, action script, temporary
// files), and the desktop folder.

#include <QString>

// The settings folder, AppDataFolder() ($XDG_CONFIG_HOME/Zorvic/QVX), with
// its case kept. Every call makes sure it exists; the call that creates it
// (the user's first run) fills it: "Quillex.ini" from the maker folder
// "Zorvic" unless one is there already, then every file directly inside the
// former company's folder "Pelwick Communications", replacing same names.
QString Getlocalsettingsdir();

// The user's desktop folder, without a trailing "/".
QString GetDesktopDir();
