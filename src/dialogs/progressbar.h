#pragma once

// The progress of a long operation, shown in the main window's status bar
// (the main frame's display, driven by server replies and grid loads) or
// as a small dialog that blocks the window beneath it while its Cancel
// button stays usable (logins to many servers, the language-pack tools).
// Servers drive it with "pbar-" elements in any reply; Cancel sends the
// server job the cancel request the server named.
//
// Every operation may be called on the UI thread or on the action worker:
// the state and counters are atomic, and window work runs on the UI thread
// (status-bar control through the main frame, everything else as blocking
// calls; steps from a worker are queued, so they never wait).

#include "dialogs/killrequest.h"
#include "dialogs/progressbarsite.h"
#include "dialogs/progressdialog.h"
#include "grid/gridprogress.h"
#include "net/wireservices.h"
#include "ui/threadcallqueue.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <mutex>

class CStatusBar;
class KPROPS;
class QWidget;

class CProgressBar : public CGridProgress {
public:
    enum State { Idle = 0, Running = 1, Cancelled = 2 };
    // Seconds before a dialog's percent label appears.
    static constexpr int kLabelDelay = 3;

    // Dialog mode until SetStatusBar; `parent` is the window the dialog
    // belongs to (the site's main window when null). UI thread.
    CProgressBar(CProgressBarSite& site, QWidget* parent);
    // Ends a running display first.
    ~CProgressBar() override;
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

    // Status-bar mode in the pane of the indicator id.
    void SetStatusBar(CStatusBar* statusBar, int paneId);

    int Start(const QString& title, const QString& action, qint64 estimate, bool showCancel,
              QWidget* anchor);
    int Step(qint64 delta);
    int SetAction(const QString& text);
    int AddDetail(const QString& text);
    int Fail(const QString& title, const QString& text);
    int OnCancelButton();
    void SetDetailsVisible(bool visible);
    bool IsActive() const { return m_state.load() != Idle; }
    bool IsCancelled() const;

    // The "pbar-" elements of any reply; their handler result is the state.
    int HandlePbarTag(const QString& name, const KPROPS& attributes, const QString& parent,
                      const XmlElementStack& stack);
    int HandlePbarEndTag(const QString& name) const;

    // The UI thread's halves of the status-bar control's making and removal.
    void CreateStatusBarControl();
    void DestroyStatusBarControl();

    // The grid load's view of the display.
    int Start(const QString& title, const QString& action, int estimate) override;
    int SetEstimate(int estimate) override;
    int Step(int rows = 1) override;
    int Done() override;
    void SetCancelURL(const QString& url) override;
    bool IsRunning() const override { return m_state.load() == Running; }
    int Position() const override { return static_cast<int>(m_position.load()); }
    int Estimate() const override { return static_cast<int>(m_total.load()); }
    QString CancelURL() const override;

    State GetState() const { return static_cast<State>(m_state.load()); }
    // The percent the last step computed (the bar and label show at most 100).
    int Percent() const { return m_percent.load(); }
    QString Message() const;
    bool IsLeftUp() const { return m_leaveUp.load(); }
    // The dialog while one is shown; UI thread.
    CProgressDialog* Dialog() const { return m_dialog; }
    // Waits for a cancel request still on its way (tests, exit).
    bool WaitForKill() { return m_kill.Wait(); }

private:
    bool statusBarMode() const { return m_statusBar != nullptr; }
    void reset();
    int refused() const;
    bool openDialog(const QString& title, const QString& action, QWidget* anchor);
    void closeDialog();
    void showPercent();
    void setStatusPane(const QString& text);
    void onUi(const std::function<void()>& work);

    CProgressBarSite& m_site;
    QPointer<QWidget> m_parent;
    // Queued window work from workers dies with the display.
    CThreadCallQueue m_uiContext;
    CStatusBar* m_statusBar = nullptr;
    int m_paneId = 0;
    QPointer<CProgressDialog> m_dialog;
    std::atomic<bool> m_showCancel{true};
    std::atomic<bool> m_leaveUp{false};
    std::atomic<qint64> m_startTime{0};
    std::atomic<int> m_state{Idle};
    std::atomic<qint64> m_total{0};
    std::atomic<qint64> m_position{0};
    std::atomic<int> m_percent{0};
    mutable std::mutex m_textMutex;
    QString m_message;
    QString m_cancelUrl;
    CKillTarget m_killTarget;
    CKillRequest m_kill;
};
