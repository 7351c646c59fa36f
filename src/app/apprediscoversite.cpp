#include "app/apprediscoversite.h"

#include "app/theapp.h"
#include "dialogs/progressbar.h"
#include "frame/mainframe.h"
#include "ui/popuptype.h"

CMySystem* CAppReDiscoverSite::CurrentSystem() {
    return m_app.GetSystem(m_app.Tree().GetSelectedItem());
}

void CAppReDiscoverSite::RebuildRHS() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->RebuildRHS();
    }
}

void CAppReDiscoverSite::EndProgress() {
    if (CProgressBar* bar = m_app.ProgressBar()) {
        bar->Done();
    }
}

QString CAppReDiscoverSite::ServerURL() {
    return m_app.GetServerURL(m_app.Tree().GetSelectedItem());
}

QRect CAppReDiscoverSite::CascadeRect() {
    return m_app.GetCascadeRect();
}

void CAppReDiscoverSite::MessageBox(const QString& text) {
    m_app.Popups().PopupMessage(text, kPopupInformation);
}
