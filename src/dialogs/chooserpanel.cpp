#include "dialogs/chooserpanel.h"

#include "dialogs/choosersite.h"
#include "frame/myview.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "grid/gridnavigator.h"
#include "grid/mygrid.h"
#include "net/wireservices.h"
#include "server/mysystem.h"
#include "settings/preferences.h"
#include "tree/myitem.h"
#include "tree/mytree.h"
#include "ui/busycursor.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>

CChooserPanel::CChooserPanel(int templateId, const QString& baseUrl, CMyView& view,
                             QTreeWidgetItem* item, CChooserSite& site)
    : CMyViewDlg(templateId, &view, item),
      m_view(view),
      m_site(site),
      m_go(new QPushButton(QStringLiteral("&Go"), this)),
      m_baseUrl(baseUrl) {
    m_go->setDefault(true);
    connect(m_go, &QPushButton::clicked, this, &CChooserPanel::OnGo);
}

QString CChooserPanel::ChooserPrefix() const {
    CMyTree& tree = m_site.Tree();
    QTreeWidgetItem* item = tree.GetSelectedItem();
    const CServerConnection* system = tree.GetSystem(item);
    const CMyItem* record = tree.GetMyItem(item);
    return kFormat(u"%s-%s", system != nullptr ? system->Host : QString(),
                   record != nullptr ? record->ID : QString());
}

CMySystem* CChooserPanel::SelectedSystem() const {
    CMyTree& tree = m_site.Tree();
    return dynamic_cast<CMySystem*>(tree.GetSystem(tree.GetSelectedItem()));
}

QString CChooserPanel::SelectedItemLastCurl() const {
    CMyTree& tree = m_site.Tree();
    const CMyItem* record = tree.GetMyItem(tree.GetSelectedItem());
    if (record == nullptr || record->Parts.Count() == 0) {
        return {};
    }
    return record->Parts.GetNameAt(record->Parts.Count() - 1);
}

QString CChooserPanel::ChunkQuery() const {
    const CGridNavigator* navigator = m_view.Navigator();
    return navigator != nullptr ? navigator->GetChunkQuery() : QString();
}

QString CChooserPanel::RequestURL(const QString& query) const {
    return m_baseUrl + query;
}

void CChooserPanel::CleanOnChange(QLineEdit* edit, QString (*cleaner)(const QString&)) {
    connect(edit, &QLineEdit::textChanged, edit, [edit, cleaner](const QString& text) {
        const QString cleaned = cleaner(text);
        if (cleaned != text) {
            const QSignalBlocker quiet(edit);
            edit->setText(cleaned);
            edit->setCursorPosition(static_cast<int>(cleaned.size()));
        }
    });
}

void CChooserPanel::OnPanelShown() {
    if (CMyGrid* grid = m_view.GetGrid()) {
        grid->SetHoldHidden(true);
    }
    if (m_site.Prefs().GetInt(QStringLiteral("AutoGo"), 1) != 0 || m_view.IsNavigatorShown()) {
        OnGo();
    }
}

void CChooserPanel::OnGo() {
    const CBusyCursor busy;
    WireServices().ClearCancelFlag();
    CMyGrid* grid = m_view.GetGrid();
    if (grid != nullptr) {
        grid->SetHoldHidden(false);
    }
    m_go->setEnabled(false);
    if (grid == nullptr) {
        kDebugLog(u"NULL Pointer!");
        // Nothing is loading: the user may try again.
        m_go->setEnabled(true);
        return;
    }
    QTreeWidgetItem* item = m_site.Tree().GetSelectedItem();
    const QString query = BuildQuery();
    SaveState(ChooserPrefix());
    const QString url = RequestURL(query);
    m_site.CloseProperties();
    grid->SaveColumnPrefs();
    // QPointer: the load lets events run, and a render may replace the panel.
    const QPointer<CChooserPanel> alive(this);
    const int loaded = m_view.LoadGrid(url, item);
    if (alive == nullptr || loaded == 0) {
        return;
    }
    m_go->setEnabled(true);
    m_go->setFocus();
    AfterGo();
}
