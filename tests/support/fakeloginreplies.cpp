#include "support/fakeloginreplies.h"

namespace {

void addElement(QByteArray& xml, const char* name, const std::optional<QByteArray>& text) {
    if (text) {
        xml += '<' + QByteArray(name) + '>' + *text + "</" + QByteArray(name) + ">\n";
    }
}

}  // namespace

QByteArray FakeLoginReply::Xml() const {
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<cmi>\n";
    xml += extraXml;
    addElement(xml, "message", message);
    addElement(xml, "cmi-version", cmiVersion);
    addElement(xml, "server-type", serverType);
    addElement(xml, "server-version", serverVersion);
    addElement(xml, "server-info", serverInfo);
    addElement(xml, "server-status", serverStatus);
    addElement(xml, "poller-count", pollerCount);
    addElement(xml, "server-message", serverMessage);
    addElement(xml, "server-options", serverOptions);
    addElement(xml, "server-help-url", helpUrl);
    addElement(xml, "server-help-voice-url", voiceHelpUrl);
    addElement(xml, "tree", tree);
    addElement(xml, "context-menus", contextMenus);
    addElement(xml, "drag-info-list", dragInfoList);
    addElement(xml, "additional_filter", additionalFilter);
    return xml + "</cmi>\n";
}

namespace fakelogin {

void ScriptLogin(FakeVelnixServer& server, const FakeLoginReply& reply) {
    server.Script(FakeVelnixServer::kServicesPath, kLoginQuery,
                  FakeVelnixServer::Reply::Xml(reply.Xml()));
}

void ScriptLoginStatus(FakeVelnixServer& server, int status) {
    FakeVelnixServer::Reply reply;
    reply.status = status;
    reply.body = "<html><body>refused</body></html>";
    reply.header("Content-Type", "text/html");
    if (status == 401) {
        reply.header("WWW-Authenticate", "Basic realm=\"Velnix\"");
    }
    server.Script(FakeVelnixServer::kServicesPath, kLoginQuery, reply);
}

void ScriptCmiLogAndCancel(FakeVelnixServer& server) {
    const auto empty = FakeVelnixServer::Reply::Xml("<cmi/>");
    server.Script(FakeVelnixServer::kServicesPath, kCmiLogQuery, empty);
    server.Script(FakeVelnixServer::kServicesPath, kCancelQuery, empty);
}

std::vector<FakeVelnixServer::Request> RequestsOf(const FakeVelnixServer& server,
                                                  const QByteArray& action) {
    std::vector<FakeVelnixServer::Request> found;
    for (const FakeVelnixServer::Request& request : server.Requests()) {
        const QByteArray& text = request.query.isEmpty() ? request.body : request.query;
        if (text.startsWith(action)) {
            found.push_back(request);
        }
    }
    return found;
}

}  // namespace fakelogin
