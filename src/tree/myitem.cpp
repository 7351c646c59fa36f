#include "tree/myitem.h"

#include <atomic>

namespace {

// Ids start at 1 so that 0 can mean "no item" wherever an id is exchanged.
quint32 NextItemId() {
    static std::atomic<quint32> next{1};
    quint32 id = next.fetch_add(1, std::memory_order_relaxed);
    while (id == 0) {
        id = next.fetch_add(1, std::memory_order_relaxed);
    }
    return id;
}

QString WithoutMenuSuffix(QString name) {
    return name.remove(QStringLiteral(".menu"));
}

void ReplaceList(KPROPS& target, const KPROPS& source) {
    target.Clear();
    target.Merge(&source);
}

}  // namespace

CMyItem::CMyItem() : m_itemId(NextItemId()) {}

CMyItem::CMyItem(const CMyItem& other) : m_itemId(NextItemId()) {
    CopyFrom(other);
}

CMyItem::~CMyItem() = default;

std::unique_ptr<CMyItem> CMyItem::Clone() const {
    return std::make_unique<CMyItem>(*this);
}

void CMyItem::CopyFrom(const CMyItem& other) {
    if (&other == this) {
        return;
    }
    ID = other.ID;
    ItemType = other.ItemType;
    ImageIdx = other.ImageIdx;
    SetLabel(other.m_label);
    ReplaceList(Parts, other.Parts);
    SelectedTab = other.SelectedTab;
    PanelParts = other.PanelParts;
    PanelDialog = other.PanelDialog;
    TreeURL = other.TreeURL;
    FullPath = other.FullPath;
    File = other.File;
    SmartDelim = other.SmartDelim;
    SmartMax = other.SmartMax;
    SmartRepeat = other.SmartRepeat;
    SmartSuffix = other.SmartSuffix;
    SmartFolder = other.SmartFolder;
    RefreshSecs = other.RefreshSecs;
    ReplaceList(Attributes, other.Attributes);
    Count = other.Count;
    m_helpURL = other.m_helpURL;
    m_hoverText = other.m_hoverText;
    m_menuName = WithoutMenuSuffix(other.m_menuName);
    m_dragType = other.m_dragType;
}

void CMyItem::SetLabel(const QString& label) {
    m_label = label.left(kMaxLabel);
}

bool CMyItem::HasContent() const {
    return !TreeURL.isEmpty() || Parts.Count() > 0;
}

void CMyItem::SetHoverText(const QString& text) {
    m_hoverText = text;
    m_hoverText.replace(QStringLiteral("%0a"), QStringLiteral("\n"));
    m_hoverText.replace(QStringLiteral("%0d"), QStringLiteral("\r"));
}

void CMyItem::SetMenuName(const QString& name) {
    if (!name.isEmpty()) {
        m_menuName = name;
    }
    m_menuName = WithoutMenuSuffix(m_menuName);
}

int CMyItem::SmartLevels() const {
    return SmartMax <= 0 || SmartMax > kMaxSmartLevels ? kMaxSmartLevels : SmartMax;
}

CSystemItem::CSystemItem() : m_system(std::make_unique<CServerConnection>()) {
    ItemType = kKindSystem;
}

CSystemItem::CSystemItem(const CMyItem& item, const CServerConnection& connection)
    : CMyItem(item), m_system(connection.Clone()) {}

CSystemItem::CSystemItem(const CSystemItem& other)
    : CMyItem(other), m_system(other.m_system->Clone()) {}

// The connection goes first, then the item part, as the record owns it.
CSystemItem::~CSystemItem() {
    m_system.reset();
}

std::unique_ptr<CMyItem> CSystemItem::Clone() const {
    return std::make_unique<CSystemItem>(*this);
}

CServerConnection* ConnectionOf(const CMyItem* item) {
    const auto* server = dynamic_cast<const CSystemItem*>(item);
    return server != nullptr ? server->GetSystem() : nullptr;
}
