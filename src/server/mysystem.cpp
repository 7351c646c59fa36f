#include "server/mysystem.h"

#include "framework/klog.h"
#include "framework/ktext.h"
#include "net/netdispatcher.h"
#include "net/xmltext.h"
#include "server/mysystemsite.h"
#include "settings/buildstamp.h"
#include "settings/preferences.h"
#include "settings/urlcoding.h"
#include "settings/urltext.h"
#include "tree/mytree.h"
#include "tree/treeimages.h"
#include "tree/treetexts.h"
#include "tree/xmlnumbers.h"
#include "ui/menucommandids.h"

#include <QDateTime>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <set>

CStringTriple g_SmartCardLogin;
HttpClientCertificate g_SmartCardCertificate;

void ForgetSmartCardLogin() {
    g_SmartCardLogin.first.fill(u'\0');
    g_SmartCardLogin = {};
    g_SmartCardCertificate.keyPassword.fill(u'\0');
    g_SmartCardCertificate = {};
}

namespace {

constexpr unsigned kBadCredentialsString = 553;
constexpr unsigned kNotInstalledString = 554;
const QString kLoginSource = QStringLiteral("CMySystem::Login");
const QString kMismatchBuildNum = QStringLiteral("99033112");

// The command-id owners of the live connections; each is used by one only.
std::set<quint64>& serverIdsInUse() {
    static std::set<quint64> ids;
    return ids;
}

qint64 now() {
    return QDateTime::currentSecsSinceEpoch();
}

// The text of a reply section, or of the element of that name.
QString section(const QString& reply, const QString& tag) {
    return XmlSimpleValue(reply, tag, false);
}

QString wrapped(const QString& tag, const QString& text) {
    return u'<' + tag + u'>' + text + QStringLiteral("</") + tag + u'>';
}

// The leading unsigned decimal number of the text, 0 when there is none.
quint64 leadingUnsigned(const QString& text) {
    const QStringView trimmed = kSkipWhitespace(text);
    qsizetype digits = 0;
    while (digits < trimmed.size() && trimmed.at(digits).isDigit()) {
        ++digits;
    }
    return trimmed.left(digits).toULongLong();
}

// The image of a logged-in server entry whose tree names no image of its own.
int defaultServerImage(int status) {
    if (status == CMySystem::kStatusGreen) {
        return kImageSystemG;
    }
    return status == CMySystem::kStatusRed ? kImageSystemR : kImageSystemY;
}

QString labelOf(const CMyTree& tree, QTreeWidgetItem* item) {
    const CMyItem* record = tree.GetMyItem(item);
    return record != nullptr ? record->GetLabel() : QString();
}

// The World View item whose server entry owns the connection, null when none.
QTreeWidgetItem* itemOfSystem(const CMyTree& tree, const CServerConnection* system) {
    QTreeWidget* control = tree.GetTreeCtrl();
    if (control == nullptr) {
        return nullptr;
    }
    for (QTreeWidgetItemIterator it(control); *it != nullptr; ++it) {
        const CMyItem* record = tree.GetMyItem(*it);
        if (record != nullptr && record->ItemType == kKindSystem &&
            static_cast<const CSystemItem*>(record)->GetSystem() == system) {
            return *it;
        }
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<CServerConnection> NewServerConnection() {
    return std::make_unique<CMySystem>();
}

CMySystem::CMySystem() : m_serverProcesses(*this, MySystemSite().Dispatcher()) {
    m_className = QStringLiteral("CMySystem");
}

CMySystem::~CMySystem() {
    SetClientCertificate({});
    // A server entry deleted while logged in gives its menu command ids back.
    releaseServerId();
}

std::unique_ptr<CServerConnection> CMySystem::Clone() const {
    auto copy = std::make_unique<CMySystem>();
    copy->CopyFrom(*this);
    return copy;
}

void CMySystem::CopyFrom(const CMySystem& other) {
    CopySettingsFrom(other);
    AddressFlag = other.AddressFlag;
    m_serverType = other.m_serverType;
    m_serverVersion = other.m_serverVersion;
    m_serverInfo = other.m_serverInfo;
    m_cmiVersion = other.m_cmiVersion;
    m_treeXml = other.m_treeXml;
    m_serverStatus = other.m_serverStatus;
    m_serverMessage = other.m_serverMessage;
    LoggedIn = other.LoggedIn;
    LoginExpired = other.LoginExpired;
}

void CMySystem::NoteRequestTime() {
    m_lastRequestTime = now();
}

int CMySystem::XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                               const QString& parent, const XmlElementStack& stack) {
    return CMyWire::XMLHandleEndTag(name, text, attributes, parent, stack) != 0 ? 1 : 0;
}

void CMySystem::takeServerId() {
    if (m_serverId != 0) {
        return;  // a login again keeps the identifier its menus were made under
    }
    std::set<quint64>& inUse = serverIdsInUse();
    // Two servers that log in within one second would otherwise share the
    // identifier, and the logout of one would free the other's command ids.
    quint64 id = static_cast<quint32>(m_loginAttemptTime);
    while (id == 0 || inUse.contains(id)) {
        id = static_cast<quint32>(id + 1);
    }
    inUse.insert(id);
    m_serverId = id;
}

void CMySystem::releaseServerId() {
    if (m_serverId != 0) {
        MySystemSite().MenuCommandIds().Free(m_serverId);
        serverIdsInUse().erase(m_serverId);
        m_serverId = 0;
    }
}

QString CMySystem::loginRequest() const {
    const QString buildNum = GetBuildNum();
    return kFormat(u"/cmi/Services?Action=Login&%s=%s&%s=%lu&%s=%s", u"ProtocolVersion",
                   buildNum == kMismatchBuildNum ? u"9999" : u"2009", u"ClientBuildNum",
                   leadingUnsigned(buildNum), u"ClientBuildNote", EncodeForURL(GetBuildNote()));
}

int CMySystem::Login(QString& errorText, CMyTree* tree, QTreeWidgetItem* item, bool showXml) {
    const CWireBusy busy;
    const CLoginRequest request = BeginLogin(tree, item);
    CLoginResult result;
    QString fetchError;
    result.fetched = FetchDocument(request.url, result.reply, fetchError);
    result.errorText = GetErrorText();
    result.httpStatus = GetHttpStatus();
    return FinishLogin(request, result, errorText, tree, item, showXml);
}

CLoginRequest CMySystem::BeginLogin(CMyTree* tree, QTreeWidgetItem* item) {
    CMySystemSite& site = MySystemSite();
    site.Dispatcher().PurgeSessionCookies(Host);
    m_loginAttemptTime = now();
    takeServerId();
    LoginExpired = false;
    if (tree != nullptr && item != nullptr) {
        site.SetStatusText(kFormat(u"Logging in to: %s ...", labelOf(*tree, item)));
    }
    if (WebPort == 0) {
        WebPort = kDefaultWebPort;
    }
    m_treeXml.clear();
    LoggedIn = false;
    NoteRequestTime();
    return {AbsoluteURL(loginRequest()), User, Password};
}

CLoginResult CMySystem::SendLogin(const CLoginRequest& request) {
    CMyWire wire;
    CLoginResult result;
    result.fetched =
        wire.CaptureDocument(request.url, request.user, request.password, result.reply, false);
    result.errorText = wire.GetErrorText();
    result.httpStatus = wire.GetHttpStatus();
    return result;
}

int CMySystem::FinishLogin(const CLoginRequest& request, const CLoginResult& result,
                           QString& errorText, CMyTree* tree, QTreeWidgetItem* item, bool showXml) {
    const CWireBusy busy;
    errorText.clear();
    if (result.fetched && showXml) {
        MySystemSite().LaunchBrowser(request.url, QStringLiteral("Quillet for Velnix by Zorvic"));
    }
    if (!result.fetched) {
        takeLoginFailure(result, errorText);
    } else if (readLoginReply(result.reply, errorText)) {
        if (tree != nullptr && item != nullptr && WireServices().CancelFlag() == 0) {
            showLoggedInItem(*tree, item);
        }
        m_loginTime = now();
        m_lastRequestTime = m_loginTime;
        LoggedIn = true;
    }
    kDebugLog(u"LOGIN to '%s' as '%s' %s (HTTP %d)\n", GetBaseURL(false), User,
              LoggedIn ? u"SUCCEEDED" : u"FAILED", result.httpStatus);
    return LoggedIn ? 1 : 0;
}

void CMySystem::takeLoginFailure(const CLoginResult& result, QString& errorText) {
    errorText = result.errorText;
    switch (result.httpStatus) {
        case 400:
            errorText += QStringLiteral("\n\r__________\n\r") +
                         LookupText(QStringLiteral("Is the HTTP/HTTPS radio button correct?"));
            break;
        case 401:
            errorText = TranslatedResourceString(kBadCredentialsString);
            break;
        case 403:
        case 405:
        case 406:
        case 500:
            errorText += QStringLiteral("\n\r") +
                         LookupText(QStringLiteral(
                             "The server portion of Quillex (the \"CMI\") seems to be broken."));
            break;
        case 404:
            errorText = TranslatedResourceString(kNotInstalledString);
            break;
        case 407:
            break;
        default:
            if (errorText.isEmpty()) {
                errorText = QStringLiteral("A connection with the server could not be established");
            }
            break;
    }
}

bool CMySystem::readLoginReply(const QString& reply, QString& errorText) {
    const QString message = section(reply, QStringLiteral("message")).trimmed();
    CExpatMyWire commonElements;
    if (!commonElements.ParseXML(reply)) {
        errorText = QStringLiteral("XML Error: ") + commonElements.GetParseError();
        return false;
    }
    if (!message.isEmpty()) {
        errorText = message;
        return false;
    }
    storeServerFacts(reply, errorText);
    loadSections(reply);
    return true;
}

void CMySystem::storeServerFacts(const QString& reply, QString& errorText) {
    m_cmiVersion = section(reply, QStringLiteral("cmi-version"));
    m_serverType = section(reply, QStringLiteral("server-type"));
    m_serverVersion = section(reply, QStringLiteral("server-version"));
    m_serverInfo = section(reply, QStringLiteral("server-info"));
    m_helpUrl = section(reply, QStringLiteral("server-help-url"));
    m_voiceHelpUrl = section(reply, QStringLiteral("server-help-voice-url"));
    applyRememberLoginOption(section(reply, QStringLiteral("server-options")));

    m_serverStatus = XmlDecimal(section(reply, QStringLiteral("server-status")));
    if (m_serverStatus == 0) {
        m_serverStatus = XmlDecimal(section(reply, QStringLiteral("poller-count"))) != 0
                             ? kStatusGreen
                             : kStatusRed;
    }
    m_serverMessage = section(reply, QStringLiteral("server-message"));
    if (m_serverMessage.isEmpty()) {
        m_serverMessage = m_serverStatus == kStatusGreen
                              ? QStringLiteral("You are logged in.")
                              : QStringLiteral("Server state is unknown.");
    }
    ServerType = QChar(m_serverType.contains(u"Velnix") ? kServerTypeVelnix : kServerTypeUnknown);
    if (m_cmiVersion.isEmpty()) {
        errorText = kFormat(u"MALFORMED XML\n%s\n", reply);
    }
}

void CMySystem::applyRememberLoginOption(const QString& serverOptions) {
    CPreferences* prefs = MySystemSite().Preferences();
    if (prefs == nullptr) {
        return;
    }
    if (serverOptions.contains(u"[HIDE_REMEMBER_LOGIN]")) {
        prefs->SetString(QStringLiteral("HideRememberLogin"), QStringLiteral("1"));
    }
    if (prefs->GetInt(QStringLiteral("HideRememberLogin"), 0) != 0) {
        prefs->SetString(QStringLiteral("AskStorePass"), QString());
        prefs->SetString(QStringLiteral("AutoLogin"), QString());
        prefs->ClearCredentials();
    }
}

void CMySystem::loadSections(const QString& reply) {
    m_treeXml = wrapped(QStringLiteral("tree"), section(reply, QStringLiteral("tree")));
    const auto loadable = [&reply](const QString& tag) {
        const QString text = section(reply, tag);
        return !text.isEmpty() && WireServices().CancelFlag() == 0 ? wrapped(tag, text) : QString();
    };
    const QString menus = loadable(QStringLiteral("context-menus"));
    if (!menus.isEmpty()) {
        m_menuSet.SetCommandIds({&MySystemSite().MenuCommandIds(), m_serverId});
        m_menuSet.Load(menus, kLoginSource);
    }
    const QString rules = loadable(QStringLiteral("drag-info-list"));
    if (!rules.isEmpty()) {
        // A login again without a logout replaces the rules instead of adding twice.
        m_dropRules.Clear();
        m_dropRules.LoadFromXML(rules);
    }
    const QString filters = loadable(QStringLiteral("additional_filter"));
    if (!filters.isEmpty()) {
        m_filterOptions.Clear();
        m_filterOptions.SetLoaded(true);
        m_filterOptions.Load(filters);
    }
}

void CMySystem::showLoggedInItem(CMyTree& tree, QTreeWidgetItem* item) {
    Panel.ImageIdx = 0;
    Panel.PanelParts = 0;
    Panel.PanelDialog = 0;
    Panel.TreeURL.clear();
    Panel.Parts.Clear();
    Panel.RefreshSecs = 0;
    tree.AddItemsFromXML(m_treeXml, item);
    if (Panel.PanelParts == 0) {
        Panel.ImageIdx = defaultServerImage(m_serverStatus);
        Panel.PanelParts = kPanelDialog;
        Panel.PanelDialog = kDialogLogout;
    }
    if (CMyItem* record = tree.GetMyItem(item)) {
        record->ImageIdx = Panel.ImageIdx;
        record->PanelParts = Panel.PanelParts;
        record->PanelDialog = Panel.PanelDialog;
        record->TreeURL = Panel.TreeURL;
        record->Parts.Clear();
        record->Parts.Merge(&Panel.Parts);
        record->RefreshSecs = Panel.RefreshSecs;
    }
    tree.SetItemImage(item, Panel.ImageIdx);
    tree.SelectItem(tree.GetParentItem(item), false);
    CMySystemSite& site = MySystemSite();
    CPreferences* prefs = site.Preferences();
    if (prefs != nullptr && prefs->GetInt(QStringLiteral("SCAuthentication"), 1) != 0) {
        site.StartSmartCardThread(g_SmartCardLogin);
    }
    tree.SelectItem(item, false);
    kDebugLog(u"LoginDialog: attempting to open the system item...\n");
    tree.Expand(item, true);
    tree.EnsureVisible(item);
    site.AddCURL(tree.GetFullCurl(item));
}

int CMySystem::Logout(CMyTree* tree, QTreeWidgetItem* item) {
    if (!LoggedIn && !LoginExpired) {
        return 1;
    }
    const CWireBusy busy;
    CMySystemSite& site = MySystemSite();
    if (site.Dispatcher().LastHttpStatus() == 401 && LoginExpired) {
        WireServices().PopupMessage(TranslatedResourceString(kBadCredentialsString), kPopupWarning);
    }
    const bool withItem = tree != nullptr && item != nullptr;
    if (withItem) {
        site.SetStatusText(kFormat(u"Logging out of: %s ...", labelOf(*tree, item)));
    }
    forgetServerFacts();
    if (withItem) {
        resetLoggedOutItem(*tree, item);
    }
    m_dropRules.Clear();
    m_menuSet.Clear();
    m_filterOptions.Clear();
    WireServices().PumpMessages();
    releaseServerId();
    m_loginAttemptTime = 0;
    CloseSession();
    site.Dispatcher().DropSession(GetBaseURL(false), User);
    site.Dispatcher().PurgeSessionCookies(Host);
    const bool hadCertificate = HasClientCertificate();
    SetClientCertificate({});
    if (hadCertificate && !HttpAnyServerCertificate()) {
        // The last smart-card server is gone: the PIN goes too.
        ForgetSmartCardLogin();
    }
    return 1;
}

void CMySystem::SetClientCertificate(const HttpClientCertificate& certificate) {
    if (!m_clientCertificateUrl.isEmpty()) {
        HttpSetServerCertificate(m_clientCertificateUrl, {});
        m_clientCertificateUrl.clear();
    }
    if (!certificate.isEmpty()) {
        const QString url = GetBaseURL(false);
        if (HttpSetServerCertificate(url, certificate)) {
            m_clientCertificateUrl = url;
        }
    }
}

void CMySystem::forgetServerFacts() {
    m_cmiVersion.clear();
    m_serverType.clear();
    m_serverVersion.clear();
    m_serverInfo.clear();
    LoggedIn = false;
    ServerType = QChar(kServerTypeUnknown);
    m_loginTime = 0;
    m_lastRequestTime = 0;
    Panel.Parts.Clear();
}

void CMySystem::resetLoggedOutItem(CMyTree& tree, QTreeWidgetItem* item) {
    tree.SelectItem(tree.GetParentItem(item), false);
    if (CMyItem* record = tree.GetMyItem(item)) {
        record->ImageIdx = kImageSystem0;
        record->PanelParts = kPanelDialog;
        record->PanelDialog = kDialogLogin;
        record->TreeURL.clear();
        record->Parts.Clear();
    }
    tree.SetItemImage(item, kImageSystem0);
    tree.DeleteChildren(item);
    tree.SelectItem(item, false);
    MySystemSite().KeepMainGridHidden();
    MySystemSite().AddCURL(tree.GetFullCurl(item));
}

bool CMySystem::FetchDocument(const QString& url, QString& reply, QString& errorText) {
    NoteRequestTime();
    if (CaptureDocument(AbsoluteURL(url), User, Password, reply, false)) {
        errorText.clear();
        return true;
    }
    errorText = GetErrorText();
    if (GetHttpStatus() == 401) {
        CMyTree* tree = MySystemSite().WorldViewTree();
        Logout(tree, tree != nullptr ? itemOfSystem(*tree, this) : nullptr);
    }
    return false;
}

bool CMySystem::FetchData(const QString& url, const QString& postData, bool force) {
    NoteRequestTime();
    return GetData(kSynchronous, AbsoluteURL(kSkipWhitespace(url).toString()), User, Password,
                   postData, force);
}

void CMySystem::CmiLog(const QString& text) {
    QString reply;
    QString errorText;
    FetchDocument(QStringLiteral("/cmi/Services?Action=CmiLog&Msg=") + EncodeForURL(text), reply,
                  errorText);
}

CContextMenu* CMySystem::findMenu(const QString& menuName) {
    if (menuName.isEmpty()) {
        return nullptr;
    }
    CContextMenu* menu = m_menuSet.Find(menuName);
    if (menu == nullptr) {
        kDebugLog(u"Context menu '%s' is missing from server inventory.", menuName);
    }
    return menu;
}

CContextMenu& CMySystem::GetContextMenu(const QString& menuName) {
    CContextMenu* menu = m_menuSet.Find(menuName);
    return menu != nullptr ? *menu : m_defaultMenu;
}

int CMySystem::FindContextMenuItemId(const QString& menuName, const QString& text) {
    CContextMenu* menu = text.isEmpty() ? nullptr : findMenu(menuName);
    return menu != nullptr ? menu->FindMenuItemId(text) : 0;
}

int CMySystem::PickContextMenuItem(const QString& menuName, const QString& text) {
    CContextMenu* menu = text.isEmpty() ? nullptr : findMenu(menuName);
    return menu != nullptr ? menu->PickItem(text) : 0;
}

int CMySystem::InvokeContextMenuItem(const QString& menuName, int commandId) {
    CContextMenu* menu = commandId == 0 ? nullptr : findMenu(menuName);
    return menu != nullptr ? menu->InvokeCommand(commandId) : 0;
}

CServerConnection::SessionFacts CMySystem::GetSessionFacts() const {
    SessionFacts facts;
    facts.startURL = AbsoluteURL(loginRequest());
    if (LoggedIn) {
        facts.loginTime = m_loginTime;
        facts.lastRequestTime = m_lastRequestTime;
    }
    for (const auto& [name, menu] : m_menuSet.Menus()) {
        facts.menus.emplace_back(name, menu->Count());
    }
    return facts;
}

int LogoutIfUnauthorized(CMyTree& tree) {
    return LogoutIfUnauthorized(tree, MySystemSite().Dispatcher().LastHttpStatus());
}

int LogoutIfUnauthorized(CMyTree& tree, int httpStatus) {
    return LogoutItemIfUnauthorized(tree, nullptr, httpStatus);
}

int LogoutItemIfUnauthorized(CMyTree& tree, QTreeWidgetItem* fetched, int httpStatus) {
    if (httpStatus != 401) {
        return 0;
    }
    QTreeWidgetItem* item = tree.FindSystemItem(fetched);
    auto* system = dynamic_cast<CMySystem*>(tree.GetSystem(item));
    if (system == nullptr) {
        return 0;
    }
    system->LoginExpired = true;
    system->Logout(&tree, item);
    return 1;
}
