#include "dialogs/killrequest.h"

#include "framework/klog.h"
#include "platform/http.h"

#include <array>

void CKillRequest::Send(const CKillTarget& target) {
    const bool started = m_thread.Start("pbar-kill", [target] {
        CHttpRequest request;
        request.SetUrl(HttpUrl(target.url));
        request.SetCredentials(target.user, target.password);
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
