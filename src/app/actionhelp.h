#pragma once

// The two help tables of the action language, written into a list control
// of two columns (syntax, help text): the interpreter's commands, and what
// an action list's entries may be.

class QTreeWidget;

void WriteCommandHelp(QTreeWidget& window);
void WriteActionListHelp(QTreeWidget& window);
