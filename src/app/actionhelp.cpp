#include "app/actionhelp.h"

#include <QTreeWidget>

namespace {

struct HelpRow {
    const char16_t* syntax;
    const char16_t* text;
};

// The commands of the interpreter.
constexpr HelpRow kCommandRows[] = {
    {u"curlpath", u"Navigate to the given Tree item."},
    {u"closeproperties", u"Close the properties panel."},
    {u"openproperties=url", u"Open the properties panel with url."},
    {u"closewizard", u"Close the Wizard panel."},
    {u"openwizard=url", u"Open the Wizard panel with url."},
    {u"showhelp=url", u"Navigate to help url."},
    {u"sleep=secs", u"Sleep for given number of seconds."},
    {u"login=user/passwd", u"Login to current server using user/passwd."},
    {u"logout", u"Logout of current server."},
    {u"loginall", u"Attempt to login to all servers as admin/plovern."},
    {u"selectfile", u"Popup the server-side file selector dialog."},
    {u"refresh", u"Refresh the current Tree item."},
    {u"refreshtab", u"Refresh the current Tab."},
    {u"populate", u"Force population of the current dynamic Tree item."},
    {u"refreshparent", u"Refresh the parent of the current Tree item."},
    {u"deletechildren", u"Delete all children of the current dynamic Tree item."},
    {u"navigate=first", u"Open first chunk using grid navigator"},
    {u"navigate=prior", u"Open prior chunk using grid navigator"},
    {u"navigate=next", u"Open next chunk using grid navigator"},
    {u"navigate=last", u"Open last chunk using grid navigator"},
    {u"ok", u"Run the 'OK' logic on an open properties panel."},
    {u"apply", u"Run the 'Apply' logic on an open properties panel."},
    {u"cancel", u"Run the 'Cancel' logic on an open properties panel."},
    {u"new", u"Run the 'New' logic on a grid."},
    {u"search=xxx", u"Type xxx into the quick filter above a grid."},
    {u"message=xxx", u"Popup the message xxx."},
    {u"info=xxx", u"Same as message=xxx."},
    {u"warning=xxx", u"Popup a warning message xxx."},
    {u"error=xxx", u"Popup an error message xxx and increment the global error count."},
    {u"okcancel=xxx",
     u"Present an OK/Cancel dialog with message xxx. [Cancel] will increment global error count."},
    {u"yesno=xxx",
     u"Present an Yes/No dialog with message xxx. [No] will increment global error count."},
    {u"synchcount",
     u"Synchronize the numeric count (in parens) in the current Tree item to the number of rows in "
     u"the current grid."},
    {u"clearcount", u"Clear the numeric count (in parens) in the current Tree item."},
    {u"newworldview", u"Completely clear the World View."},
    {u"saveworldview=", u"Save the World View to given filename."},
    {u"newfolder=label", u"Create a World View folder at current tree position."},
    {u"newserver=label/http/host/port/user/pass", u"Create a server at the current tree position."},
    {u"touch=filename", u"Create/touch a file on the client PC."},
    {u"remove=filename", u"Remove a file on the client PC."},
    {u"clearprefs", u"Clear all in-memory preferences (FYI: leaves INI file intact)."},
    {u"gridmenupick=xxx", u"Invoke grid menu pick with id=xxx (or label=xxx or file=xxx)."},
    {u"treemenupick=xxx", u"Invoke tree menu pick with id=xxx (or label=xxx or file=xxx)."},
};

// What an action list's entries may be.
constexpr HelpRow kListRows[] = {
    {u"curl:xxx", u"invoke any of the myriad of 'curls' that the application supports"},
    {u"browser:xxx", u"make RHS a browser with the given URL xxx"},
    {u"browsewait:xxx", u"make RHS a browser with the given URL xxx and wait till rendered"},
    {u"grid:xxx", u"make RHS a grid with the given URL xxx (expects grid xml)"},
    {u"ElemChooser:xxx", u"make RHS a grid with the Element Chooser on top (expects grid xml)"},
    {u"tree:xxx", u"extend LHS tree at current point with given items (expects tree xml)"},
    {u"properties:xxx",
     u"create properties panel using the given URL xxx (assumes grid is active)"},
    {u"properties", u"create properties panel using definition from current grid"},
    {u"launchbrowser:xxx", u"launch a 'pseudo child window' using the given URL xxx"},
    {u"launchdiscover:xxx", u"launch a 'pseudo child window' for discover using the given URL xxx"},
    {u"xml:xxx",
     u"process arbitrary xml from given URL xxx using the app's intepreter (no rendering)"},
    {u"app:xxx", u"launch a client-side application (future, WIP)"},
    {u"set:name=value",
     u"set USER variable (vars: ActionDelayMSecs, ActionLog, SuppressAllPopups)"},
    {u"setpreference:name=value",
     u"set preference variable (Names are scoped to servers in general, look in the QVx ini file "
     u"for examples)"},
    {u"prompt:varname=prompt-text", u"dynamically add a variable to the URL being built"},
    {u"GridSelection=,key1@key2,key1@key2,...", u"select some grid rows, based on primary key[s]"},
    {u"GridExportAll=filename", u"create a CSV of entire grid"},
    {u"GridExportSelected=filename", u"create a CSV with current grid selection"},
    {u"GridSort:columnHeader,ascending",
     u"Sort the column (as specified by the name in the xml) either ascending=1 or descending=0"},
    {u"timer:start,xxx", u"start a timer named xxx"},
    {u"timer:stop,xxx", u"stop a timer named xxx"},
    {u"timer:dump,filename", u"dump a CSV of all timers to filename"},
    {u"timer:clear", u"clear all timers"},
    {u"FieldChooser", u"bring up the FieldChooser for the active grid"},
    {u"tab:add,label,action", u"dynamically add a tab to the current tree item"},
    {u"tab:label", u"switch to tab with label or (one-based tab number)"},
};

template <std::size_t N>
void fill(QTreeWidget& window, const HelpRow (&rows)[N]) {
    window.clear();
    window.setColumnCount(2);
    for (const HelpRow& row : rows) {
        new QTreeWidgetItem(&window,
                            {QString::fromUtf16(row.syntax), QString::fromUtf16(row.text)});
    }
}

template <std::size_t N>
void appendReferenceTable(QString& page, const char16_t* heading, const char16_t* prefix,
                          const HelpRow (&rows)[N]) {
    page += u"<h2>"_qs + QString::fromUtf16(heading) + u"</h2>\n<table>\n"_qs;
    for (const HelpRow& row : rows) {
        const QString syntax = QString::fromUtf16(prefix) + QString::fromUtf16(row.syntax);
        page += u"<tr><td><code>"_qs + syntax.toHtmlEscaped() + u"</code></td><td>"_qs +
                QString::fromUtf16(row.text).toHtmlEscaped() + u"</td></tr>\n"_qs;
    }
    page += u"</table>\n"_qs;
}

}  // namespace

void WriteCommandHelp(QTreeWidget& window) {
    fill(window, kCommandRows);
}

void WriteActionListHelp(QTreeWidget& window) {
    fill(window, kListRows);
}

QString ActionLanguageReferencePage() {
    QString page = QStringLiteral(
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
        "<title>Action Language Reference</title>\n"
        "<style>body{font-family:sans-serif}td{padding:2px 12px;vertical-align:top}"
        "code{white-space:nowrap}</style></head><body>\n"
        "<h1>Action Language Reference</h1>\n"
        "<p>An action script is a text file with one action per line. Each line is an entry "
        "of an action list; a <code>curl:</code> entry runs one command of the "
        "interpreter.</p>\n");
    appendReferenceTable(page, u"Action list entries", u"", kListRows);
    appendReferenceTable(page, u"Commands", u"curl:", kCommandRows);
    page += QStringLiteral("</body></html>\n");
    return page;
}
