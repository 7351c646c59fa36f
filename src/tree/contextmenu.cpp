#include "tree/contextmenu.h"

#include "framework/klog.h"
#include "tree/contextmenuhost.h"
#include "tree/contextmenuparser.h"
#include "tree/menubusymarker.h"
#include "tree/menugridrows.h"
#include "tree/treetexts.h"
#include "tree/xmlnumbers.h"
#include "ui/menucommandids.h"

#include <QAction>
#include <QMenu>

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

// The grid menu's commands that depend on the selection.
enum GridMenuCommand : unsigned {
    kUserDefined = 32814,
    kProperties = 32836,
    kExportSelected = 32790,
    kExportAll = 32791,
    kCopy = 57634,
    kSelectAll = 57642,
};

QAction* findCommand(const QMenu& menu, unsigned commandId) {
    for (QAction* action : menu.actions()) {
        if (action->data().toUInt() == commandId) {
            return action;
        }
    }
    return nullptr;
}

void greyWhen(const QMenu& menu, unsigned commandId, bool grey) {
    if (QAction* action = findCommand(menu, commandId); action != nullptr && grey) {
        action->setEnabled(false);
    }
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

int CContextMenu::AddXmlDrivenMenuItems(QMenu& popup, CMenuGridRows* grid, QWidget* owner) {
    kDebugLog(u"AddXmlDrivenMenuItems()...\n");
    const bool gridMenu = owner != nullptr && ContextMenuHost().ContextOf(owner) == u'G';
    // A menu of the World View pane acts on no grid rows.
    CMenuGridRows* rows = gridMenu ? grid : nullptr;
    const int selectedRows = rows != nullptr ? rows->GetSelectedRowCount() : 0;
    SetOwners(rows, owner);

    // Where the entries go: a grid menu's "User-defined" placeholder, else the top.
    QAction* before = popup.actions().isEmpty() ? nullptr : popup.actions().front();
    if (gridMenu) {
        QAction* placeholder = findCommand(popup, kUserDefined);
        before = nullptr;
        if (placeholder != nullptr) {
            const qsizetype index = popup.actions().indexOf(placeholder);
            before = index + 1 < popup.actions().size() ? popup.actions().at(index + 1) : nullptr;
            popup.removeAction(placeholder);
            delete placeholder;
        }
    }
    const bool propertiesShown = gridMenu && ContextMenuHost().IsPropertiesPaneShown();
    const CContextMenuItem* propertiesItem =
        rows != nullptr ? FindItem(rows->GetPropertiesMenuItem()) : nullptr;
    const QString propertiesFile = propertiesItem != nullptr
                                       ? propertiesItem->GetAttribute(QStringLiteral("file"))
                                       : QString();

    bool ownProperties = false;
    bool altEnterMarked = false;
    bool lastWasSeparator = true;
    bool anyProcessed = false;
    for (std::size_t index = 0; index < m_items.size(); ++index) {
        const CContextMenuItem& item = *m_items[index];
        anyProcessed = true;
        const QString label = item.GetAttribute(QStringLiteral("label"));
        if (item.GetAttribute(QStringLiteral("id")).toLower() == u"properties") {
            ownProperties = true;
        }
        if (XmlDecimal(item.GetAttribute(QStringLiteral("alt-enter"))) != 0) {
            altEnterMarked = true;
        }
        if (item.IsSeparator()) {
            kDebugLog(u":: [%02u] %.25s\n", static_cast<unsigned>(index),
                      u"-------------------------");
            if (lastWasSeparator) {
                kDebugLog(u"::      removed redundant separator\n");
                continue;
            }
            QAction* separator = new QAction(&popup);
            separator->setSeparator(true);
            popup.insertAction(before, separator);
            lastWasSeparator = true;
            continue;
        }
        kDebugLog(u":: [%02u] %-25s\n", static_cast<unsigned>(index), label);
        if (item.EvaluateCondition(rows, QStringLiteral("hidden-if"))) {
            continue;
        }
        const bool greyed =
            !item.IsEnabled(rows) || item.EvaluateCondition(rows, QStringLiteral("disabled-if"));
        const bool checked = gridMenu && item.HasPropertiesAction() && propertiesShown &&
                             propertiesItem != nullptr &&
                             item.GetAttribute(QStringLiteral("file")) == propertiesFile;
        if (greyed) {
            kDebugLog(u"::      [disabled]\n");
        }
        if (checked) {
            kDebugLog(u"::      [checked]\n");
        }
        auto* action = new QAction(label + item.GetAccelLabel(), &popup);
        action->setData(static_cast<unsigned>(item.GetCommandId()));
        action->setEnabled(!greyed);
        action->setCheckable(checked);
        action->setChecked(checked);
        popup.insertAction(before, action);
        lastWasSeparator = false;
    }

    if (gridMenu) {
        if (anyProcessed && !lastWasSeparator) {
            auto* separator = new QAction(&popup);
            separator->setSeparator(true);
            popup.insertAction(before, separator);
        }
        if (!ownProperties) {
            QString text = TranslatedResourceString(506);
            if (!altEnterMarked) {
                text += LookupText(QStringLiteral("\tAlt+Enter"));
            }
            auto* properties = new QAction(text, &popup);
            properties->setData(static_cast<unsigned>(kProperties));
            const bool current = propertiesShown && propertiesItem == nullptr;
            properties->setCheckable(current);
            properties->setChecked(current);
            popup.insertAction(before, properties);
            auto* separator = new QAction(&popup);
            separator->setSeparator(true);
            popup.insertAction(before, separator);
        }
        const int wholeRows = rows != nullptr ? rows->GetCellRangeRowCount() : 0;
        greyWhen(popup, kExportSelected, selectedRows == 0);
        greyWhen(popup, kCopy, selectedRows == 0);
        greyWhen(popup, kProperties, selectedRows != 1);
        greyWhen(popup, kSelectAll, wholeRows <= 1);
        greyWhen(popup, kExportAll, wholeRows <= 1);
    }
    return 1;
}
