#pragma once

// Row 3 of the right-hand side: the embedded web browser. It keeps the
// navigation it started pending until that page completes, so that scripts
// can wait for a page; reads and writes fields of the page's form
// "BigForm"; asks before leaving a page with unsaved changes (its
// "DirtyBit"); registers the server process a page names in its "pid"
// field; translates marked page texts; and holds one count of the busy
// counter while a page other than the empty one loads. Navigations and form
// fields asked for on a worker thread are carried out on the UI thread.
// There is no navigation to shell item lists here: the program has no such
// items.

#include "frame/navigateargs.h"
#include "frame/webpage.h"

#include <QString>
#include <QUrl>

#include <condition_variable>
#include <mutex>

class CBrowserView : public CWebPane {
    Q_OBJECT
public:
    explicit CBrowserView(QWidget* parent = nullptr);
    ~CBrowserView() override;

    // ---- navigation; any thread ----
    // After the DirtyBit check: records the URL in the URL trail, marks it
    // pending and navigates. A URL over 2000 characters with a query and no
    // post data is posted (the query as a form body). A target frame name
    // opens the page in a window of its own.
    void Navigate2(const QString& url, int flags = 0, const QString& targetFrame = {},
                   const QString& headers = {}, const QByteArray& postData = {});
    void Navigate2Post(const QString& url, int flags, const QByteArray& postData,
                       const QString& targetFrame = {}, const QString& headers = {});
    // Navigate2, then waits until the page has completed.
    void NavigateAndWait(const QString& url, int flags = 0, const QString& targetFrame = {});

    // The engine's navigation, where the worker's requests land; UI thread.
    void Navigate(const CNavigateArgs& args);
    // Stops loading and ends the pending navigation.
    void Stop();
    // A page is loading.
    bool IsNavigating() const { return m_loading; }

    // ---- the pending navigation ----
    void BeginPendingNavigation(const QString& url);
    void EndPendingNavigation(const QString& url = {});
    // With a URL: whether it is the pending one; without: whether any is.
    bool IsBusy(const QString& url = {}) const;
    // Waits while the program is up, the browser row is shown and a
    // navigation is pending; always 1.
    int WaitWhileBusy(const QString& url = {});

    // ---- the page's form; any thread ----
    // The field's value; empty when the page has no such form or field.
    QString GetFormFieldValue(const QString& field, const QString& form);
    // The value written; empty when nothing was written.
    QString SetFormFieldValue(const QString& field, const QString& value, const QString& form);
    // Whether the navigation may go on: a page with unsaved changes asks
    // the user first.
    bool CheckDirtyBit();
    // Registers the page's "pid" with the selected server's processes.
    void RegisterServerPid();
    // Translates the page's marked texts from the last translated element on.
    void TranslatePage();

Q_SIGNALS:
    void pendingEnded();

private:
    bool onWorker() const;
    bool browserRowShown() const;
    void runPageScript(const QString& code);
    void onLoadStarted(const QUrl& url);
    void onLoadFinished(bool ok);
    void onProgress(int progress, int maximum);
    void registerPid(const QString& value);
    void holdBusy(bool hold);
    QString pendingUrl() const;

    mutable std::mutex m_pendingMutex;
    std::condition_variable m_pendingChanged;
    QString m_pendingUrl;
    int m_translationIndex = 0;
    bool m_loading = false;
    bool m_holdsBusy = false;
    bool m_loadStartedSinceScript = false;
};
