#include "net/serverprocesses.h"

#include "framework/klog.h"
#include "net/netdispatcher.h"

#include <vector>

ServerProcesses::ServerProcesses(IServerProcessesOwner& owner, CNetDispatcher& dispatcher)
    : m_owner(owner), m_dispatcher(dispatcher) {}

ServerProcesses::~ServerProcesses() {
    CancelAll();
}

int ServerProcesses::AddPid(const void* registrant, quint32 requestId) {
    kDebugLog(u"ServerProcesses::AddPid (0x%X, 0x%x)", reinterpret_cast<quintptr>(registrant),
              requestId);
    if (!m_owner.ServerInfo().contains(u"win32")) {
        return 0;
    }
    const std::lock_guard lock(m_mutex);
    m_registrants[requestId] = registrant;
    return 1;
}

int ServerProcesses::RemovePid(const void* registrant, qint64 requestId) {
    kDebugLog(u"ServerProcesses::RemovePid (0x%X, 0x%x)", reinterpret_cast<quintptr>(registrant),
              requestId);
    std::vector<quint32> removed;
    {
        const std::lock_guard lock(m_mutex);
        for (auto entry = m_registrants.begin(); entry != m_registrants.end();) {
            const bool chosen = requestId == kAllRequests || entry->first == requestId;
            if (chosen && entry->second == registrant) {
                removed.push_back(entry->first);
                entry = m_registrants.erase(entry);
            } else {
                ++entry;
            }
        }
    }
    // Sent outside the lock: a cancel is a synchronous request.
    for (const quint32 id : removed) {
        CancelPid(id);
    }
    return 1;
}

int ServerProcesses::CancelPid(quint32 requestId) {
    kDebugLog(u"ServerProcesses::CancelPid (0x%X)", requestId);
    const QString body = kFormat(u"Action=CancelRequest&RequestID=%lu", requestId);
    kDebugLog(u"ServerProcesses: Cancel PID: %s : %s", m_owner.ServerHost(), body);
    m_owner.NoteRequestTime();
    quint16 requesterId = 0;
    m_dispatcher.SendRequest(kNetRequestNone, requesterId,
                             m_owner.ServerBaseUrl() + QStringLiteral("/cmi/Services"),
                             m_owner.ServerUserName(), m_owner.ServerPassword(), body);
    return 1;
}

int ServerProcesses::CancelAll() {
    kDebugLog(u"ServerProcesses::CancelAll ()");
    std::map<quint32, const void*> removed;
    {
        const std::lock_guard lock(m_mutex);
        removed.swap(m_registrants);
    }
    for (const auto& [id, registrant] : removed) {
        CancelPid(id);
    }
    return 1;
}

const void* ServerProcesses::Registrant(quint32 requestId) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_registrants.find(requestId);
    return found != m_registrants.end() ? found->second : nullptr;
}
