#include "grid/fieldchooserdialog.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "grid/gridcolumn.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "ui/busycursor.h"
#include "ui/popupmessages.h"
#include "ui/uiservices.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <array>

namespace {

// The server's field list holds these many values per field.
constexpr int kFieldRecordSize = 5;

QPushButton* makeChooserButton(const QString& text, int controlId, QWidget* parent) {
    auto* button = new QPushButton(LangLookup(text), parent);
    button->setProperty("controlId", controlId);
    button->setAutoDefault(false);
    return button;
}

QListWidget* makeFieldList(int controlId, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setProperty("controlId", controlId);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

QStringList recordOf(const QListWidgetItem* item) {
    return item->data(Qt::UserRole).toStringList();
}

}  // namespace

CFieldChooserDialog::CFieldChooserDialog(CMyGrid* primaryGrid, CMySystem* system, QWidget* parent)
    : QDialog(parent),
      m_primaryGrid(primaryGrid),
      m_system(system),
      m_available(makeFieldList(5535, this)),
      m_chosen(makeFieldList(5536, this)),
      m_description(new QLabel(this)),
      m_ok(makeChooserButton(QStringLiteral("OK"), 1, this)),
      m_cancel(makeChooserButton(QStringLiteral("Cancel"), 2, this)),
      m_debugInfo(new QLabel(this)),
      m_add(makeChooserButton(QStringLiteral("Add ->"), 5529, this)),
      m_remove(makeChooserButton(QStringLiteral("<- Remove"), 5530, this)),
      m_moveUp(makeChooserButton(QStringLiteral("Move Up"), 5527, this)),
      m_moveDown(makeChooserButton(QStringLiteral("Move Down"), 5528, this)) {
    setWindowTitle(LangLookup(QStringLiteral("Select Fields")));
    setProperty("controlId", 491);
    m_available->setSortingEnabled(true);
    m_description->setProperty("controlId", 5279);
    m_description->setWordWrap(true);
    m_debugInfo->setProperty("controlId", 5379);
    m_debugInfo->setWordWrap(true);
    m_debugInfo->hide();
    m_ok->setDefault(true);

    auto* availableLabel = new QLabel(LangLookup(QStringLiteral("Available fields:")), this);
    availableLabel->setProperty("controlId", 5531);
    auto* chosenLabel =
        new QLabel(LangLookup(QStringLiteral("Show these fields in this order:")), this);
    chosenLabel->setProperty("controlId", 5533);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(m_add);
    middle->addWidget(m_remove);
    middle->addStretch();
    auto* order = new QVBoxLayout;
    order->addStretch();
    order->addWidget(m_moveUp);
    order->addWidget(m_moveDown);
    order->addStretch();
    auto* lists = new QGridLayout;
    lists->addWidget(availableLabel, 0, 0);
    lists->addWidget(chosenLabel, 0, 2);
    lists->addWidget(m_available, 1, 0);
    lists->addLayout(middle, 1, 1);
    lists->addWidget(m_chosen, 1, 2);
    lists->addLayout(order, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(m_description);
    layout->addWidget(m_debugInfo);
    layout->addLayout(buttons);

    connect(m_add, &QPushButton::clicked, this, &CFieldChooserDialog::OnAdd);
    connect(m_remove, &QPushButton::clicked, this, &CFieldChooserDialog::OnRemove);
    connect(m_moveUp, &QPushButton::clicked, this, &CFieldChooserDialog::OnMoveUp);
    connect(m_moveDown, &QPushButton::clicked, this, &CFieldChooserDialog::OnMoveDown);
    connect(m_ok, &QPushButton::clicked, this, &CFieldChooserDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CFieldChooserDialog::reject);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &CFieldChooserDialog::OnAdd);
    connect(m_chosen, &QListWidget::itemDoubleClicked, this, &CFieldChooserDialog::OnRemove);
    connect(m_available, &QListWidget::itemSelectionChanged, this, [this] {
        showDescription();
        updateButtons();
    });
    connect(m_chosen, &QListWidget::itemSelectionChanged, this,
            &CFieldChooserDialog::updateButtons);
    updateButtons();
}

void CFieldChooserDialog::SetFieldList(const QString& name) {
    m_fieldList = name;
    m_profileKey = kFormat(u"FieldList:%s", name);
}

int CFieldChooserDialog::DoModal() {
    Start();
    return exec();
}

bool CFieldChooserDialog::Start() {
    if (m_fieldList.isEmpty()) {
        UiServices().Popups().ErrorBox(
            QStringLiteral("BUG: CFieldChooserDialog.DoModal() called before SetFieldList()."));
        return false;
    }
    m_changes = 0;
    m_description->clear();
    fillAvailable();
    preselect();
    showDebugInfo();
    updateButtons();
    return true;
}

void CFieldChooserDialog::fillAvailable() {
    const QString url = kFormat(u"/cmi/Services?Action=GetFieldList&Which=%s",
                                QString::fromLatin1(QUrl::toPercentEncoding(m_fieldList)));
    CMyGrid fields;
    fields.SetSavePrefsOnReset(false);
    fields.GetData(url, m_system, true);
    if (fields.GetHttpStatus() == 401) {
        if (CMyTree* tree = MySystemSite().WorldViewTree()) {
            LogoutIfUnauthorized(*tree, 401);
        }
        return;
    }
    // The values are read by the list's own columns, wherever placement
    // has put them in the grid.
    std::array<int, kFieldRecordSize> gridCols{};
    for (int part = 0; part < kFieldRecordSize; ++part) {
        gridCols[static_cast<size_t>(part)] = fields.XmlColToGridCol(part + 1) - 1;
    }
    for (int row = 1; row < fields.GetRowCount(); ++row) {
        QStringList record;
        for (const int col : gridCols) {
            record << (col >= 0 ? fields.GetItemText(row, col) : QString());
        }
        if (record[kFieldProperties].contains(u"[H]")) {
            continue;
        }
        record[kFieldName] = record[kFieldName].toLower();
        record[kFieldLabel] = LangLookup(record[kFieldLabel]);
        m_available->addItem(makeItem(record));
    }
}

QListWidgetItem* CFieldChooserDialog::makeItem(const QStringList& record) {
    auto* item = new QListWidgetItem(record[kFieldLabel]);
    item->setData(Qt::UserRole, record);
    return item;
}

void CFieldChooserDialog::preselect() {
    if (m_primaryGrid == nullptr) {
        return;
    }
    for (int col = 0; col < m_primaryGrid->GetColumnCount(); ++col) {
        const GridColumn* column = m_primaryGrid->GetGridColumnEntry(col);
        if (column == nullptr || m_primaryGrid->GetColumnWidth(col) <= 0) {
            continue;
        }
        for (int row = 0; row < m_available->count(); ++row) {
            if (recordOf(m_available->item(row))[kFieldName] == column->colname) {
                m_chosen->addItem(m_available->takeItem(row));
                break;
            }
        }
    }
}

void CFieldChooserDialog::showDebugInfo() {
    const CPreferences* prefs = MySystemSite().Preferences();
    if (prefs == nullptr || prefs->GetInt(QStringLiteral("ContextDebugging"), 0) == 0) {
        return;
    }
    QString text = kFormat(u"[DebugInfo] m_strFieldList: %s", m_fieldList);
    if (m_primaryGrid != nullptr && !m_primaryGrid->GetGridURL().isEmpty()) {
        const QString fromUrl = CPreferences::GetFieldChooserName(m_primaryGrid->GetGridURL());
        text += QStringLiteral(", FieldList (off grid url): ") + fromUrl;
        if (fromUrl != m_fieldList) {
            text += QStringLiteral("   <-- BAD!!!!");
        }
    }
    m_debugInfo->setText(text);
    m_debugInfo->show();
}

QList<int> CFieldChooserDialog::selectedRows(const QListWidget& list) {
    QList<int> rows;
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->isSelected()) {
            rows << row;
        }
    }
    return rows;
}

bool CFieldChooserDialog::chosenBlock(int& first, int& last) const {
    const QList<int> rows = selectedRows(*m_chosen);
    if (rows.isEmpty() || rows.back() - rows.front() + 1 != rows.size()) {
        return false;
    }
    first = rows.front();
    last = rows.back();
    return true;
}

void CFieldChooserDialog::OnAdd() {
    m_chosen->clearSelection();
    for (QList<int> rows = selectedRows(*m_available); !rows.isEmpty();
         rows = selectedRows(*m_available)) {
        QListWidgetItem* item = m_available->takeItem(rows.front());
        m_chosen->addItem(item);
        item->setSelected(true);
        ++m_changes;
    }
    updateButtons();
}

void CFieldChooserDialog::OnRemove() {
    m_available->clearSelection();
    bool first = true;
    for (QList<int> rows = selectedRows(*m_chosen); !rows.isEmpty();
         rows = selectedRows(*m_chosen)) {
        QListWidgetItem* item = m_chosen->takeItem(rows.front());
        item->setSelected(false);
        m_available->addItem(item);
        item->setSelected(first);
        first = false;
        ++m_changes;
    }
    updateButtons();
}

void CFieldChooserDialog::OnMoveUp() {
    int first = 0;
    int last = 0;
    if (!chosenBlock(first, last) || first == 0) {
        return;
    }
    m_chosen->insertItem(last, m_chosen->takeItem(first - 1));
    ++m_changes;
    updateButtons();
}

void CFieldChooserDialog::OnMoveDown() {
    int first = 0;
    int last = 0;
    if (!chosenBlock(first, last) || last + 1 >= m_chosen->count()) {
        return;
    }
    m_chosen->insertItem(first, m_chosen->takeItem(last + 1));
    ++m_changes;
    updateButtons();
}

void CFieldChooserDialog::updateButtons() {
    m_add->setEnabled(!selectedRows(*m_available).isEmpty());
    m_remove->setEnabled(!selectedRows(*m_chosen).isEmpty());
    int first = 0;
    int last = 0;
    const bool block = chosenBlock(first, last);
    m_moveUp->setEnabled(block && first > 0);
    m_moveDown->setEnabled(block && last + 1 < m_chosen->count());
}

void CFieldChooserDialog::showDescription() {
    const QList<int> rows = selectedRows(*m_available);
    m_description->setText(rows.size() == 1
                               ? recordOf(m_available->item(rows.front()))[kFieldDescription]
                               : QString());
}

void CFieldChooserDialog::accept() {
    QDialog::accept();
    if (m_changes == 0) {
        return;
    }
    const CBusyCursor busy;
    if (CPreferences* prefs = MySystemSite().Preferences()) {
        QStringList columns;
        for (int row = 0; row < m_chosen->count(); ++row) {
            columns << recordOf(m_chosen->item(row))[kFieldName];
        }
        prefs->SaveFieldChooserColumns(m_fieldList, columns);
    }
    if (m_primaryGrid != nullptr) {
        m_primaryGrid->Reload();
    }
}

QString GridFieldChooserList(const CMyGrid& grid) {
    return grid.GetGridProperties().GetValue(QStringLiteral("field-chooser"));
}

bool RunFieldChooser(CMyGrid& grid, QWidget* parent) {
    const QString fieldList = GridFieldChooserList(grid);
    if (fieldList.isEmpty()) {
        return false;
    }
    CFieldChooserDialog dialog(&grid, grid.Site().SelectedSystem(), parent);
    dialog.SetFieldList(fieldList);
    dialog.DoModal();
    return true;
}
