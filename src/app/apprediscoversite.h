#pragma once

// The application's answers to what the rediscover dialog asks.

#include "dialogs/rediscoversite.h"

class CTheApp;

class CAppReDiscoverSite : public CReDiscoverSite {
public:
    explicit CAppReDiscoverSite(CTheApp& app) : m_app(app) {}

    CMySystem* CurrentSystem() override;
    void RebuildRHS() override;
    void EndProgress() override;
    QString ServerURL() override;
    QRect CascadeRect() override;
    void MessageBox(const QString& text) override;

private:
    CTheApp& m_app;
};
