#include "app/appwireservices.h"

#include "app/history.h"
#include "app/theapp.h"

int CAppWireServices::CancelFlag() const {
    return m_app.CancelFlag();
}

int CAppWireServices::PopupMessage(const QString& text, int type) {
    return m_app.PopupMessage(text, type);
}

int CAppWireServices::DispatchCurl(const QString& action) {
    return m_app.Seams().DispatchCurl(action);
}

void CAppWireServices::BeginBusy() {
    m_app.BeginBusy();
}

void CAppWireServices::EndBusy() {
    m_app.EndBusy();
}

void CAppWireServices::PumpMessages() {
    m_app.PumpMessages(false);
}

bool CAppWireServices::IsAbortedThread() const {
    return m_app.IsAbortedThread();
}

void CAppWireServices::RecordUrlTrail(const QString& entry) {
    m_app.History().AddToURLTrail(entry);
}
