#pragma once

// What a progress display needs of the program around it: the global cancel
// flag, the message pump, the error box, the clock, the status bar's
// progress control made on the UI thread for a worker, and the server of
// the World View's selected item, to which the server job's cancel request
// goes. The application implements it; tests pass their own.

#include <QString>

class QWidget;

// Where a server job's cancel request goes: the server that was selected
// when the server named the request, with its credentials, so that a later
// change of selection cannot send it elsewhere.
struct CKillTarget {
    QString host;  // empty: no server was selected
    QString url;   // absolute
    QString user;
    QString password;
};

class CProgressBarSite {
public:
    virtual ~CProgressBarSite() = default;

    virtual void ClearCancelFlag() = 0;
    // The global cancel flag counts cancels and errors.
    virtual void AddToCancelFlag() = 0;
    virtual void PumpMessages(bool force) = 0;
    // Whether the caller is the action worker being aborted.
    virtual bool IsAbortedThread() const = 0;
    virtual void ErrorBox(const QString& text) = 0;
    // Seconds since 1970.
    virtual qint64 Now() const = 0;
    // The window a progress dialog is centred on and blocks; may be null.
    virtual QWidget* MainWindow() const = 0;
    // The URL made absolute against the selected server's base URL, with the
    // server's host and credentials; the host stays empty without a server.
    virtual CKillTarget ResolveOnSelectedServer(const QString& url) = 0;
    // The status bar's progress control made and removed on the UI thread
    // for a caller on a worker (the main frame answers); false when refused.
    virtual bool ShowProgressOnUIThread() = 0;
    virtual bool HideProgressOnUIThread() = 0;
};
