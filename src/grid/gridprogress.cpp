#include "grid/gridprogress.h"

#include "framework/klog.h"

void CGridProgress::Start(const QString& title, const QString& action, int estimate) {
    kDebugLog(u"SEAM CGridProgress::Start(%s, %s, %d): no status-bar progress yet", title, action,
              estimate);
    m_position = 0;
    m_estimate = estimate;
    m_running = true;
}

void CGridProgress::SetEstimate(int estimate) {
    m_estimate = estimate;
}

void CGridProgress::Step(int rows) {
    m_position += rows;
}

void CGridProgress::Done() {
    if (m_running.exchange(false)) {
        kDebugLog(u"SEAM CGridProgress::Done(%d of %d): no status-bar progress yet",
                  m_position.load(), m_estimate.load());
    }
    m_cancelUrl.clear();
}

void CGridProgress::SetCancelURL(const QString& url) {
    kDebugLog(u"SEAM CGridProgress::SetCancelURL(%s): no status-bar progress yet", url);
    m_cancelUrl = url;
}
