#include "tree/contextmenu.h"

#include "framework/klog.h"
#include "tree/contextmenuhost.h"
#include "tree/contextmenuparser.h"
#include "tree/menubusymarker.h"
#include "tree/xmlnumbers.h"
#include "ui/menucommandids.h"

namespace {

// A menu text as FindMenuItemId compares it: lower case, without "&" and "...".
QString comparable(const QString& text, bool dropEllipsis) {
    QString result = text.toLower();
    result.remove(u'&');
    if (dropEllipsis) {
        result.remove(QStringLiteral("..."));
    }
    return result;
}

}  // namespace

CContextMenu::CContextMenu(const QString& name, const CMenuCommandSource* commandIds)
    : m_name(name), m_commandIds(commandIds) {}

CContextMenu::~CContextMenu() = default;

CContextMenuItem& CContextMenu::AddItem() {
    static const CMenuCommandSource noIds;
    m_items.push_back(
        std::make_unique<CContextMenuItem>(m_commandIds != nullptr ? *m_commandIds : noIds));
    return *m_items.back();
}

CContextMenuItem* CContextMenu::FindItem(int commandId) const {
    for (const auto& item : m_items) {
        if (item->GetCommandId() == commandId) {
            return item.get();
        }
    }
    return nullptr;
}

int CContextMenu::FindMenuItemId(const QString& text) const {
    const QString wanted = comparable(text, true);
    if (wanted.isEmpty()) {
        return 0;
    }
    for (const auto& item : m_items) {
        if (XmlDecimal(item->GetAttributes().GetValue(wanted)) != 0) {
            return item->GetCommandId();
        }
        if (item->IsSeparator()) {
            continue;
        }
        if (item->GetAttribute(QStringLiteral("id")).toLower() == wanted ||
            comparable(item->GetAttribute(QStringLiteral("label")), true) == wanted ||
            comparable(item->GetAttribute(QStringLiteral("file")), false) == wanted) {
            return item->GetCommandId();
        }
    }
    return 0;
}

int CContextMenu::PickItem(const QString& text) {
    const int commandId = FindMenuItemId(text);
    return commandId != 0 ? InvokeCommand(commandId) : 0;
}

int CContextMenu::InvokeCommand(int commandId) {
    if (commandId < CMenuCommandIds::kFirstId) {
        ContextMenuHost().RouteCommand(commandId);
        return 1;
    }
    const CContextMenuItem* item = FindItem(commandId);
    if (item == nullptr || item->EvaluateCondition(m_grid, QStringLiteral("hidden-if")) ||
        !item->IsEnabled(m_grid) ||
        item->EvaluateCondition(m_grid, QStringLiteral("disabled-if"))) {
        return 0;
    }
    const CMenuBusyMarker busy;
    ContextMenuHost().InvokeItem(*item, 0, 0, m_grid, m_owner);
    return 1;
}

int CContextMenu::RunItem(int commandId, int commandCode, qintptr extra) {
    if (commandCode != 0 && commandCode != -1) {
        return 0;
    }
    const CMenuBusyMarker busy;
    const CContextMenuItem* item = FindItem(commandId);
    if (item == nullptr) {
        return 0;
    }
    ContextMenuHost().InvokeItem(*item, commandCode, extra, m_grid, m_owner);
    return 1;
}

void CContextMenu::SetOwners(CMenuGridRows* grid, QWidget* owner) {
    m_grid = grid;
    m_owner = owner;
}

CContextMenuSet::CContextMenuSet() = default;

CContextMenuSet::~CContextMenuSet() {
    Clear();
}

QString CContextMenuSet::StripMenuSuffix(const QString& name) {
    const qsizetype suffix = name.indexOf(QStringLiteral(".menu"));
    return suffix < 0 ? name : name.left(suffix);
}

int CContextMenuSet::Load(const QString& xml, const QString& label) {
    CContextMenuParser parser;
    return parser.LoadFromXML(*this, xml, label);
}

CContextMenu* CContextMenuSet::Find(const QString& name) const {
    const auto found = m_menus.find(StripMenuSuffix(name));
    return found != m_menus.end() ? found->second.get() : nullptr;
}

CContextMenu& CContextMenuSet::GetOrCreate(const QString& name) {
    const QString key = StripMenuSuffix(name);
    std::unique_ptr<CContextMenu>& menu = m_menus[key];
    if (menu == nullptr) {
        menu = std::make_unique<CContextMenu>(key, &m_commandIds);
    }
    return *menu;
}

void CContextMenuSet::Erase(const QString& name) {
    m_menus.erase(StripMenuSuffix(name));
}

void CContextMenuSet::Clear() {
    m_menus.clear();
}
