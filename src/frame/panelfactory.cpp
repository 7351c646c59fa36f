#include "frame/panelfactory.h"

#include "frame/myviewdlg.h"
#include "framework/klog.h"

void CPanelFactory::Register(int code, Maker maker) {
    m_makers[code] = std::move(maker);
}

CMyViewDlg* CPanelFactory::Create(const CPanelRequest& request) const {
    const auto found = m_makers.find(request.code);
    if (found == m_makers.end()) {
        kWarningLog(u"Unknown panel code %d (%s) from the server: ignored.", request.code,
                    request.locator);
        return nullptr;
    }
    CMyViewDlg* panel = found->second(request);
    if (panel != nullptr) {
        panel->hide();
    }
    return panel;
}
