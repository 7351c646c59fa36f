#include "frame/folderlist.h"

#include "framework/kformat.h"
#include "server/mysystem.h"
#include "settings/datetimeformat.h"
#include "settings/langpack.h"
#include "tree/myitem.h"
#include "tree/mytree.h"

#include <QApplication>
#include <QHeaderView>
#include <QListView>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QTreeView>
#include <QTreeWidgetItem>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFolderItemRole = Qt::UserRole + 1;
// A "Fullpath" column narrower than this shows nothing useful.
constexpr int kMinimumFullPathWidth = 60;

struct FolderColumn {
    const char16_t* title;
    int width;
    Qt::Alignment alignment = Qt::AlignLeft;
};

// Whether a mouse button is down on a header: the sections it resizes
// meanwhile are the user's drags of their borders. (The button may be down
// elsewhere too, on the World View item whose list this is being shown.)
class HeaderPressWatch : public QObject {
public:
    explicit HeaderPressWatch(QHeaderView* header) : QObject(header) {
        header->viewport()->installEventFilter(this);
    }
    bool pressed = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            pressed = true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            pressed = false;
        }
        return false;
    }
};

int truncated(double value) {
    return static_cast<int>(std::trunc(value));
}

std::vector<FolderColumn> columnsForKind(int kind, int width) {
    const double w = width;
    switch (kind) {
        case kKindDirectory:
            return {{u"Name", std::min(truncated(0.2 * w), 100)},
                    {u"Size", 50, Qt::AlignRight},
                    {u"Modified", 160},
                    {u"Owner", 75},
                    {u"Permissions", 80},
                    {u"Fullpath", FullPathColumnWidth(width)}};
        case kKindFolder:
        case kKindRoot:
            return {{u"Name", truncated(0.2 * w)},
                    {u"Hostname", truncated(0.25 * w)},
                    {u"Server Type", truncated(0.25 * w)},
                    {u"Server Info", truncated(0.2 * w)},
                    {u"CMI", truncated(0.1 * w)}};
        default:
            return {{u"Name", truncated(0.2 * w)}, {u"Comment", truncated(0.8 * w)}};
    }
}

QStringList detailTexts(CMyTree& tree, QTreeWidgetItem* item, const CPreferences& prefs) {
    const CMyItem* record = tree.GetMyItem(item);
    if (record == nullptr) {
        return {};
    }
    switch (record->ItemType) {
        case kKindComponent:
            return {record->GetHoverText()};
        case kKindDirectory:
            return {FormatBytes(record->File.Bytes),
                    FormatDateTime(prefs, static_cast<std::time_t>(record->File.LastModified)),
                    record->File.Owner, FormatFileMode(record->File.Mode), record->FullPath};
        case kKindSystem: {
            const CServerConnection* connection = ConnectionOf(record);
            if (connection == nullptr) {
                return {};
            }
            const QString suffix =
                connection->Protocol == u"http" ? QString() : QStringLiteral(" (https)");
            QStringList texts{kFormat(u"%s:%d%s", connection->Host, connection->WebPort, suffix)};
            if (const auto* system = dynamic_cast<const CMySystem*>(connection)) {
                texts << kFormat(u"%s %s", system->GetServerTypeText(), system->GetServerVersion())
                      << system->GetServerInfo() << system->GetCmiVersion();
            }
            return texts;
        }
        default:
            return {};
    }
}

}  // namespace

int FullPathColumnWidth(int width) {
    const int rest = width + truncated(-0.2 * width) - 365;
    return std::clamp(rest, kMinimumFullPathWidth, 200);
}

CFolderList::CFolderList(QWidget* parent) : QStackedWidget(parent) {
    setProperty("controlId", kControlId);
    m_list = new QListView(this);
    m_details = new QTreeView(this);
    m_list->setModel(&m_model);
    m_details->setModel(&m_model);
    m_details->setSelectionModel(m_list->selectionModel());
    m_details->setRootIsDecorated(false);
    m_details->setSortingEnabled(false);
    m_details->header()->setSectionsMovable(true);
    // A section the header stretches to the list's width is no choice of
    // the user's: only a drag of its border is.
    const auto* press = new HeaderPressWatch(m_details->header());
    connect(m_details->header(), &QHeaderView::sectionResized, this, [this, press] {
        if (!m_sizingColumns && press->pressed) {
            m_columnsFollowWidth = false;
        }
    });
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_list), static_cast<QAbstractItemView*>(m_details)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setDragEnabled(true);
        view->setAcceptDrops(true);
        connect(view, &QAbstractItemView::activated, this,
                [this](const QModelIndex& index) { Q_EMIT RowActivated(index.row()); });
        addWidget(view);
    }
    SetMode(kIcon);
}

void CFolderList::SetMode(int mode) {
    m_mode = mode & 3;
    switch (m_mode) {
        case kDetails:
            setCurrentWidget(m_details);
            return;
        case kIcon:
            m_list->setViewMode(QListView::IconMode);
            m_list->setIconSize(QSize(32, 32));
            m_list->setFlow(QListView::LeftToRight);
            m_list->setWrapping(true);
            break;
        case kSmallIcon:
            m_list->setViewMode(QListView::ListMode);
            m_list->setIconSize(QSize(16, 16));
            m_list->setFlow(QListView::LeftToRight);
            m_list->setWrapping(true);
            break;
        default:
            m_list->setViewMode(QListView::ListMode);
            m_list->setIconSize(QSize(16, 16));
            m_list->setFlow(QListView::TopToBottom);
            m_list->setWrapping(true);
            break;
    }
    m_list->setResizeMode(QListView::Adjust);
    setCurrentWidget(m_list);
}

void CFolderList::LineUpIcons() {
    m_list->doItemsLayout();
}

QAbstractItemView* CFolderList::CurrentView() const {
    return m_mode == kDetails ? static_cast<QAbstractItemView*>(m_details) : m_list;
}

void CFolderList::DeleteAllItems() {
    m_model.removeRows(0, m_model.rowCount());
}

void CFolderList::FillFromChildren(CMyTree& tree, QTreeWidgetItem* parent) {
    DeleteAllItems();
    for (QTreeWidgetItem* child = tree.GetChildItem(parent); child != nullptr;
         child = tree.GetNextSiblingItem(child)) {
        auto* row = new QStandardItem(child->icon(0), child->text(0));
        row->setData(QVariant::fromValue(reinterpret_cast<quintptr>(child)), kFolderItemRole);
        m_model.appendRow(row);
    }
}

void CFolderList::SetColumns(int kind, int width) {
    const std::vector<FolderColumn> columns = columnsForKind(kind, width);
    m_model.setColumnCount(static_cast<int>(columns.size()));
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
        m_model.setHeaderData(column, Qt::Horizontal,
                              LangLookup(QString::fromUtf16(columns[column].title)));
        m_model.setHeaderData(column, Qt::Horizontal,
                              QVariant::fromValue(columns[column].alignment),
                              Qt::TextAlignmentRole);
    }
    m_columnsKind = kind;
    m_columnsFollowWidth = true;
    sizeColumns(width);
}

void CFolderList::sizeColumns(int width) {
    const QScopedValueRollback sizing(m_sizingColumns, true);
    const std::vector<FolderColumn> columns = columnsForKind(m_columnsKind, width);
    const QHeaderView* header = m_details->header();
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
        m_details->setColumnWidth(column,
                                  std::max(columns[column].width, header->sectionSizeHint(column)));
    }
}

void CFolderList::resizeEvent(QResizeEvent* event) {
    QStackedWidget::resizeEvent(event);
    if (m_columnsFollowWidth && event->size().width() != event->oldSize().width()) {
        sizeColumns(event->size().width());
    }
}

void CFolderList::FillDetails(CMyTree& tree, const CPreferences& prefs) {
    for (int row = 0; row < m_model.rowCount(); ++row) {
        const QStringList texts = detailTexts(tree, ItemOfRow(row), prefs);
        for (int i = 0; i < texts.size() && i + 1 < m_model.columnCount(); ++i) {
            m_model.setItem(row, i + 1, new QStandardItem(texts[i]));
        }
    }
}

QTreeWidgetItem* CFolderList::ItemOfRow(int row) const {
    const QStandardItem* cell = m_model.item(row, 0);
    return cell != nullptr
               ? reinterpret_cast<QTreeWidgetItem*>(cell->data(kFolderItemRole).value<quintptr>())
               : nullptr;
}

QList<int> CFolderList::SelectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) {
        rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CFolderList::SelectionMark() const {
    const QModelIndex current = m_list->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CFolderList::SelectRow(int row) {
    const QModelIndex index = m_model.index(row, 0);
    m_list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QString CFolderList::SelectedText() const {
    QString text;
    for (int row : SelectedRows()) {
        text += m_model.item(row, 0)->text() + QStringLiteral("\r\n");
    }
    return text;
}

bool CFolderList::HasFocusInside() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == m_list || focus == m_details || isAncestorOf(focus));
}
