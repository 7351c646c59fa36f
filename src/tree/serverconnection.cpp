#include "tree/serverconnection.h"

#include "framework/kformat.h"
#include "net/mywire.h"
#include "settings/urltext.h"

#include <QUrl>

void ServerEntryPanel::CopyFrom(const ServerEntryPanel& other) {
    ImageIdx = other.ImageIdx;
    PanelParts = other.PanelParts;
    PanelDialog = other.PanelDialog;
    TreeURL = other.TreeURL;
    RefreshSecs = other.RefreshSecs;
    Parts.Clear();
    Parts.Merge(&other.Parts);
}

CServerConnection::~CServerConnection() = default;

std::unique_ptr<CServerConnection> CServerConnection::Clone() const {
    std::unique_ptr<CServerConnection> copy = NewServerConnection();
    copy->CopySettingsFrom(*this);
    return copy;
}

void CServerConnection::CopySettingsFrom(const CServerConnection& other) {
    Host = other.Host;
    Protocol = other.Protocol;
    WebPort = other.WebPort;
    User = other.User;
    Password = other.Password;
    ServerType = other.ServerType;
    ClientDateTimeInfo = other.ClientDateTimeInfo;
    Panel.CopyFrom(other.Panel);
}

QString CServerConnection::GetBaseURL(bool withCredentials) const {
    // An IPv6 literal is bracketed, or its colons would read as a port.
    const QString host = Host.contains(u':') && !Host.startsWith(u'[') ? u'[' + Host + u']' : Host;
    QString url;
    if (withCredentials && !User.isEmpty()) {
        const auto encoded = [](const QString& text) {
            return QString::fromLatin1(QUrl::toPercentEncoding(text));
        };
        url = kFormat(u"%s://%s:%s@%s", Protocol, encoded(User), encoded(Password), host);
    } else {
        url = kFormat(u"%s://%s", Protocol, host);
    }
    if (WebPort != kDefaultWebPort) {
        url += kFormat(u":%d", WebPort);
    }
    return url;
}

QString CServerConnection::AbsoluteURL(const QString& url) const {
    if (IsURL(url)) {
        return url;
    }
    return GetBaseURL(false) + (url.startsWith(u'/') ? QString() : QStringLiteral("/")) + url;
}

bool CServerConnection::FetchDocument(const QString& url, QString& reply, QString& errorText) {
    CMyWire wire;
    if (wire.CaptureDocument(AbsoluteURL(url), User, Password, reply, false)) {
        errorText.clear();
        return true;
    }
    errorText = wire.GetErrorText();
    return false;
}

CContextMenu* CServerConnection::GetItemMenu(const QString&) {
    return nullptr;
}

int CServerConnection::LogoutSession(CMyTree*, QTreeWidgetItem*) {
    LoggedIn = false;
    return 1;
}

CServerConnection::SessionFacts CServerConnection::GetSessionFacts() const {
    SessionFacts facts;
    facts.startURL = GetBaseURL(false);
    return facts;
}
