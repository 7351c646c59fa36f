#include "server/loginall.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "net/wireservices.h"
#include "server/mysystemsite.h"
#include "settings/preferences.h"
#include "tree/mytree.h"
#include "ui/popuptype.h"

#include <QEventLoop>
#include <QTreeWidgetItem>

#include <thread>

namespace {

constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;

CMySystem* loginAllSystemOf(CMyTree& tree, QTreeWidgetItem* item) {
    const CMyItem* record = tree.GetMyItem(item);
    if (record == nullptr || record->ItemType != kKindSystem) {
        return nullptr;
    }
    return dynamic_cast<CMySystem*>(tree.GetSystem(item));
}

bool smartCardMode() {
    const CPreferences* prefs = MySystemSite().Preferences();
    return prefs != nullptr && prefs->GetInt(QStringLiteral("SCAuthentication"), 1) != 0;
}

bool loginAllMatches(const CMyItem& record, const CMySystem& system, const QString& text) {
    return text.isEmpty() || record.GetLabel().contains(text) || system.Host.contains(text);
}

}  // namespace

CLoginAll::CLoginAll(CMyTree& tree, CLoginProgress& progress)
    : m_tree(tree), m_progress(progress) {}

CLoginAll::~CLoginAll() = default;

int CLoginAll::CountMatchingSystems(CMyTree& tree, const QString& text, QTreeWidgetItem* item) {
    if (item == nullptr) {
        item = tree.GetRootItem();
        if (item == nullptr) {
            return 0;
        }
    }
    if (CMySystem* system = loginAllSystemOf(tree, item)) {
        return loginAllMatches(*tree.GetMyItem(item), *system, text) ? 1 : 0;
    }
    int count = 0;
    for (int i = 0; i < item->childCount(); ++i) {
        count += CountMatchingSystems(tree, text, item->child(i));
    }
    return count;
}

void CLoginAll::LoginAllMatching(const QString& text, const QString& defaultUser,
                                 const QString& defaultPassword) {
    const CWireBusy busy;
    m_defaultUser = defaultUser;
    m_defaultPassword = defaultPassword;
    m_failures.clear();
    m_attempted = 0;
    const int count = CountMatchingSystems(m_tree, text, nullptr);
    QString title = QStringLiteral("Logging into all systems ");
    if (!text.isEmpty()) {
        title += QStringLiteral("matching '") + text + QStringLiteral("' ...");
    }
    m_progress.Start(title, count);
    MySystemSite().SetStatusText(title);
    WireServices().ClearCancelFlag();
    LoginMatchingSystems(m_tree.GetRootItem(), text);
    if (m_progress.IsCancelled()) {
        m_waiting.clear();  // Cancel starts no more
    }
    startMore();
    QEventLoop loop;
    while (m_inFlight > 0) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
        if (m_progress.IsCancelled()) {
            m_waiting.clear();
        }
    }
    if (!m_failures.isEmpty()) {
        const QString summary =
            kFormat(u"%d of %d logins failed:\n", m_failures.size(), m_attempted) +
            m_failures.join(u'\n');
        say(summary);
        kWarningLog(u"%s", summary);
        WireServices().PopupMessage(summary, kPopupWarning);
    }
    m_progress.End();
}

void CLoginAll::LoginMatchingSystems(QTreeWidgetItem* item, const QString& text) {
    if (item == nullptr || m_progress.IsCancelled()) {
        return;
    }
    WireServices().PumpMessages();
    if (CMySystem* system = loginAllSystemOf(m_tree, item)) {
        const CMyItem* record = m_tree.GetMyItem(item);
        if (loginAllMatches(*record, *system, text)) {
            handleServer(item, *system, record->GetLabel());
        }
        return;
    }
    for (int i = 0; i < item->childCount(); ++i) {
        LoginMatchingSystems(item->child(i), text);
    }
}

void CLoginAll::handleServer(QTreeWidgetItem* item, CMySystem& system, const QString& label) {
    m_progress.Step();
    m_tree.EnsureVisible(item);
    if (system.LoggedIn) {
        say(QStringLiteral("Already logged in: ") + label);
    } else if (system.WebPort == kHttpPort || system.WebPort == kHttpsPort) {
        if (smartCardMode() && system.Protocol == u"https" &&
            !MySystemSite().PrepareSmartCardLogin(system)) {
            m_failures << label + QStringLiteral(": no smart-card certificate");
            say(QStringLiteral("Logging in: ") + label + QStringLiteral("  (failed)"));
            m_tree.Expand(item, false);
            return;
        }
        if (system.User.isEmpty()) {
            system.User = m_defaultUser;
        }
        if (system.Password.isEmpty()) {
            system.Password = m_defaultPassword;
        }
        m_waiting.push_back({item, &system, label});
        startMore();
    } else {
        say(QStringLiteral("Skipped: ") + label);
    }
    m_tree.Expand(item, false);
}

void CLoginAll::say(const QString& text) {
    m_progress.SetActionText(text);
    MySystemSite().SetStatusText(text);
}

void CLoginAll::startMore() {
    while (m_inFlight < kMostAtOnce && !m_waiting.empty() && !m_progress.IsCancelled()) {
        const Pending pending = m_waiting.front();
        m_waiting.pop_front();
        ++m_attempted;
        ++m_inFlight;
        m_peakInFlight = std::max(m_peakInFlight, m_inFlight);
        say(QStringLiteral("Logging in: ") + pending.label);
        const CLoginRequest request = pending.system->BeginLogin(&m_tree, pending.item);
        std::thread([this, pending, request] {
            const CLoginResult result = CMySystem::SendLogin(request);
            m_uiCalls.Queue([this, pending, request, result] { finish(pending, request, result); });
        }).detach();
    }
}

void CLoginAll::finish(const Pending& pending, const CLoginRequest& request,
                       const CLoginResult& result) {
    --m_inFlight;
    QString error;
    if (pending.system->FinishLogin(request, result, error, &m_tree, pending.item, false) == 0) {
        if (error.isEmpty()) {
            error = QStringLiteral("A connection with the server could not be established");
        }
        m_failures << pending.label + QStringLiteral(": ") + error;
        say(QStringLiteral("Logging in: ") + pending.label + QStringLiteral("  (failed)"));
    }
    m_tree.Expand(pending.item, false);
    startMore();
}
