#pragma once

// The local pages the program writes to show server content: the page that
// posts a request with a long or query-bearing URL, the one-script page and
// the properties page filled in from the server's template. Every text that
// comes from a URL, a server or a list goes in escaped for where it lands.

#include <QString>

class KPROPS;

// A page that posts the URL's query as hidden form fields (at most 1000
// pairs) to the URL before its "?" as soon as it loads.
QString AutoPostPage(const QString& url, const QString& title);

// A page that runs the script once.
QString ScriptPage(const QString& script);

// The script that opens a named window with the features, the URL given as
// a JavaScript string.
QString WindowOpenScript(const QString& url, const QString& name, const QString& features);

// The properties template filled in: "{{V=TITLE}}", "{{V=STARTURL}}" and
// "{{V=CLOSE}}" everywhere, and the part between "{{beg:row}}" and
// "{{end:row}}" once per property with "{{V=LABEL}}" and "{{V=VALUE}}".
// Title, start URL, labels and values are HTML-escaped; the close link and
// the template itself stay as they are.
QString PropertiesPage(const QString& templateText, const KPROPS& properties, const QString& title,
                       const QString& startUrl, const QString& closeLink);
