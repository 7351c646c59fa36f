#include "tree/menuitemhandler.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/kprops.h"
#include "net/wireservices.h"
#include "settings/urlcoding.h"
#include "tree/contextmenuhost.h"
#include "tree/contextmenuitem.h"
#include "tree/menugridrows.h"
#include "tree/treetexts.h"
#include "tree/xmlnumbers.h"
#include "ui/popupmessages.h"
#include "ui/popuptype.h"
#include "ui/uiservices.h"

namespace {

constexpr QStringView kActionPrefix = u"action";

}  // namespace

int CContextMenuItem::Invoke(int commandId, int callerArgument, qintptr third, CMenuGridRows* grid,
                             QWidget* owner) const {
    if (callerArgument != 0) {
        return 0;
    }
    const CMenuInvocation invocation{this, commandId, callerArgument, third, grid, owner};
    return CMenuItemHandler::InvokeHandler(invocation, ContextMenuHost().ContextOf(owner));
}

void CMenuItemHandler::BuildActionList(const CContextMenuItem& item, const CMenuGridRows* grid,
                                       KPROPS& actions) {
    const KPROPS& attributes = item.GetAttributes();
    const bool dateTime = !item.GetAttribute(QStringLiteral("client-datetime-info")).isEmpty();
    // Any number identifies the entry to the runner: its command id does.
    const QString identity = kFormat(u"%lu", static_cast<unsigned long>(item.GetCommandId()));
    const QString file = item.GetAttribute(QStringLiteral("file"));
    int counter = 0;
    for (int i = 0; i < attributes.Count(); ++i) {
        if (!attributes.GetNameAt(i).startsWith(kActionPrefix)) {
            continue;
        }
        QString errorText;
        QString action = item.ExpandColRefs(attributes.GetValueAt(i), grid, errorText);
        if (dateTime) {
            ContextMenuHost().AddDateTimeParams(action);
        }
        actions.Add(kFormat(u"mitem%02d", ++counter), action, identity, file);
    }
}

int CMenuItemHandler::InvokeHandler(const CMenuInvocation& invocation, char16_t context) {
    kDebugLog(u"CMenuItemHandler::InvokeHandler from Context=%d...\n", static_cast<int>(context));
    const CContextMenuItem& item = *invocation.item;
    CContextMenuHost& host = ContextMenuHost();
    CMenuGridRows* grid = host.MainGrid();
    if (item.GetAttribute(QStringLiteral("custom-action")) == u"REDISCOVER") {
        if (grid != nullptr) {
            grid->SaveColumnPrefs();
        }
        return rediscover(item, context, grid);
    }
    if (grid != nullptr) {
        if (!grid->IsDetailHidden() && host.IsPropertiesPaneShown() &&
            grid->GetPropertiesMenuItem() == item.GetCommandId() && !grid->IsOpeningProperties()) {
            kDebugLog(u"!!!!!!!MenuItemHandler::InvokeHandler Hide details IS CALLED!!!!...\n");
            host.CloseProperties();
            grid->SetPropertiesMenuItem(0);
            return 1;
        }
        grid->ClearDetailHidden();
    }
    KPROPS actions(100, 10);
    BuildActionList(item, grid, actions);
    if (actions.Count() == 0) {
        WireServices().PopupMessage(
            QStringLiteral("MenuItemHandler: <menu-item> has no actionN='...' attributes."),
            kPopupError);
        return 0;
    }
    if (grid != nullptr && item.HasPropertiesAction()) {
        grid->SetPropertiesMenuItem(item.GetCommandId());
    }
    return host.RunActions(actions, context) == 1 ? 1 : 0;
}

int CMenuItemHandler::rediscover(const CContextMenuItem& item, char16_t context,
                                 const CMenuGridRows* grid) {
    CContextMenuHost& host = ContextMenuHost();
    // Grid menus belong to the right-hand view that shows the grid.
    if (context != u'G' || grid == nullptr) {
        WireServices().PopupMessage(TranslatedResourceString(551), kPopupError);
        return 0;
    }
    const QString suffix =
        kFormat(u"&Selected=%s", grid->GetSelectedRowsByColProp(QStringLiteral("[PKEY]"), u","_qs));
    QString requestsUrl = item.GetAttribute(QStringLiteral("rediscover-reqs-url"));
    QString actionUrl = item.GetAttribute(QStringLiteral("rediscover-url"));
    if (XmlDecimal(item.GetAttribute(QStringLiteral("with-rules"))) != 0) {
        host.SetStatusText(
            LookupText(QStringLiteral("Prompting for discover rules file on server...")));
        QString chosen;
        if (!host.SelectFile(QStringLiteral("RediscoverSelectFile"), QStringLiteral("$KJ_HOME"),
                             chosen)) {
            return 1;
        }
        // The path goes into a query: escaped, so it adds no parameters.
        actionUrl += QStringLiteral("&RulesFile=") + EncodeForURL(chosen);
    }
    requestsUrl += suffix;
    actionUrl += suffix;
    host.SetStatusText(LookupText(QStringLiteral("Attempting rediscover on server...")));
    host.RunReDiscoverDialog(requestsUrl, actionUrl);
    return 1;
}
