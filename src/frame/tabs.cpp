#include "frame/tabs.h"

#include "framework/kformat.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "tree/myitem.h"
#include "tree/mytree.h"
#include "ui/popupmessages.h"
#include "ui/uiservices.h"

#include <QContextMenuEvent>
#include <QTabBar>

CTabs::CTabs(CTabsHost host, QWidget* parent)
    : CMyViewDlg(kTemplateId, parent, host.tree.GetSelectedItem()), m_host(std::move(host)) {
    m_tabBar = new QTabBar(this);
    m_tabBar->setProperty("controlId", kTabControlId);
    m_tabBar->setExpanding(false);
    m_tabBar->setContextMenuPolicy(Qt::CustomContextMenu);
    const CMyItem* record = m_host.tree.GetMyItem(CurrentTreeItem());
    if (record != nullptr) {
        m_itemId = record->GetItemId();
        m_prefKey = PrefKeyOf(*record);
        for (int i = 0; i < record->Parts.Count(); ++i) {
            m_tabBar->addTab(LangLookup(record->Parts.GetValueAt(i)));
        }
    }
    connect(m_tabBar, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && m_host.userChoosesTab) {
            m_host.userChoosesTab();
        }
    });
    connect(m_tabBar, &QTabBar::currentChanged, this, [this](int) {
        if (!m_selecting) {
            SelectTab(0);
        }
    });
    connect(m_tabBar, &QTabBar::customContextMenuRequested, this, [this] {
        if (m_host.prefs.GetInt(QStringLiteral("ContextDebugging"), 0) != 0) {
            UiServices().Popups().PopupMessage(kFormat(u"PrefKey = '%s'", m_prefKey),
                                               kPopupInformation);
        }
    });
}

QString CTabs::PrefKeyOf(const CMyItem& record) {
    QString key = record.Attributes.GetValue(QStringLiteral("pref-key"));
    if (key.isEmpty()) {
        QString menu = record.GetMenuName();
        menu.remove(QStringLiteral(".menu"));
        if (!menu.isEmpty()) {
            key = kFormat(u"tab:%s", menu);
        } else if (!record.ID.isEmpty()) {
            key = kFormat(u"tab:%s", record.ID);
        }
    }
    return key == u"none" ? QString() : key;
}

int CTabs::TabCount() const {
    return m_tabBar->count();
}

CMyItem* CTabs::liveRecord() const {
    if (m_itemId == 0) {
        return nullptr;
    }
    CMyItem* selected = m_host.tree.GetMyItem(m_host.tree.GetSelectedItem());
    return selected != nullptr && selected->GetItemId() == m_itemId ? selected : nullptr;
}

int CTabs::SelectTab(int n) {
    CMyItem* record = liveRecord();
    if (record == nullptr || record->Parts.Count() == 0 || TabCount() == 0) {
        return 0;
    }
    const int count = std::min(record->Parts.Count(), TabCount());
    if (n == 0) {
        n = m_tabBar->currentIndex() + 1;
    } else if (n > count || n < 1) {
        n = 1;
    }
    if (n < 1 || n > count) {
        return 0;
    }
    m_selecting = true;
    m_tabBar->setCurrentIndex(n - 1);
    m_selecting = false;
    const QString locator = record->Parts.GetNameAt(n - 1);
    record->SelectedTab = n;
    if (!m_prefKey.isEmpty()) {
        m_host.prefs.SetUInt(m_prefKey, static_cast<quint32>(n));
    }
    return m_host.showCurl(locator);
}

int CTabs::SelectTabByLabel(const QString& text) {
    for (int i = 0; i < TabCount(); ++i) {
        if (m_tabBar->tabText(i) == text) {
            return SelectTab(i + 1);
        }
    }
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (isNumber && number > 0 && number <= TabCount()) {
        return SelectTab(number);
    }
    return 0;
}

void CTabs::OnPanelShown() {
    int n = m_prefKey.isEmpty() ? 1 : m_host.prefs.GetInt(m_prefKey, 1);
    if (n <= 0 || n > TabCount()) {
        n = 1;
    }
    if (n <= TabCount()) {
        show();
        SelectTab(n);
    }
}

void CTabs::resizeEvent(QResizeEvent* event) {
    CMyViewDlg::resizeEvent(event);
    const int barHeight = m_tabBar->sizeHint().height();
    const int top = height() > 1 ? std::max(height() - barHeight, 0) : 0;
    m_tabBar->setGeometry(0, top, width(), barHeight);
}
