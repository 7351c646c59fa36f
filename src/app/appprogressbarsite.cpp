#include "app/appprogressbarsite.h"

#include "app/theapp.h"
#include "frame/mainframe.h"
#include "tree/mytree.h"
#include "tree/serverconnection.h"

#include <ctime>

void CAppProgressBarSite::ClearCancelFlag() {
    m_app.SetCancelFlag(0);
}

void CAppProgressBarSite::AddToCancelFlag() {
    m_app.AddToCancelFlag();
}

void CAppProgressBarSite::PumpMessages(bool force) {
    m_app.PumpMessages(force);
}

bool CAppProgressBarSite::IsAbortedThread() const {
    return m_app.IsAbortedThread();
}

void CAppProgressBarSite::ErrorBox(const QString& text) {
    m_app.ErrorBox(text);
}

qint64 CAppProgressBarSite::Now() const {
    return static_cast<qint64>(std::time(nullptr));
}

QWidget* CAppProgressBarSite::MainWindow() const {
    return m_app.MainFrame();
}

CKillTarget CAppProgressBarSite::ResolveOnSelectedServer(const QString& url) {
    CKillTarget target;
    // The World View belongs to the UI thread.
    m_app.Bridge().Call([this, &url, &target] {
        CMyTree& tree = m_app.Tree();
        if (const CServerConnection* system = tree.GetSystem(tree.GetSelectedItem())) {
            target = {system->Host, system->AbsoluteURL(url), system->User, system->Password};
        }
        return qintptr{0};
    });
    return target;
}

bool CAppProgressBarSite::ShowProgressOnUIThread() {
    return m_app.ShowProgressOnUIThread() != 0;
}

bool CAppProgressBarSite::HideProgressOnUIThread() {
    return m_app.HideProgressOnUIThread() != 0;
}
