#include "app/appaboutsite.h"

#include "app/history.h"
#include "app/theapp.h"
#include "app/urltrail.h"

CPreferences& CAppAboutSite::Prefs() {
    return m_app.Prefs();
}

QString CAppAboutSite::ModulePath() {
    return m_app.ModulePath();
}

QString CAppAboutSite::URLTrailHTML() {
    return m_app.History().GetURLTrailHTML(m_app.Prefs());
}

void CAppAboutSite::ShowPlaybackOptions(QWidget* parent) {
    CURLTrail dialog(m_app.History(), m_app.Prefs(), parent);
    dialog.exec();
}

void CAppAboutSite::LoginAllMatching(const QString& hosts) {
    m_app.Services().LoginAllMatching(hosts);
}
