#include "app/appworldviewsite.h"

#include "app/theapp.h"
#include "frame/mainframe.h"

bool CAppWorldViewSite::IsNewWorldViewUnsaved() {
    const CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr && frame->NewWorldViewUnsaved();
}

void CAppWorldViewSite::ClearNewWorldViewUnsaved() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->ClearNewWorldViewUnsaved();
    }
}
