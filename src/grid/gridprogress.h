#pragma once

// The progress that a grid load drives: started with a title and an
// estimate of the rows to come, stepped once per received row, ended when
// the load ends, and told the server's cancel request. The main grid's site
// hands out the status bar's progress display; this base, used by grids
// without a status bar of their own, only keeps the position and estimate
// (the row counter reads them from any thread).

#include <QString>

#include <atomic>
#include <mutex>

class CGridProgress {
public:
    virtual ~CGridProgress() = default;

    // Each returns the state after the call, as the progress display does.
    virtual int Start(const QString& title, const QString& action, int estimate);
    virtual int SetEstimate(int estimate);
    virtual int Step(int rows = 1);
    virtual int Done();
    virtual void SetCancelURL(const QString& url);

    virtual bool IsRunning() const { return m_running.load(); }
    virtual int Position() const { return m_position.load(); }
    virtual int Estimate() const { return m_estimate.load(); }
    virtual QString CancelURL() const;

private:
    std::atomic<bool> m_running{false};
    std::atomic<int> m_position{0};
    std::atomic<int> m_estimate{0};
    mutable std::mutex m_urlMutex;
    QString m_cancelUrl;
};
