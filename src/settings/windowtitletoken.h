#pragma once

// A token that another program on the desktop announces in its window title
// between "[>" and "<]".

#include <QString>
#include <QStringList>
#include <QStringView>

// The token of one title (trailing blanks ignored, the token trimmed), or an
// empty text when the title lacks "[>" or a later "<]".
QString TitleToken(QStringView title);

// The titles of the desktop's visible, unowned top-level windows from front
// to back. On X11 they come from the window manager's stacking list, or from
// the root window's children when no window manager publishes one; other
// displays give none.
QStringList TopLevelWindowTitles();

// The token of the first title that carries one, or an empty text.
QString FindWindowTitleToken();
// The same, for the help launcher.
QString GetWindowTitleToken();
