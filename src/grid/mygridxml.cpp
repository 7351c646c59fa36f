// The grid XML's elements, parsed or replayed, turned into the grid's columns,
// header cells and rows; a directory listing's items become rows the same way.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "grid/gridnavigator.h"
#include "grid/mygrid.h"
#include "grid/mygriddetail.h"
#include "grid/mygridsite.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "settings/texttools.h"
#include "tree/mytree.h"
#include "tree/treeimages.h"

using mygrid_detail::menuNameOf;

namespace {

bool isRowTag(QStringView name) {
    return name == u"r" || name == u"row" || name.startsWith(u"row-") || name == u"tr";
}

bool isCellTag(QStringView name) {
    return name == u"c" || name == u"cell" || name.startsWith(u"cell-") || name == u"td";
}

bool isColumnTag(QStringView name) {
    return name == u"col" || name.startsWith(u"col-");
}

// The elements the wire's own handlers act on; every other one skips them.
bool isWireElement(QStringView name) {
    return name == u"message" || name == u"curl" || name.startsWith(u"pbar-") ||
           name == u"exception" || name == u"grid" || name == u"tree";
}

}  // namespace

bool CMyGrid::passesGate() const {
    return WireServices().CancelFlag() == 0 && !WireServices().IsAbortedThread();
}

int CMyGrid::XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                               const XmlElementStack& stack) {
    if (!passesGate()) {
        return 1;
    }
    if (CMyWire::XMLHandleStartTag(name, attributes, parent, stack) != 0) {
        return 1;
    }
    Event event;
    event.start = true;
    event.name = name;
    event.parent = parent;
    event.props = &attributes;
    handleStart(event);
    return 1;
}

int CMyGrid::XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                             const QString& parent, const XmlElementStack& stack) {
    if (!passesGate()) {
        return 1;
    }
    if (CMyWire::XMLHandleEndTag(name, text, attributes, parent, stack) != 0) {
        return 1;
    }
    Event event;
    event.start = false;
    event.name = name;
    event.text = text;
    event.ownedText = &text;
    event.parent = parent;
    event.props = &attributes;
    handleEnd(event);
    return 1;
}

// A replayed event meets the same gate and the same wire defaults as a
// parsed one; the defaults need a KPROPS, made only for their few elements.
void CMyGrid::handleEvent(const Event& event) {
    if (!passesGate()) {
        return;
    }
    if (isWireElement(event.name) && wireDefaultHandled(event)) {
        return;
    }
    if (event.start) {
        handleStart(event);
    } else {
        handleEnd(event);
    }
}

bool CMyGrid::wireDefaultHandled(const Event& event) {
    KPROPS attributes(100, 10);
    if (event.views != nullptr) {
        for (const auto& [key, value] : *event.views) {
            attributes.Add(key.toString(), value.toString());
        }
    }
    const QString name = event.name.toString();
    const QString parent = event.parent.toString();
    const XmlElementStack stack;
    if (event.start) {
        return CMyWire::XMLHandleStartTag(name, attributes, parent, stack) != 0;
    }
    return CMyWire::XMLHandleEndTag(name, event.text.trimmed().toString(), attributes, parent,
                                    stack) != 0;
}

void CMyGrid::handleStart(const Event& event) {
    const QStringView name = event.name;
    if (isCellTag(name)) {
        ++m_iXmlCol;
        return;
    }
    if (isRowTag(name)) {
        ++m_iXmlRow;
        m_iXmlCol = 0;
        setRowCountForXml();
        QString holder;
        m_dwRowProperty = GridRowFlagsOf(event.attribute(u"property", holder));
        return;
    }
    if (isColumnTag(name)) {
        m_iXmlCol += 1;
        if (m_iXmlCol >= 1 && m_iXmlCol <= kMaxXmlColumns) {
            m_Columns[static_cast<size_t>(m_iXmlCol)].Clear();
        }
        return;
    }
    if (name == u"headers") {
        if (!ComputePrefKeyBase()) {
            WireServices().PopupMessage(QStringLiteral("Could not deduce a PrefKey for this grid."),
                                        kPopupWarning);
        }
        return;
    }
    if (name == u"grid" || name == u"table") {
        startGrid(event);
        return;
    }
    if (name == u"tree") {
        startDirList(event);
        return;
    }
    if (name == u"item") {
        addDirListItem(event);
    }
}

void CMyGrid::startGrid(const Event& event) {
    QString holder;
    m_strMenuName = menuNameOf(event.attribute(u"menu", holder));
    m_iServerPid = event.attribute(u"pid", holder).toUInt();
    const QStringView dragType = event.attribute(u"drag-type", holder);
    if (!dragType.isEmpty()) {
        SetDragType(dragType.toString());
    }
    // A job that the server's process list holds is cancelled through it;
    // the progress display would send the same cancel request a second time.
    const bool heldByServer =
        m_system != nullptr && m_system->GetServerProcesses().Registrant(m_iServerPid) != nullptr;
    if (m_iServerPid != 0 && !heldByServer) {
        const QString cancelUrl =
            kFormat(u"/cmi/Services?Action=CancelRequest&RequestID=%u", m_iServerPid);
        kDebugLog(u"Setting CancelURL to: %s\n", cancelUrl);
        m_site->Progress().SetCancelURL(cancelUrl);
    }
}

void CMyGrid::feedStart(QStringView name, QStringView parent) {
    Event event;
    event.start = true;
    event.name = name;
    event.parent = parent;
    handleStart(event);
}

void CMyGrid::feedEnd(QStringView name, QStringView text, QStringView parent,
                      const QString* ownedText) {
    Event event;
    event.start = false;
    event.name = name;
    event.text = text;
    event.ownedText = ownedText;
    event.parent = parent;
    handleEnd(event);
}

void CMyGrid::startDirList(const Event& event) {
    QString holder;
    m_iXmlCol = 0;
    m_strMenuName = menuNameOf(event.attribute(u"menu", holder));
    m_strDirListPath = event.attribute(u"path");
    m_iXmlColDirlistName = 1;
    m_dwPropertiesMode = kPropertiesDirList;
    const QStringView dragType = event.attribute(u"drag-type", holder);
    if (!dragType.isEmpty()) {
        SetDragType(dragType.toString());
    }
    feedStart(u"grid-props", u"grid");
    feedEnd(u"num-cols", u"8", u"grid-props");
    feedEnd(u"grid-props", {}, u"grid");
    feedStart(u"headers", u"grid");
    AddColumn(QStringLiteral("name"), QStringLiteral("Name"), QStringLiteral("[L][ICON]"));
    AddColumn(QStringLiteral("size"), QStringLiteral("Size"), QStringLiteral("[BYTES]"));
    AddColumn(QStringLiteral("lastmod-utc"), QStringLiteral("Last Modified"),
              QStringLiteral("[U]"));
    AddColumn(QStringLiteral("mode"), QStringLiteral("Mode"), QStringLiteral("[MODE]"));
    AddColumn(QStringLiteral("owner"), QStringLiteral("Owner"), QStringLiteral("[L]"));
    AddColumn(QStringLiteral("downloadable"), QStringLiteral("downloadable"),
              QStringLiteral("[H]"));
    AddColumn(QStringLiteral("large-file"), QStringLiteral("large-file"), QStringLiteral("[H]"));
    AddColumn(QStringLiteral("URL"), QStringLiteral("URL"), QStringLiteral("[H][PKEY]"));
    feedEnd(u"headers", {}, u"grid");
    feedStart(u"data", u"grid");
    m_fDirlist = true;
    SetGridLineColor(GridColour(kDirListLineColour));
}

void CMyGrid::addDirListItem(const Event& event) {
    const QString treeUrl = event.attribute(u"tree-url");
    const QString gridUrl = event.attribute(u"main-grid-url");
    const QString browserUrl = event.attribute(u"main-browser-url");
    QString label = event.attribute(u"label");
    QString size;
    const bool directory = (event.attribute(u"mode").toLongLong() & FileEntry::kDirectoryMode) != 0;
    if (directory) {
        CMyTree* tree = MySystemSite().WorldViewTree();
        QTreeWidgetItem* selected = tree != nullptr ? tree->GetSelectedItem() : nullptr;
        if (selected != nullptr && label != u".." &&
            tree->FindChildByLabel(label, selected) == nullptr) {
            CMyItem record;
            record.ItemType = kKindDirectory;
            record.ImageIdx = kImageFolderClosed;
            record.SetLabel(label);
            record.PanelParts = kPanelGrid;
            record.TreeURL = treeUrl;
            if (!gridUrl.isEmpty()) {
                record.Parts.Add(QStringLiteral("grid:") + gridUrl, QStringLiteral(" "));
            }
            if (!browserUrl.isEmpty()) {
                record.Parts.Add(QStringLiteral("browser:") + browserUrl, QStringLiteral(" "));
            }
            record.FullPath = event.attribute(u"fullpath");
            tree->InsertItemCopy(selected, nullptr, record);
        }
        label += u'/';
    } else {
        if (!m_strDirListFilter.isEmpty() && m_strDirListFilter != u".*" &&
            !label.contains(m_strDirListFilter)) {
            return;
        }
        size = event.attribute(u"bytes");
    }
    feedStart(u"row", u"data");
    AddCell(label);
    AddCell(size);
    AddCell(event.attribute(u"lastmod-utc"));
    AddCell(event.attribute(u"mode"));
    AddCell(event.attribute(u"owner"));
    AddCell(event.attribute(u"downloadable"));
    AddCell(event.attribute(u"large-file"));
    if (!gridUrl.isEmpty() || !treeUrl.isEmpty() || !browserUrl.isEmpty()) {
        AddCell(!gridUrl.isEmpty() ? gridUrl : !treeUrl.isEmpty() ? treeUrl : browserUrl);
    }
    feedEnd(u"row", {}, u"data");
}

void CMyGrid::handleEnd(const Event& event) {
    const QStringView name = event.name;
    if (isCellTag(name)) {
        if (m_iXmlCol >= 1 && m_iXmlCol <= kMaxXmlColumns) {
            const int gridCol = m_xmlToGridCol[static_cast<size_t>(m_iXmlCol)] - 1;
            if (gridCol >= 0) {
                QString text = m_repeatedTexts.Take(gridCol, event.text, event.ownedText);
                storeCell(m_iXmlRow, gridCol, m_Columns[static_cast<size_t>(m_iXmlCol)], text);
                return;
            }
        }
        kDebugLog(u"row[%d], col[%d] -- no column mapping (have to throw the data away)\n",
                  m_iXmlRow, m_iXmlCol);
        return;
    }
    if (isRowTag(name)) {
        endRow();
    } else if (name == u"data" && m_iXmlRow <= 99) {
        showDuringLoad();
    } else if (isColumnTag(name)) {
        if (m_iXmlCol >= 1 && m_iXmlCol <= kMaxXmlColumns) {
            SetXmlToGridColMap(m_iXmlCol, m_Columns[static_cast<size_t>(m_iXmlCol)].colname);
        }
    } else if (name == u"colname" || name == u"colhead" || name == u"colprops" ||
               name == u"hovertext" || name == u"help-url" || name == u"colwidth") {
        endColumnField(name, event.text.toString());
    } else if (name == u"num-cols") {
        m_sawNumCols = true;
        SetRowCount(1);
        SetColumnCount(qBound(0, event.text.toInt(), kMaxXmlColumns));
        SetFixedRowCount(1);
        SetFixedColumnCount(0);
    } else if (name == u"expected-rows") {
        SetExpectedRows(event.text.toInt());
    } else if (name == u"properties-url") {
        m_strPropertiesURL += event.text;
        m_dwPropertiesMode = kPropertiesURL;
    } else if (name == u"headers") {
        endHeaders();
    } else if (name == u"chunks") {
        endChunks(event);
    } else if (name.startsWith(u"grid") || name == u"table") {
        if (m_created) {
            if (m_fAutoSizeColumns) {
                AutoSizeColumns();
            }
            Refresh();
        }
    } else if (name == u"drag-type") {
        if (!event.text.isEmpty()) {
            SetDragType(event.text.toString());
        }
    } else if (name == u"synch-count-with-tree") {
        m_fSynchRowCountWithTreeItem = event.text.toInt() != 0;
        if (m_fSynchRowCountWithTreeItem) {
            if (CMyTree* tree = MySystemSite().WorldViewTree()) {
                tree->RemoveItemCount(nullptr);
            }
        }
    } else if (name == u"disable_advanced_filters" || name == u"enable_advanced_filters" ||
               name == u"unhide_advanced_filters" || name == u"disable_jobchooser_filters") {
        m_site->ChooserFilterCommand(name.toString(), event.text.toString());
    }
    if (event.parent == u"grid-props") {
        m_GridProperties.Add(name.toString(), event.text.toString());
    }
}

void CMyGrid::endRow() {
    m_dwRowProperty = 0;
    m_site->Progress().Step(1);
    if (m_iXmlRow <= kFittedRows) {
        measureFittedRows();
    }
    if (m_created && (m_iXmlRow == 2 || (m_iXmlRow < 100 && m_iXmlRow % 10 == 0))) {
        showDuringLoad();
    }
}

void CMyGrid::showDuringLoad() {
    if (!m_created) {
        return;
    }
    SetRedraw(true, true);
    RedrawRow(GetRowCount() - 1);
    if (m_fAutoSizeColumns) {
        AutoSizeColumns();
    }
    FitColumnsToText();
    show();
    if (m_turnOpen) {
        SetRedraw(false);
    }
}

void CMyGrid::setRowCountForXml() {
    SetRowCount(m_iXmlRow + 1);
}

void CMyGrid::endColumnField(QStringView name, const QString& text) {
    if (m_iXmlCol < 1 || m_iXmlCol > kMaxXmlColumns) {
        return;
    }
    GridColumn& column = m_Columns[static_cast<size_t>(m_iXmlCol)];
    if (name == u"colname") {
        column.colname = text.toLower();
    } else if (name == u"colhead") {
        column.colhead = text;
    } else if (name == u"colprops") {
        column.AppendProps(text);
    } else if (name == u"hovertext") {
        column.hovertext = text;
        DecodeNewlines(column.hovertext);
    } else if (name == u"help-url") {
        column.helpUrl = text;
    } else {
        column.width = text.toInt();
    }
}

void CMyGrid::endHeaders() {
    for (int n = 1; n <= GetColumnCount() && n <= kMaxXmlColumns; ++n) {
        SetupColumn(n);
    }
    if (m_created && m_fAutoSizeColumns) {
        AutoSizeColumns();
    }
    EqualizeHeaderLines();
}

void CMyGrid::endChunks(const Event& event) {
    CGridNavigator* navigator = m_site->Navigator();
    if (navigator == nullptr) {
        return;
    }
    QString holder;
    const int total = event.attribute(u"numberofentries", holder).toInt();
    const int chunk = event.attribute(u"selectedchunk", holder).toInt();
    const int perChunk = event.attribute(u"numberofentriesperchunk", holder).toInt();
    navigator->SetRange(total, m_site->NavigatorOwner(), chunk, perChunk);
}

void CMyGrid::AddColumn(const QString& colname, const QString& colhead, const QString& colprops) {
    feedStart(u"col", u"headers");
    feedEnd(u"colname", colname, u"col");
    feedEnd(u"colhead", colhead, u"col");
    feedEnd(u"colprops", colprops, u"col");
    feedEnd(u"col", {}, u"headers");
}

void CMyGrid::AddCell(const QString& text) {
    feedStart(u"c", u"r");
    feedEnd(u"c", text, u"r", &text);
}
