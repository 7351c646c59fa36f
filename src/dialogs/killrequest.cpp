#include "dialogs/killrequest.h"

#include "framework/klog.h"
#include "platform/http.h"

#include <array>

void CKillRequest::Send(const CKillTarget& target) {
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    const bool started = m_thread.Start("pbar-kill", [target, cancelled = m_cancelled] {
        CHttpRequest request;
        request.SetUrl(HttpUrl(target.url));
        request.SetCredentials(target.user, target.password);
        request.SetWaitHook([&cancelled] { return !cancelled->load(); });
        if (!request.Send()) {
            kDebugLog(u"KILL to %s failed: %s\n", target.host, request.ErrorText());
            return;
        }
        std::array<char, 4096> drained{};
        while (request.Read(drained.data(), static_cast<qint64>(drained.size())) > 0) {
        }
    });
    if (!started) {
        kWarningLog(u"KILL to %s not sent: no thread", target.host);
    }
}

void CKillRequest::Cancel() {
    if (m_cancelled) {
        m_cancelled->store(true);
    }
}
