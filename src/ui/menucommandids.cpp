#include "ui/menucommandids.h"

#include <algorithm>

int CMenuCommandIds::Alloc(quint64 serverId) {
    if (serverId == 0) {
        return 0;
    }
    const auto slot = std::find(m_owners.begin(), m_owners.end(), quint64{0});
    if (slot == m_owners.end()) {
        return 0;
    }
    *slot = serverId;
    return kFirstId + static_cast<int>(slot - m_owners.begin());
}

void CMenuCommandIds::Free(quint64 serverId) {
    std::replace(m_owners.begin(), m_owners.end(), serverId, quint64{0});
}

quint64 CMenuCommandIds::Owner(int commandId) const {
    const int slot = commandId - kFirstId;
    if (slot < 0 || slot >= kSlots) {
        return 0;
    }
    return m_owners[static_cast<size_t>(slot)];
}
