#pragma once

// The two help tables of the action language, written into a list control
// of two columns (syntax, help text): the interpreter's commands, and what
// an action list's entries may be. The same tables make the language's
// reference page.

#include <QString>

class QTreeWidget;

void WriteCommandHelp(QTreeWidget& window);
void WriteActionListHelp(QTreeWidget& window);

// Both tables as one reference page of the action language (HTML).
QString ActionLanguageReferencePage();
