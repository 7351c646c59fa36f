#include "grid/gridrequesters.h"

#include "framework/klog.h"
#include "grid/mygrid.h"

#include <map>

namespace {

std::map<quint16, CMyGrid*>& gridRequesters() {
    static std::map<quint16, CMyGrid*> requesters;
    return requesters;
}

}  // namespace

void RegisterGridRequester(quint16 requesterId, CMyGrid* grid) {
    gridRequesters()[requesterId] = grid;
}

void UnregisterGridRequesters(const CMyGrid* grid) {
    std::erase_if(gridRequesters(), [grid](const auto& entry) { return entry.second == grid; });
}

CMyGrid* GridOfRequester(quint16 requesterId) {
    const auto found = gridRequesters().find(requesterId);
    return found != gridRequesters().end() ? found->second : nullptr;
}

bool RouteGridData(quint16 requesterId, CNamedPipe clientEnd) {
    CMyGrid* grid = GridOfRequester(requesterId);
    if (grid == nullptr) {
        kWarningLog(u"A grid reply for requester %u arrived, but no grid waits for it: closed",
                    static_cast<unsigned>(requesterId));
        clientEnd.Close();
        return false;
    }
    grid->OnGridDataReady(std::move(clientEnd));
    return true;
}
