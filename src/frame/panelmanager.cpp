#include "frame/panelmanager.h"

#include "app/theapp.h"
#include "framework/klog.h"

void CPanelManager::RecalcLayout() {
    if (HaveTheApp() && theApp().IsAbortingWorker()) {
        return;
    }
    CExtSplitter::RecalcLayout();
}

bool CPanelManager::TrackRowSize(int visibleIndex) {
    const QWidget* tabs = GetRowPane(0);
    if (m_tabsRowFixed && visibleIndex == 0 && IsRowVisible(0) && tabs != nullptr &&
        tabs->isVisibleTo(this)) {
        kDebugLog(u"CPanelManager: ignore resize of Tabs\n");
        return false;
    }
    return true;
}
