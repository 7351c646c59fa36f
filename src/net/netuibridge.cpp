#include "net/netuibridge.h"

#include "framework/klog.h"

#include <QCoreApplication>
#include <QMetaObject>

CNetUiBridge::CNetUiBridge() : m_state(std::make_shared<State>()) {
    m_state->context = QCoreApplication::instance();
}

void CNetUiBridge::SetContext(QObject* context) {
    const std::lock_guard lock(m_state->mutex);
    m_state->context = context;
}

void CNetUiBridge::SetReceiver(INetUiReceiver* receiver) {
    const std::lock_guard lock(m_state->mutex);
    m_state->receiver = receiver;
}

void CNetUiBridge::SetLogout(INetLogout* logout) {
    const std::lock_guard lock(m_state->mutex);
    m_state->logout = logout;
}

// Queues the call to the UI thread, where it goes to whoever the member
// names then.
template <class Target>
void CNetUiBridge::postTo(Target* State::*target, const QString& what,
                          std::function<void(Target&)> call) {
    // Queued under the lock: once SetContext has returned, nothing reaches
    // the context it replaced, which the UI thread may then delete. Queuing
    // only posts an event and never calls back into the bridge.
    const std::lock_guard lock(m_state->mutex);
    if (m_state->context == nullptr) {
        kWarningLog(u"No UI thread takes %s: dropped", what);
        return;
    }
    QMetaObject::invokeMethod(
        m_state->context,
        [state = m_state, target, what, call = std::move(call)] {
            Target* taker = nullptr;
            {
                const std::lock_guard lock(state->mutex);
                taker = (*state).*target;
            }
            if (taker == nullptr) {
                kWarningLog(u"No receiver takes %s: dropped", what);
                return;
            }
            call(*taker);
        },
        Qt::QueuedConnection);
}

void CNetUiBridge::PostGridDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    // The queued call must be copyable; the pipe end travels behind a pointer.
    auto end = std::make_shared<CNamedPipe>(std::move(clientEnd));
    postTo<INetUiReceiver>(&State::receiver, kFormat(u"the grid data of requester %u", requesterId),
                           [requesterId, end](INetUiReceiver& receiver) {
                               receiver.OnGridDataReady(requesterId, std::move(*end));
                           });
}

void CNetUiBridge::PostTreeDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    auto end = std::make_shared<CNamedPipe>(std::move(clientEnd));
    postTo<INetUiReceiver>(&State::receiver, kFormat(u"the tree data of requester %u", requesterId),
                           [requesterId, end](INetUiReceiver& receiver) {
                               receiver.OnTreeDataReady(requesterId, std::move(*end));
                           });
}

void CNetUiBridge::PostStatusText(const QString& text) {
    postTo<INetUiReceiver>(&State::receiver, kFormat(u"the status text \"%s\"", text),
                           [text](INetUiReceiver& receiver) { receiver.OnStatusText(text); });
}

void CNetUiBridge::PostErrorBox(const QString& text, const QString& caption) {
    postTo<INetUiReceiver>(
        &State::receiver, kFormat(u"the box \"%s\"", text),
        [text, caption](INetUiReceiver& receiver) { receiver.OnErrorBox(text, caption); });
}

void CNetUiBridge::PostUnauthorized(const CNetServerKey& server) {
    postTo<INetLogout>(&State::logout, kFormat(u"the logout of %s", server.ToString()),
                       [server](INetLogout& logout) { logout.LogoutUnauthorized(server); });
}
