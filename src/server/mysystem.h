#pragma once

// One connection to one server: the settings the user typed in, the login
// state, the facts the server reported at login, and the vocabularies the
// login reply delivers (context menus, drag-and-drop rules, extra filter
// values). Every World View server entry owns one. Login is a synchronous
// request on the UI thread (its wait lets the UI's events run); logout is
// purely client-side. Every other request to the server takes its base URL
// and credentials from here. UI thread only.

#include "net/myadditionalfilteroptions.h"
#include "net/mywire.h"
#include "net/serverprocesses.h"
#include "platform/httpclientcertificate.h"
#include "tree/contextmenu.h"
#include "tree/mydropinfo.h"
#include "tree/serverconnection.h"
#include "ui/stringtriple.h"

#include <QString>

class CMyTree;
class QTreeWidgetItem;

// The smart-card login of this run: the PIN and the common names of the
// chosen certificate's subject and issuer.
extern CStringTriple g_SmartCardLogin;
// The card certificate chosen in this run (with the PIN as key password):
// later smart-card logins take it instead of asking again.
extern HttpClientCertificate g_SmartCardCertificate;
// Wipes the kept PIN and forgets the run's card certificate.
void ForgetSmartCardLogin();

// A login request, copied so that any thread can send it.
struct CLoginRequest {
    QString url;
    QString user;
    QString password;
};

// What came back: the reply, or the wire's error text and HTTP status.
struct CLoginResult {
    bool fetched = false;
    QString reply;
    QString errorText;
    int httpStatus = 0;
};

class CMySystem : public CServerConnection, public CMyWire, public IServerProcessesOwner {
public:
    // The server status letters.
    static constexpr int kStatusGreen = 'G';
    static constexpr int kStatusRed = 'R';
    static constexpr char16_t kServerTypeVelnix = u'Q';

    CMySystem();
    ~CMySystem() override;

    // A copy of the settings, facts and login state (not of the menus,
    // rules, filters or processes).
    std::unique_ptr<CServerConnection> Clone() const override;
    void CopyFrom(const CMySystem& other);

    // Logs in; `errorText` receives what to show the user (also a warning on
    // success). With a tree and the server's item, the server's tree goes
    // under the item and the item shows the logged-in server. 1 when logged in.
    int Login(QString& errorText, CMyTree* tree, QTreeWidgetItem* item, bool showXml);
    // The login in three steps, so that several can wait for their servers
    // at once: starts it (UI thread), sends it on a wire of its own (any
    // thread), takes the reply in (UI thread; 1 when logged in).
    CLoginRequest BeginLogin(CMyTree* tree, QTreeWidgetItem* item);
    static CLoginResult SendLogin(const CLoginRequest& request);
    int FinishLogin(const CLoginRequest& request, const CLoginResult& result, QString& errorText,
                    CMyTree* tree, QTreeWidgetItem* item, bool showXml);
    // Client-side only: forgets the login, the menus, rules and filters, the
    // server's session and cookies; with a tree and the item, resets the
    // item. Does nothing unless logged in or marked unauthorised. Returns 1.
    int Logout(CMyTree* tree, QTreeWidgetItem* item);

    // Fetches a URL of this server (a URL without a scheme gets the base URL
    // in front) whole. A 401 logs this server out.
    bool FetchDocument(const QString& url, QString& reply, QString& errorText) override;
    // Sends a request synchronously on this connection and parses its reply;
    // nothing is sent while the cancel flag is set unless forced.
    bool FetchData(const QString& url, const QString& postData, bool force);
    // Writes a line into the server's log.
    void CmiLog(const QString& text);

    // The named menu (a trailing ".menu" ignored), or an empty menu.
    CContextMenu& GetContextMenu(const QString& menuName);
    CContextMenu* GetItemMenu(const QString& menuName) override {
        return &GetContextMenu(menuName);
    }
    int LogoutSession(CMyTree* tree, QTreeWidgetItem* item) override { return Logout(tree, item); }
    const CMyDropInfoList* GetDropRulesList() const override { return &m_dropRules; }
    SessionFacts GetSessionFacts() const override;
    // The command id of the named menu's entry that the text names; 0 when none.
    int FindContextMenuItemId(const QString& menuName, const QString& text);
    // Runs the named menu's entry that the text names; 0 when none ran.
    int PickContextMenuItem(const QString& menuName, const QString& text);
    int InvokeContextMenuItem(const QString& menuName, int commandId);

    // The identifier under which this server holds command ids; 0 while it
    // never tried to log in.
    quint64 GetServerId() const { return m_serverId; }

    // IServerProcessesOwner
    QString ServerHost() const override { return Host; }
    QString ServerBaseUrl() const override { return GetBaseURL(false); }
    QString ServerUserName() const override { return User; }
    QString ServerPassword() const override { return Password; }
    QString ServerInfo() const override { return m_serverInfo; }
    void NoteRequestTime() override;

    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override;

    const QString& GetCmiVersion() const { return m_cmiVersion; }
    const QString& GetServerTypeText() const { return m_serverType; }
    const QString& GetServerVersion() const { return m_serverVersion; }
    const QString& GetServerInfo() const { return m_serverInfo; }
    const QString& GetTreeXML() const { return m_treeXml; }
    int GetServerStatus() const { return m_serverStatus; }
    const QString& GetServerMessage() const { return m_serverMessage; }
    const QString& GetHelpURL() const { return m_helpUrl; }
    const QString& GetVoiceHelpURL() const { return m_voiceHelpUrl; }
    qint64 GetLoginAttemptTime() const { return m_loginAttemptTime; }
    qint64 GetLoginTime() const { return m_loginTime; }
    qint64 GetLastRequestTime() const { return m_lastRequestTime; }

    CContextMenuSet& GetMenuSet() { return m_menuSet; }
    CMyDropInfoList& GetDropRules() { return m_dropRules; }
    CMyAdditionalFilterOptions& GetFilterOptions() { return m_filterOptions; }
    ServerProcesses& GetServerProcesses() { return m_serverProcesses; }

    // 1 when the host is an IPv6 literal (set by the login panel).
    int AddressFlag = 0;
    // The smart-card certificate chosen at login: presented to this server
    // (scheme, host, port) on every request to it until the logout.
    void SetClientCertificate(const HttpClientCertificate& certificate);
    bool HasClientCertificate() const { return !m_clientCertificateUrl.isEmpty(); }

private:
    QString loginRequest() const;
    static void takeLoginFailure(const CLoginResult& result, QString& errorText);
    bool readLoginReply(const QString& reply, QString& errorText);
    void storeServerFacts(const QString& reply, QString& errorText);
    void applyRememberLoginOption(const QString& serverOptions);
    void loadSections(const QString& reply);
    void showLoggedInItem(CMyTree& tree, QTreeWidgetItem* item);
    void resetLoggedOutItem(CMyTree& tree, QTreeWidgetItem* item);
    void forgetServerFacts();
    // A command-id owner that no other live connection uses.
    void takeServerId();
    // Frees the server's command ids and its identifier.
    void releaseServerId();
    CContextMenu* findMenu(const QString& menuName);

    QString m_serverType;
    QString m_serverVersion;
    QString m_serverInfo;
    QString m_cmiVersion;
    QString m_treeXml;
    int m_serverStatus = 0;
    QString m_serverMessage;
    CContextMenu m_defaultMenu{QString(), nullptr};
    CContextMenuSet m_menuSet;
    CMyDropInfoList m_dropRules;
    CMyAdditionalFilterOptions m_filterOptions;
    QString m_helpUrl;
    QString m_voiceHelpUrl;
    qint64 m_loginAttemptTime = 0;
    quint64 m_serverId = 0;
    qint64 m_loginTime = 0;
    qint64 m_lastRequestTime = 0;
    QString m_clientCertificateUrl;
    // Last, so that its cancels go out while everything they read still exists.
    ServerProcesses m_serverProcesses;
};

// After a request answered 401 (the dispatcher's last status): marks the
// server of the tree's selected item unauthorised and logs it out. 1 when
// it did. The second form takes the status of a request made on its own
// connection rather than through the dispatcher.
int LogoutIfUnauthorized(CMyTree& tree);
int LogoutIfUnauthorized(CMyTree& tree, int httpStatus);
// The same for the server of an item whose children were fetched.
int LogoutItemIfUnauthorized(CMyTree& tree, QTreeWidgetItem* fetched, int httpStatus);
