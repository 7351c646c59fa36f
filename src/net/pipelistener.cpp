#include "net/pipelistener.h"

#include <QSocketNotifier>

CPipeListener::CPipeListener(std::function<void()> onReadable, QObject* parent)
    : QObject(parent), m_onReadable(std::move(onReadable)) {}

CPipeListener::~CPipeListener() {
    Stop();
}

void CPipeListener::Listen(CNamedPipe clientEnd) {
    Stop();
    m_pipe = std::move(clientEnd);
    if (!m_pipe.IsConnected()) {
        return;
    }
    m_notifier = new QSocketNotifier(m_pipe.GetHandle(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { m_onReadable(); });
}

void CPipeListener::Stop() {
    if (m_notifier != nullptr) {
        // Stop may run inside the notifier's own signal: it is deleted later.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    m_pipe.Close();
}
