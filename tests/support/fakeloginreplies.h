#pragma once

// The login conversation of the fake Velnix server: a full login reply
// (server facts, tree, context menus, drag-and-drop rules, extra filters)
// built from its parts, the failure statuses of a login, the server log
// action and the request cancel, plus the requests of each kind that the
// server saw.

#include "support/fakevelnixserver.h"

#include <QByteArray>

#include <optional>
#include <vector>

struct FakeLoginReply {
    // Each fact is sent as its element when set; an unset one is left out.
    std::optional<QByteArray> cmiVersion = "9.1";
    std::optional<QByteArray> serverType = "Velnix PM";
    std::optional<QByteArray> serverVersion = "5.2";
    std::optional<QByteArray> serverInfo = "linux";
    std::optional<QByteArray> serverStatus;
    std::optional<QByteArray> pollerCount = "2";
    std::optional<QByteArray> serverMessage;
    std::optional<QByteArray> serverOptions;
    std::optional<QByteArray> helpUrl;
    std::optional<QByteArray> voiceHelpUrl;
    // A non-empty message makes the console refuse the login.
    std::optional<QByteArray> message;
    // Further elements, put in front of the facts as they are.
    QByteArray extraXml;
    // The inner XML of the four sections.
    QByteArray tree;
    QByteArray contextMenus;
    QByteArray dragInfoList;
    QByteArray additionalFilter;

    // The reply document, wrapped in a "cmi" element.
    QByteArray Xml() const;
};

namespace fakelogin {

constexpr const char* kLoginQuery = "Action=Login";
constexpr const char* kCmiLogQuery = "Action=CmiLog";
constexpr const char* kCancelQuery = "Action=CancelRequest";

// Answers logins with the reply.
void ScriptLogin(FakeVelnixServer& server, const FakeLoginReply& reply);
// Answers logins with the status and a small HTML page.
void ScriptLoginStatus(FakeVelnixServer& server, int status);
// Answers the server log action and request cancels with an empty reply.
void ScriptCmiLogAndCancel(FakeVelnixServer& server);

// The requests of one kind ("Action=..." at the start of the query or, for
// a POST, of the body), in the order received.
std::vector<FakeVelnixServer::Request> RequestsOf(const FakeVelnixServer& server,
                                                  const QByteArray& action);

}  // namespace fakelogin
