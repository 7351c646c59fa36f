#include "grid/gridprogress.h"

int CGridProgress::Start(const QString&, const QString&, int estimate) {
    m_position = 0;
    m_estimate = estimate;
    m_running = true;
    return 1;
}

int CGridProgress::SetEstimate(int estimate) {
    m_estimate = estimate;
    return IsRunning() ? 1 : 0;
}

int CGridProgress::Step(int rows) {
    m_position += rows;
    return IsRunning() ? 1 : 0;
}

int CGridProgress::Done() {
    m_running = false;
    const std::lock_guard lock(m_urlMutex);
    m_cancelUrl.clear();
    return 0;
}

void CGridProgress::SetCancelURL(const QString& url) {
    const std::lock_guard lock(m_urlMutex);
    m_cancelUrl = url;
}

QString CGridProgress::CancelURL() const {
    const std::lock_guard lock(m_urlMutex);
    return m_cancelUrl;
}
