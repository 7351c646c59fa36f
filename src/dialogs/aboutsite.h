#pragma once

// What the About box needs of the application: the settings, where the
// program runs from, the URL trail as a page and its export dialog, and the
// developer login to every matching server of the World View.

#include <QString>

class CPreferences;
class QWidget;

class CAboutSite {
public:
    virtual ~CAboutSite() = default;

    virtual CPreferences& Prefs() = 0;
    // The program file the application started from.
    virtual QString ModulePath() = 0;
    // The trail listing, newest first, as the body of the trail page.
    virtual QString URLTrailHTML() = 0;
    // The URL Trail dialog, modal over the parent.
    virtual void ShowPlaybackOptions(QWidget* parent) = 0;
    // Logs in to every server whose label or host contains the text (all
    // of them for an empty text).
    virtual void LoginAllMatching(const QString& hosts) = 0;
};
