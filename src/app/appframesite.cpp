#include "app/appframesite.h"

#include "app/actiondialog.h"
#include "app/appaboutsite.h"
#include "app/theapp.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/splashabout.h"
#include "frame/mainframe.h"

CPreferences& CAppFrameSite::Prefs() {
    return m_app.Prefs();
}

void CAppFrameSite::RunActionScript(const QString& path) {
    m_app.RunActionScript(path);
}

bool CAppFrameSite::HasSelectedItem() {
    return m_app.Seams().HasSelectedItem();
}

QString CAppFrameSite::SelectedServerBaseURL() {
    return m_app.Seams().SelectedServerBaseURL();
}

bool CAppFrameSite::SelectedItemHasBrowserPart() {
    return m_app.Seams().SelectedItemHasBrowserPart();
}

QString CAppFrameSite::SelectedItemFullCurl() {
    return m_app.Seams().SelectedItemFullCurl();
}

void CAppFrameSite::SetUp(bool up) {
    m_app.SetUp(up);
}

void CAppFrameSite::LogoutAllServers() {
    m_app.Seams().LogoutAllServers();
}

void CAppFrameSite::SaveRebarLayout() {
    m_app.Seams().SaveRebarLayout();
}

void CAppFrameSite::AskSaveWorldViewOnExit() {
    m_app.Seams().AskSaveWorldViewOnExit();
}

void CAppFrameSite::SaveColumnPreferences() {
    m_app.Seams().SaveColumnPreferences();
}

void CAppFrameSite::ShowAboutWindow() {
    CSplashAbout::SetSplashMode(0);
    CSplashAbout::ShowSplashAbout(m_app.MainFrame());
}

void CAppFrameSite::ShowDeveloperAbout() {
    CAppAboutSite site(m_app);
    CAboutDialog dialog(site, m_app.MainFrame());
    dialog.exec();
}

void CAppFrameSite::ShowActionScriptDialog() {
    CActionDialog dialog(m_app, m_app.MainFrame());
    dialog.exec();
}
