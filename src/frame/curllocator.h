#pragma once

// A curl locator: what a World View item, a tab or an action names for the
// right-hand side to show, as a prefix and its payload ("grid:/cmi/...",
// "browser:http://..."). The one parser every renderer uses.

#include <QString>

enum class LocatorKind {
    Malformed,
    Browser,      // "browser:"
    BrowseWait,   // "browsewait:"
    Grid,         // "grid:" and "grid[" (the bracket form loads as "grid:")
    ElemChooser,  // "ElemChooser:"
    NodeChooser,  // "NodeChooser:"
    JobChooser,   // "JobChooser:"
    List,         // "tree:" and "list:"
    Action,       // "curl:": the whole locator is an action
};

struct CCurlLocator {
    LocatorKind kind = LocatorKind::Malformed;
    // The text after the prefix with leading tabs, line ends and blanks skipped.
    QString payload;

    // Prefixes match case-sensitively, on their exact text.
    static CCurlLocator Parse(const QString& locator);

    // Kinds whose payload is a URL on the server, to be made absolute.
    bool IsURL() const { return kind != LocatorKind::Malformed && kind != LocatorKind::Action; }
    // The kinds that show the grid with its navigator above.
    bool HasNavigator() const;
    // The panel template of a chooser kind, 0 for the others.
    int ChooserTemplate() const;
};
