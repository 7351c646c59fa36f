#pragma once

// The status-bar progress that a grid load drives: started with a title and
// an estimate of the rows to come, stepped once per received row, ended when
// the load ends, and told the server's cancel request. Until the status bar
// carries a progress display, this base keeps the position and estimate (the
// row counter of the main frame reads them) and logs a "SEAM" line for the
// rest.

#include <QString>

#include <atomic>

class CGridProgress {
public:
    virtual ~CGridProgress() = default;

    virtual void Start(const QString& title, const QString& action, int estimate);
    virtual void SetEstimate(int estimate);
    virtual void Step(int rows = 1);
    virtual void Done();
    virtual void SetCancelURL(const QString& url);

    bool IsRunning() const { return m_running.load(); }
    int Position() const { return m_position.load(); }
    int Estimate() const { return m_estimate.load(); }
    QString CancelURL() const { return m_cancelUrl; }

private:
    // Read by the row counter's timer while a load runs.
    std::atomic<bool> m_running{false};
    std::atomic<int> m_position{0};
    std::atomic<int> m_estimate{0};
    QString m_cancelUrl;
};
