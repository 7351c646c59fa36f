#pragma once

// Where the request threads' calls to the windows arrive, on the UI thread:
// status texts go to the status bar, error boxes open without an owner, and
// grid and tree replies go to their readers.

#include "net/netuibridge.h"

class CTheApp;

class CAppNetReceiver : public INetUiReceiver {
public:
    explicit CAppNetReceiver(CTheApp& app) : m_app(app) {}

    void OnGridDataReady(quint16 requesterId, CNamedPipe clientEnd) override;
    void OnTreeDataReady(quint16 requesterId, CNamedPipe clientEnd) override;
    void OnStatusText(const QString& text) override;
    void OnErrorBox(const QString& text, const QString& caption) override;

private:
    CTheApp& m_app;
};
