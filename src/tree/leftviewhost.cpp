#include "tree/leftviewhost.h"

#include "framework/klog.h"

void CLeftViewHost::RunActions(const KPROPS& actions, int context) {
    kDebugLog(u"SEAM CLeftViewHost::RunActions(%d actions, %d): no action runner yet\n",
              actions.Count(), context);
}

QString CLeftViewHost::GridDragType() const {
    return {};
}

bool CLeftViewHost::AskToSaveChanges() {
    return true;
}
