#include "frame/panelmanager.h"

#include "framework/klog.h"
#include "ui/uiservices.h"

void CPanelManager::RecalcLayout() {
    if (HaveUiServices() && UiServices().IsAbortingWorker()) {
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
