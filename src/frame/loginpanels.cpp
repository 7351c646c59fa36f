#include "frame/loginpanels.h"

#include "frame/logindialog.h"
#include "frame/logoutdialog.h"
#include "frame/panelfactory.h"
#include "frame/saveloginsettingsdialog.h"

#include <QApplication>

void RegisterLoginPanels(CPanelFactory& panels, CMyTree& tree, CPreferences& prefs) {
    panels.Register(CLoginDialog::kTemplateId, [&tree, &prefs](const CPanelRequest& request) {
        auto* panel = new CLoginDialog(request.parent, request.context, tree, prefs);
        // Asked after the login, when this panel may already be gone.
        panel->AskToRememberLogin = [&prefs] {
            CSaveLoginSettingsDialog dialog(prefs, QApplication::activeWindow());
            dialog.exec();
        };
        panel->hide();
        return panel;
    });
    panels.Register(CLogoutDialog::kTemplateId, [&tree](const CPanelRequest& request) {
        auto* panel = new CLogoutDialog(request.parent, request.context, tree);
        panel->hide();
        return panel;
    });
}
