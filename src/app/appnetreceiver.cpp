#include "app/appnetreceiver.h"

#include "app/theapp.h"
#include "tree/treenode.h"

#include <QTreeWidget>

#include <optional>

void CAppNetReceiver::OnGridDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    m_app.Services().GridDataReady(requesterId, std::move(clientEnd));
}

void CAppNetReceiver::OnTreeDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    m_app.Services().TreeDataReady(requesterId, std::move(clientEnd));
}

void CAppNetReceiver::OnStatusText(const QString& text) {
    m_app.SetStatusText(text, 0);
}

void CAppNetReceiver::OnErrorBox(const QString& text, const QString& caption) {
    m_app.Popups().ShowWithoutOwner(text, caption, kPopupError);
}

void CAppNetReceiver::LogoutUnauthorized(const CNetServerKey& server) {
    CMyTree& tree = m_app.Tree();
    QTreeWidget* control = tree.GetTreeCtrl();
    if (control == nullptr) {
        return;
    }
    // Every entry of that server and user loses its login; one already
    // logged out by the request's own caller is left alone.
    for (QTreeWidgetItemIterator it(control); *it != nullptr; ++it) {
        CServerConnection* system = ConnectionOf(tree.GetMyItem(*it));
        if (system == nullptr || !system->LoggedIn) {
            continue;
        }
        const std::optional<CNetServerKey> key =
            CNetServerKey::FromUrl(system->GetBaseURL(false), system->User);
        if (key.has_value() && *key == server) {
            system->LoginExpired = true;
            system->LogoutSession(&tree, *it);
        }
    }
}
