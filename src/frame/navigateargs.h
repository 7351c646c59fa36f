#pragma once

// The arguments of a browser navigation handed to the UI thread.

#include <QByteArray>
#include <QString>

struct CNavigateArgs {
    QString url;
    int flags = 0;
    QString targetFrame;
    QString headers;
    QByteArray postData;
};
