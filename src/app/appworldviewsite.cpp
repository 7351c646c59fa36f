#include "app/appworldviewsite.h"

#include "app/appservices.h"
#include "app/theapp.h"
#include "frame/logindialog.h"
#include "frame/mainframe.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "settings/preferences.h"
#include "settings/promptforfile.h"
#include "tree/mytree.h"
#include "ui/popupmessages.h"

#include <QPointer>

void CAppWorldViewSite::WarningBox(const QString& text) {
    m_app.PopupMessage(text, kPopupWarning);
}

bool CAppWorldViewSite::AskYesNo(const QString& text) {
    return m_app.PopupMessage(text, kPopupYesNo) == kAnswerYes;
}

bool CAppWorldViewSite::PromptForSavePath(QString& path) {
    return PromptForFile(false, path, path, QStringLiteral("zwv"),
                         QStringLiteral("Zorvic World View (*.zwv)|*.zwv|All Files|*.*||"),
                         nullptr);
}

bool CAppWorldViewSite::IsNewWorldViewUnsaved() {
    const CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr && frame->NewWorldViewUnsaved();
}

void CAppWorldViewSite::ClearNewWorldViewUnsaved() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->ClearNewWorldViewUnsaved();
    }
}

void CAppWorldViewSite::PumpMessages() {
    m_app.PumpMessages(false);
}

void CAppWorldViewSite::AutoLogin(CMyTree& tree, QTreeWidgetItem* server) {
    auto* system = dynamic_cast<CMySystem*>(tree.GetSystem(server));
    if (system == nullptr) {
        return;
    }
    // The login may replace the panel (it selects the server again): a
    // guarded pointer says whether it is still there.
    QPointer<CLoginDialog> panel;
    if (CMainFrame* frame = m_app.MainFrame()) {
        panel = frame->findChild<CLoginDialog*>();
        if (panel != nullptr && panel->isVisible() && panel->CurrentTreeItem() == server) {
            panel->UpdateControls(CLoginDialog::kWaiting);
            m_app.PumpMessages(true);
        } else {
            panel = nullptr;
        }
    }
    CPreferences& prefs = m_app.Prefs();
    prefs.GetCredentials(kFormat(u"%s:%d", system->Host, system->WebPort), system->User,
                         system->Password);
    if (prefs.GetInt(QStringLiteral("SCAuthentication"), 1) != 0 &&
        !MySystemSite().PrepareSmartCardLogin(*system)) {
        if (panel != nullptr) {
            panel->UpdateControls(CLoginDialog::kLoggedOut);
        }
        return;
    }
    QString error;
    const int loggedIn = system->Login(error, &tree, server, false);
    if (loggedIn == 0) {
        kWarningLog(u"Automatic login failed: %s", error);
    }
    if (panel != nullptr) {
        panel->UpdateControls(CLoginDialog::kBySystem);
    }
}

void CAppWorldViewSite::DispatchCurl(const QString& curl) {
    m_app.Services().DispatchCurl(curl);
}

void CAppWorldViewSite::SaveColumnPrefs() {
    m_app.Services().SaveColumnPreferences();
}

void CAppWorldViewSite::SetRestoring(bool restoring) {
    m_app.SetRestoring(restoring);
}
