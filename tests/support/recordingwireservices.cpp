#include "support/recordingwireservices.h"

RecordingWireServices::RecordingWireServices() : m_previous(SetWireServices(this)) {}

RecordingWireServices::~RecordingWireServices() {
    SetWireServices(m_previous);
}

int RecordingWireServices::PopupMessage(const QString& text, int type) {
    const Popup popup{text, type};
    {
        std::lock_guard lock(m_mutex);
        m_popups.push_back(popup);
    }
    if (onPopup) {
        onPopup(popup);
    }
    return popupAnswer.load();
}

int RecordingWireServices::DispatchCurl(const QString& action) {
    std::lock_guard lock(m_mutex);
    m_curls.push_back(action);
    return 1;
}

int RecordingWireServices::HandlePbarTag(const QString& name, const KPROPS&, const QString&,
                                         const XmlElementStack&) {
    std::lock_guard lock(m_mutex);
    m_pbars.push_back({name, {}, false});
    return 1;
}

int RecordingWireServices::HandlePbarEndTag(const QString& name, const QString& text, const KPROPS&,
                                            const QString&, const XmlElementStack&) {
    std::lock_guard lock(m_mutex);
    m_pbars.push_back({name, text, true});
    return 1;
}

void RecordingWireServices::AddServerPid(const void* owner, quint32 pid) {
    std::lock_guard lock(m_mutex);
    m_pids.push_back({owner, pid, true});
}

void RecordingWireServices::RemoveServerPid(const void* owner, quint32 pid) {
    std::lock_guard lock(m_mutex);
    m_pids.push_back({owner, pid, false});
}

void RecordingWireServices::RecordUrlTrail(const QString& entry) {
    std::lock_guard lock(m_mutex);
    m_trail.push_back(entry);
}

bool RecordingWireServices::AskProxyCredentials(const QString& proxy, QString& user,
                                                QString& password) {
    ++proxyQuestions;
    if (onProxyQuestion) {
        return onProxyQuestion(proxy, user, password);
    }
    if (proxyUser.isEmpty()) {
        return false;
    }
    user = proxyUser;
    password = proxyPassword;
    return true;
}

bool RecordingWireServices::StartAsyncRequest(int kind, quint16&, const QString& url,
                                              const QString& user, const QString& password) {
    std::lock_guard lock(m_mutex);
    m_asyncRequests.push_back({kind, url, user, password});
    return false;
}

void RecordingWireServices::CancelRequests(quint16 requesterId) {
    std::lock_guard lock(m_mutex);
    m_cancelledRequesters.push_back(requesterId);
}

std::vector<RecordingWireServices::Popup> RecordingWireServices::popups() const {
    return copyOf(m_popups);
}

void RecordingWireServices::clearPopups() {
    std::lock_guard lock(m_mutex);
    m_popups.clear();
}

std::vector<QString> RecordingWireServices::curls() const {
    return copyOf(m_curls);
}

std::vector<RecordingWireServices::Pbar> RecordingWireServices::pbars() const {
    return copyOf(m_pbars);
}

std::vector<RecordingWireServices::Pid> RecordingWireServices::pids() const {
    return copyOf(m_pids);
}

std::vector<QString> RecordingWireServices::trail() const {
    return copyOf(m_trail);
}

std::vector<RecordingWireServices::AsyncRequest> RecordingWireServices::asyncRequests() const {
    return copyOf(m_asyncRequests);
}

std::vector<quint16> RecordingWireServices::cancelledRequesters() const {
    return copyOf(m_cancelledRequesters);
}
