#include "tree/menugridrows.h"

#include "framework/klog.h"

int CMenuGridRows::GetPropertiesMenuItem() const {
    kDebugLog(u"SEAM CMenuGridRows::GetPropertiesMenuItem: no properties pane yet\n");
    return 0;
}

void CMenuGridRows::SetPropertiesMenuItem(int commandId) {
    kDebugLog(u"SEAM CMenuGridRows::SetPropertiesMenuItem(%d): no properties pane yet\n",
              commandId);
}

bool CMenuGridRows::IsDetailHidden() const {
    kDebugLog(u"SEAM CMenuGridRows::IsDetailHidden: no properties pane yet\n");
    return false;
}

void CMenuGridRows::ClearDetailHidden() {
    kDebugLog(u"SEAM CMenuGridRows::ClearDetailHidden: no properties pane yet\n");
}

bool CMenuGridRows::IsOpeningProperties() const {
    kDebugLog(u"SEAM CMenuGridRows::IsOpeningProperties: no properties pane yet\n");
    return false;
}

void CMenuGridRows::SaveColumnPrefs() {
    kDebugLog(u"SEAM CMenuGridRows::SaveColumnPrefs: no column preferences yet\n");
}
