#pragma once

// The open and save file dialogs.

#include <QString>

class QWidget;

// Turns a filter in the program's "Text (*.txt)|*.txt|All Files (*.*)|*.*||"
// form into Qt's "Text (*.txt);;All Files (*)": each description gets its own
// patterns in parentheses, blank-separated, and "*.*" becomes "*".
QString TranslateFileFilter(const QString& filter);

// Shows the open (open = true) or save dialog, starting at the initial file
// name, adding the default extension to a name typed without one; the save
// dialog asks before overwriting. True with the chosen path when the user
// confirms, false otherwise (also when no dialog could be shown).
bool PromptForFile(bool open, QString& path, const QString& initialName,
                   const QString& defaultExtension, const QString& filter, QWidget* parent);
