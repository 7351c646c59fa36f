#include "tree/itemattributes.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/kprops.h"
#include "settings/urlcoding.h"
#include "tree/treeimages.h"
#include "tree/treetexts.h"
#include "tree/xmlnumbers.h"

#include <array>

namespace {

bool HasAttribute(const KPROPS& attributes, const QString& name) {
    return attributes.FindIndex(name, true) >= 0;
}

int KindOf(const QString& itemType, const QString& element, bool underServer) {
    struct KindName {
        QStringView name;
        ItemKind kind;
    };
    static constexpr std::array<KindName, 4> kKinds{{
        {u"root", kKindRoot},
        {u"folder", kKindFolder},
        {u"system", kKindSystem},
        {u"dirlist", kKindDirectory},
    }};
    for (const KindName& kind : kKinds) {
        if (itemType == kind.name) {
            return kind.kind;
        }
    }
    if (element == u"folder" && !underServer) {
        return kKindFolder;
    }
    return kKindComponent;
}

void SetPanelType(CMyItem& item, QString panelType, bool folderElement) {
    if (panelType.isEmpty()) {
        panelType = QStringLiteral("browser");
    }
    if (panelType == u"grid") {
        item.PanelParts = kPanelGrid;
    } else if (panelType == u"list") {
        item.PanelParts = kPanelList;
    } else if (panelType == u"browser") {
        item.PanelParts = kPanelBrowser;
    } else if (folderElement) {
        item.PanelParts = kPanelList;
    } else if (panelType == u"ELEMENT_CHOOSER") {
        item.PanelParts = kPanelDialog | kPanelGrid;
        item.PanelDialog = kDialogElementChooser;
    } else {
        kDebugLog(u"XML-DATA-ERROR: UNKNOWN panel-type='%s'\n", panelType);
        item.PanelParts = kPanelList;
    }
}

// The directory named after "&Dir=" is sent encoded, up to the next "&".
QString TreeUrlWithEncodedDir(QString url) {
    static const QString kDir = QStringLiteral("&Dir=");
    const qsizetype start = url.indexOf(kDir);
    if (start < 0) {
        return url;
    }
    const qsizetype valueStart = start + kDir.size();
    qsizetype valueEnd = url.indexOf(u'&', valueStart);
    if (valueEnd < 0) {
        valueEnd = url.size();
    }
    const QString encoded =
        EncodeForURL(QStringView(url).sliced(valueStart, valueEnd - valueStart));
    return url.replace(valueStart, valueEnd - valueStart, encoded);
}

void AddPanelParts(CMyItem& item, const KPROPS& attributes, const QString& gridUrl,
                   const QString& browserUrl) {
    item.Parts.AddGridPart(gridUrl);
    item.Parts.AddBrowserPart(browserUrl);
    // Most items have no tabs: their attribute names are made only when an
    // attribute may be one.
    bool mayHaveTabs = false;
    for (int i = 0; i < attributes.Count() && !mayHaveTabs; ++i) {
        mayHaveTabs = attributes.At(i)->name.startsWith(u"tab", Qt::CaseInsensitive);
    }
    // Tabs are numbered from 1; the first missing number ends them.
    for (int n = 1; mayHaveTabs; ++n) {
        const QString tab = QStringLiteral("tab") + QString::number(n);
        const QString curl = Attribute(attributes, tab + QStringLiteral("-curl"));
        if (curl.isEmpty()) {
            break;
        }
        const QString label = Attribute(attributes, tab + QStringLiteral("-label"));
        item.Parts.AddPart(curl, label);
    }
}

// The attributes a record is read from.
enum class Read {
    Id,
    SmartDelim,
    SmartMax,
    SmartRepeat,
    SmartSuffix,
    Refresh,
    Count,
    ItemType,
    Icon,
    PanelType,
    Url,
    MainGridUrl,
    MainBrowserUrl,
    TreeUrl,
    Label,
    Tx,
    FullPath,
    Mode,
    Bytes,
    LastModified,
    Owner,
    HelpUrl,
    HoverText,
    Menu,
    DragType,
};
constexpr std::array<QStringView, 25> kReadNames{
    u"id",        u"smart-delim", u"smart-max",     u"smart-repeat",     u"smart-suffix",
    u"refresh",   u"count",       u"item-type",     u"icon",             u"panel-type",
    u"url",       u"main-grid-url", u"main-browser-url", u"tree-url",   u"label",
    u"tx",        u"fullpath",    u"mode",          u"bytes",            u"lastmod-utc",
    u"owner",     u"help-url",    u"hovertext",     u"menu",             u"drag-type",
};
static_assert(static_cast<size_t>(Read::DragType) + 1 == kReadNames.size());

// The values of the attributes a record is read from, found in one pass
// over the element's few attributes instead of a search per name: a
// large reply reads thousands of records. A name matches without case, and
// the first of its case variants counts, as Attribute() finds it.
class ReadValues {
public:
    explicit ReadValues(const KPROPS& attributes) {
        std::array<bool, kReadNames.size()> found{};
        for (int i = 0; i < attributes.Count(); ++i) {
            const KPROP* entry = attributes.At(i);
            for (size_t n = 0; n < kReadNames.size(); ++n) {
                if (!found[n] && entry->name.size() == kReadNames[n].size() &&
                    entry->name.compare(kReadNames[n], Qt::CaseInsensitive) == 0) {
                    found[n] = true;
                    m_values[n] = entry->value;
                    break;
                }
            }
        }
    }
    const QString& operator[](Read name) const { return m_values[static_cast<size_t>(name)]; }

private:
    std::array<QString, kReadNames.size()> m_values;
};

}  // namespace

QString Attribute(const KPROPS& attributes, const QString& name) {
    return attributes.GetValue(name, true);
}

std::unique_ptr<CMyItem> ParseItemAttributes(const QString& element, const KPROPS& attributes,
                                             bool underServer) {
    const ReadValues values(attributes);
    auto item = std::make_unique<CMyItem>();
    item->Attributes.Merge(&attributes);
    item->ID = values[Read::Id];
    item->SmartDelim = values[Read::SmartDelim];
    item->SmartMax = XmlDecimal(values[Read::SmartMax]);
    item->SmartRepeat = XmlDecimal(values[Read::SmartRepeat]);
    item->SmartSuffix = values[Read::SmartSuffix];
    item->RefreshSecs = XmlDecimal(values[Read::Refresh]);
    const QString& count = values[Read::Count];
    item->Count = count.isEmpty() ? -1 : XmlDecimal(count);

    const bool folderElement = element == u"folder";
    item->ItemType = KindOf(values[Read::ItemType], element, underServer);
    const QString& icon = values[Read::Icon];
    bool unknownIcon = false;
    item->ImageIdx = TreeImageForIcon(icon, folderElement, unknownIcon);
    if (unknownIcon && !folderElement) {
        kDebugLog(u"XML-DATA-ERROR: UNKNOWN icon='%s'\n", icon);
    }
    SetPanelType(*item, values[Read::PanelType], folderElement);

    const QString& url = values[Read::Url];
    const QString& gridUrl = values[Read::MainGridUrl];
    QString browserUrl = values[Read::MainBrowserUrl];
    if (!url.isEmpty() && browserUrl.isEmpty() && url != gridUrl) {
        browserUrl = url;
    }
    const QString& treeUrl = values[Read::TreeUrl];
    if (!treeUrl.isEmpty()) {
        item->PanelParts |= kPanelList;
    }
    if (!gridUrl.isEmpty()) {
        item->PanelParts |= kPanelGrid;
    }
    if (!browserUrl.isEmpty()) {
        item->PanelParts |= kPanelBrowser;
    }

    QString label = values[Read::Label];
    if (XmlDecimal(values[Read::Tx]) != 0) {
        label = TranslateLabel(label);
    }
    item->SetLabel(label);

    item->TreeURL = TreeUrlWithEncodedDir(treeUrl);
    item->FullPath = values[Read::FullPath];
    item->File.Mode = static_cast<quint32>(XmlDecimal64(values[Read::Mode]));
    item->File.Bytes = static_cast<quint32>(XmlDecimal64(values[Read::Bytes]));
    item->File.LastModified = XmlDecimal64(values[Read::LastModified]);
    item->File.Owner = values[Read::Owner].left(FileEntry::kMaxOwner);

    AddPanelParts(*item, attributes, gridUrl, browserUrl);
    if (item->Parts.Count() == 0 || item->GetLabel() == u"System Information") {
        item->PanelParts = kPanelList;
    }

    item->SetHelpURL(values[Read::HelpUrl]);
    item->SetHoverText(values[Read::HoverText]);
    item->SetMenuName(values[Read::Menu]);
    const QString& dragType = values[Read::DragType];
    if (!dragType.isEmpty()) {
        item->SetDragType(dragType);
    }
    return item;
}

namespace {

template <typename T>
void TakeWhenSet(T& target, const T& value, const T& unset) {
    if (value != unset) {
        target = value;
    }
}

// The positions (from 1) of the joined panel parts that the template's and
// the parsed record's attributes rule out.
std::array<bool, 7> DroppedPositions(const CMyItem& base, const CMyItem& parsed) {
    std::array<bool, 7> dropped{};
    dropped[2] = HasAttribute(base.Attributes, QStringLiteral("HasManageUserPerm"));
    dropped[3] = HasAttribute(base.Attributes, QStringLiteral("fe"));
    const bool remote = HasAttribute(parsed.Attributes, QStringLiteral("remote"));
    dropped[5] = remote;
    dropped[6] = remote || HasAttribute(parsed.Attributes, QStringLiteral("AllGroupAccess"));
    return dropped;
}

QString WithContextMenu(QString name, const QString& contextMenu) {
    static const QString kKey = QStringLiteral("ContextMenu");
    const qsizetype start = name.indexOf(kKey);
    if (contextMenu.isEmpty() || start < 0) {
        return name;
    }
    qsizetype end = name.indexOf(u'&', start);
    if (end < 0) {
        end = name.size();
    }
    return name.replace(start, end - start, kKey + u'=' + contextMenu);
}

void MergePanelParts(CMyItem& result, const CMyItem& base, const CMyItem& parsed) {
    const std::array<bool, 7> dropped = DroppedPositions(base, parsed);
    const QString id = parsed.ID;
    const qsizetype at = id.indexOf(u'@');
    const QString group = (at < 0 ? id : id.left(at)).trimmed();
    const QString machine = (at < 0 ? QString() : id.mid(at + 1)).trimmed();
    const auto substitute = [&](QString text) {
        text.replace(QStringLiteral("GROUP_ID_TO_REPLACE"), group);
        text.replace(QStringLiteral("MACHINE_ID_TO_REPLACE"), machine);
        return text;
    };
    const QString contextMenu = base.Attributes.GetValue(QStringLiteral("ContextMenu"), true);

    result.Parts.Clear();
    int position = 0;
    for (const KPROPS* list : {&base.Parts, &parsed.Parts}) {
        for (int i = 0; i < list->Count(); ++i) {
            ++position;
            if (position < static_cast<int>(dropped.size()) &&
                dropped[static_cast<size_t>(position)]) {
                continue;
            }
            const KPROP* part = list->At(i);
            QString name = substitute(part->name);
            if (position == 1) {
                name = WithContextMenu(name, contextMenu);
            }
            result.Parts.Add(name, substitute(part->value), substitute(part->extra1),
                             substitute(part->extra2));
        }
    }
}

}  // namespace

std::unique_ptr<CMyItem> MergeBaseAttributes(const CMyItem& base, const CMyItem& parsed) {
    auto result = std::make_unique<CMyItem>(base);
    TakeWhenSet(result->ID, parsed.ID, QString());
    TakeWhenSet(result->ItemType, parsed.ItemType, static_cast<int>(kKindUnclassified));
    TakeWhenSet(result->ImageIdx, parsed.ImageIdx, 0);
    if (result->ImageIdx == 0) {
        result->ImageIdx = kImageGrid;
    }
    TakeWhenSet(result->PanelParts, parsed.PanelParts, quint64{0});
    TakeWhenSet(result->PanelDialog, parsed.PanelDialog, 0);
    TakeWhenSet(result->SelectedTab, parsed.SelectedTab, 0);
    TakeWhenSet(result->TreeURL, parsed.TreeURL, QString());
    TakeWhenSet(result->FullPath, parsed.FullPath, QString());
    if (parsed.File.Mode != 0) {
        result->File = parsed.File;
    }
    TakeWhenSet(result->SmartDelim, parsed.SmartDelim, QString());
    TakeWhenSet(result->SmartMax, parsed.SmartMax, 0);
    TakeWhenSet(result->SmartRepeat, parsed.SmartRepeat, 0);
    TakeWhenSet(result->SmartSuffix, parsed.SmartSuffix, QString());
    TakeWhenSet(result->SmartFolder, parsed.SmartFolder, 0);
    TakeWhenSet(result->RefreshSecs, parsed.RefreshSecs, 0);
    TakeWhenSet(result->Count, parsed.Count, -1);
    if (!parsed.GetDragType().isEmpty()) {
        result->SetDragType(parsed.GetDragType());
    }
    result->SetMenuName(parsed.GetMenuName());

    result->SetLabel(parsed.GetLabel());
    result->SetHelpURL(parsed.GetHelpURL());
    result->SetHoverText(parsed.GetHoverText());
    result->Attributes.Merge(&parsed.Attributes);
    MergePanelParts(*result, base, parsed);
    return result;
}
