#include "app/appnetreceiver.h"

#include "app/theapp.h"

void CAppNetReceiver::OnGridDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    m_app.Seams().GridDataReady(requesterId, std::move(clientEnd));
}

void CAppNetReceiver::OnTreeDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    m_app.Seams().TreeDataReady(requesterId, std::move(clientEnd));
}

void CAppNetReceiver::OnStatusText(const QString& text) {
    m_app.SetStatusText(text, 0);
}

void CAppNetReceiver::OnErrorBox(const QString& text, const QString& caption) {
    m_app.Popups().ShowWithoutOwner(text, caption, kPopupError);
}
