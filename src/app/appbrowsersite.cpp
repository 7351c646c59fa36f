#include "app/appbrowsersite.h"

#include "app/actioninterpreter.h"
#include "app/actionwindows.h"
#include "app/theapp.h"
#include "frame/mainframe.h"
#include "framework/klog.h"
#include "server/mysystem.h"

#include <QUrl>

namespace {

int defaultPort(const QString& scheme) {
    return scheme.compare(u"https", Qt::CaseInsensitive) == 0 ? 443 : 80;
}

bool serverAt(const CMySystem& system, const QUrl& url) {
    return url.scheme().compare(system.Protocol, Qt::CaseInsensitive) == 0 &&
           url.host().compare(system.Host, Qt::CaseInsensitive) == 0 &&
           url.port(defaultPort(url.scheme())) == system.WebPort;
}

}  // namespace

bool CAppBrowserSite::IsUp() const {
    return m_app.IsUp();
}

bool CAppBrowserSite::IsPageSubmitGuarded() const {
    return m_app.Interpreter().IsPageSubmitGuarded();
}

QTreeWidgetItem* CAppBrowserSite::findServerItem(const QUrl& url, bool loggedInOnly) const {
    CMyTree& tree = m_app.Tree();
    std::vector<QTreeWidgetItem*> pending;
    if (QTreeWidgetItem* root = tree.GetRootItem()) {
        pending.push_back(root);
    }
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        const CMyItem* record = tree.GetMyItem(item);
        if (record != nullptr && record->ItemType == kKindSystem) {
            const auto* system = dynamic_cast<const CMySystem*>(tree.GetSystem(item));
            if (system != nullptr && (!loggedInOnly || system->LoggedIn) &&
                serverAt(*system, url)) {
                return item;
            }
            continue;
        }
        for (int i = 0; i < item->childCount(); ++i) {
            pending.push_back(item->child(i));
        }
    }
    return nullptr;
}

bool CAppBrowserSite::IsLoggedInServer(const QUrl& url) const {
    return findServerItem(url, true) != nullptr;
}

bool CAppBrowserSite::CredentialsFor(const QUrl& url, QString& user, QString& password) {
    QTreeWidgetItem* item = findServerItem(url, true);
    const auto* system =
        item != nullptr ? dynamic_cast<const CMySystem*>(m_app.Tree().GetSystem(item)) : nullptr;
    if (system == nullptr) {
        return false;
    }
    user = system->User;
    password = system->Password;
    return true;
}

void CAppBrowserSite::OnUnauthorized(const QUrl& url) {
    kDebugLog(u"Browser page answered 401: %s\n", url.toString(QUrl::RemoveUserInfo));
    CMyTree& tree = m_app.Tree();
    QTreeWidgetItem* item = findServerItem(url, false);
    auto* system = item != nullptr ? dynamic_cast<CMySystem*>(tree.GetSystem(item)) : nullptr;
    if (system == nullptr) {
        // A page of no known server: the selected one, as before.
        LogoutIfUnauthorized(tree, 401);
        return;
    }
    system->LoginExpired = true;
    system->Logout(&tree, item);
}

bool CAppBrowserSite::IsBrowserRowShown() {
    CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr && frame->RightSplitter().IsRowVisible(CMainFrame::kBrowserRow);
}

void CAppBrowserSite::DropEmptyLastGridRow() {
    CActionWindows& windows = m_app.ActionWindows();
    if (windows.GridIsLastRowEmpty()) {
        windows.GridDeleteLastRow();
    }
}

bool CAppBrowserSite::WantsServerPid() {
    const CMySystem* system = m_app.GetSystem(nullptr);
    return system != nullptr && system->GetServerInfo().contains(u"win32", Qt::CaseInsensitive);
}

bool CAppBrowserSite::IsLanguagePackActive() {
    return m_app.IsLanguagePackActive();
}

void CAppBrowserSite::PumpMessages() {
    m_app.PumpMessages(false);
}

QWidget* CAppBrowserSite::MainWindow() {
    return m_app.MainFrame();
}
