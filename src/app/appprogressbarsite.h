#pragma once

// The application's answers to what a progress display asks: the global
// cancel flag, the message pump, the error box, the main window, the
// selected server that a cancel request goes to, and the main frame's
// status-bar progress control for a caller on a worker.

#include "dialogs/progressbarsite.h"

class CTheApp;

class CAppProgressBarSite : public CProgressBarSite {
public:
    explicit CAppProgressBarSite(CTheApp& app) : m_app(app) {}

    void ClearCancelFlag() override;
    void AddToCancelFlag() override;
    void PumpMessages(bool force) override;
    bool IsAbortedThread() const override;
    void ErrorBox(const QString& text) override;
    qint64 Now() const override;
    QWidget* MainWindow() const override;
    CKillTarget ResolveOnSelectedServer(const QString& url) override;
    bool ShowProgressOnUIThread() override;
    bool HideProgressOnUIThread() override;

private:
    CTheApp& m_app;
};
