#pragma once

// Where the request threads' calls to the windows arrive, on the UI thread:
// status texts go to the status bar, error boxes open without an owner, grid
// and tree replies go to their readers, and a server that answered 401 is
// marked expired and logged out.

#include "net/netuibridge.h"

class CTheApp;

class CAppNetReceiver : public INetUiReceiver, public INetLogout {
public:
    explicit CAppNetReceiver(CTheApp& app) : m_app(app) {}

    void OnGridDataReady(quint16 requesterId, CNamedPipe clientEnd) override;
    void OnTreeDataReady(quint16 requesterId, CNamedPipe clientEnd) override;
    void OnStatusText(const QString& text) override;
    void OnErrorBox(const QString& text, const QString& caption) override;
    void LogoutUnauthorized(const CNetServerKey& server) override;

private:
    CTheApp& m_app;
};
