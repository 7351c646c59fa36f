#pragma once

// What the rediscover dialog needs of the program: the server of the
// selected World View item, the right-hand side rebuilt after a save, the
// main frame's progress display ended, the server's base URL, where a new
// window opens, and the message boxes. The application implements it.

#include <QRect>
#include <QString>

class CMySystem;

class CReDiscoverSite {
public:
    virtual ~CReDiscoverSite() = default;
    virtual CMySystem* CurrentSystem() = 0;
    virtual void RebuildRHS() = 0;
    virtual void EndProgress() = 0;
    virtual QString ServerURL() = 0;
    virtual QRect CascadeRect() = 0;
    virtual void MessageBox(const QString& text) = 0;
};
