#include "app/actioninterpreter.h"

#include "app/actions.h"
#include "app/actionwindows.h"
#include "app/theapp.h"
#include "framework/klog.h"
#include "framework/ktext.h"
#include "settings/urlcoding.h"
#include "ui/busycursor.h"

#include <QTreeWidget>

#include <map>

CActionInterpreter::CActionInterpreter(CTheApp& app) : m_app(app) {}

// ---- routing ----

int CActionInterpreter::DispatchCurl(CActionContext& context, quint64* ticket) {
    if (ticket != nullptr) {
        *ticket = 0;
    }
    QString lower = context.command;
    kstrlwr(lower);
    // These open windows: they run at once, on the UI thread.
    if (lower.contains(u"launchbrowser:") || lower.contains(u"launchdiscover:") ||
        lower.contains(u"fieldchooser")) {
        int result = 0;
        if (m_app.Bridge().onUiThread()) {
            const CBusyCursor busy;
            return CurlPath(context);
        }
        if (!onUi([&] {
                const CBusyCursor busy;
                result = CurlPath(context);
            })) {
            kDebugLog(u"DispatchCurl: '%s' refused.\n", context.command);
        }
        return result;
    }
    return m_app.Actions().AddAction(context, ticket);
}

// ---- interpreter entry ----

namespace {

// The action as the debug log may show it: a login's password is masked.
QString loggable(const QString& action) {
    const qsizetype login = action.indexOf(u"login=", 0, Qt::CaseInsensitive);
    const qsizetype slash = login < 0 ? -1 : action.indexOf(u'/', login);
    return slash < 0 ? action : action.left(slash + 1) + QStringLiteral("****");
}

}  // namespace

int CActionInterpreter::CurlPath(CActionContext& context) {
    kDebugLog(u"CURLING: %s\n", loggable(context.command));
    if (m_pageSubmitGuard.load()) {
        return kActionRefused;
    }
    QString text = context.command;
    if (text.startsWith(u"curl:")) {
        text.remove(0, 5);
    }
    const bool fromRoot = text.startsWith(u"//") || text.startsWith(u"||");
    if (fromRoot) {
        text.remove(0, 2);
    }
    text = DecodeFromURL(text);
    while (text.endsWith(u'/')) {
        text.chop(1);
    }
    text = expandGridReferences(text);

    const QString given = context.command;
    context.command = text;
    const int result = RunCommand(context);
    context.command = given;
    // Only text that no command knows is a path: a command that failed must
    // not run again as a path (a failed login would log in twice and write
    // its password into the log).
    if (result != kActionUnknown) {
        return result;
    }
    walkTreePath(text, fromRoot);
    return kActionDone;
}

QString CActionInterpreter::expandGridReferences(const QString& text) {
    if (!text.contains(u"${")) {
        return text;
    }
    bool hasGrid = false;
    onUi([&] { hasGrid = m_app.ActionWindows().HasGrid(); });
    if (!hasGrid) {
        return text;
    }
    // One pass: the scan goes on after each inserted value, so a value that
    // itself holds "${...}" is never expanded again.
    QString expanded = text;
    std::map<QString, QString> values;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = expanded.indexOf(u"${", from);
        if (open < 0) {
            break;
        }
        const qsizetype close = expanded.indexOf(u'}', open + 2);
        if (close < 0) {
            break;
        }
        const QString column = expanded.mid(open + 2, close - open - 2);
        auto found = values.find(column);
        if (found == values.end()) {
            QString value;
            onUi([&] {
                value =
                    m_app.ActionWindows().GridSelectedRowsByColName(column, QStringLiteral(","));
            });
            while (value.startsWith(u',')) {
                value.remove(0, 1);
            }
            found = values.emplace(column, value).first;
        }
        expanded.replace(open, close - open + 1, found->second);
        from = open + found->second.size();
    }
    return expanded;
}

// ---- tree path walk ----

void CActionInterpreter::walkTreePath(const QString& text, bool fromRoot) {
    QString path = text;
    webgoop(path);
    QStringList components;
    kParseDelimedList(path, components, 50, u'|', true);

    bool found = false;
    quint32 current = 0;
    onUi([&] {
        CMyTree& tree = m_app.Tree();
        if (QTreeWidgetItem* whole = tree.FindItemByPath(components)) {
            tree.SelectItem(whole, false);
            tree.EnsureVisible(whole);
            found = true;
            return;
        }
        QTreeWidgetItem* start =
            fromRoot ? tree.GetRootItem() : tree.FindSystemItem(tree.GetSelectedItem());
        const CMyItem* record = start != nullptr ? tree.GetMyItem(start) : nullptr;
        current = record != nullptr ? record->GetItemId() : 0;
    });
    if (found) {
        return;
    }
    for (const QString& component : std::as_const(components)) {
        if (m_app.IsAbortedThread()) {
            kDebugLog(u"Tree walk stopped: the action is being aborted.\n");
            return;
        }
        if (!component.isEmpty() && !walkComponent(component, text, current)) {
            return;
        }
    }
}

bool CActionInterpreter::walkComponent(const QString& component, const QString& text,
                                       quint32& current) {
    const qsizetype colon = component.indexOf(u':');
    const QString label = colon < 0 ? component : component.left(colon);
    QString actionList = colon < 0 ? QStringLiteral("select") : component.mid(colon + 1);
    kstrlwr(actionList);
    QStringList actions;
    kParseDelimedList(actionList, actions, 5, u',', true);

    CActionContext labelContext;
    labelContext.command = label;
    if (RunCommand(labelContext) != kActionDone) {
        bool moved = false;
        onUi([&] {
            CMyTree& tree = m_app.Tree();
            // The tree reads a null item as the selected one: here it is none.
            QTreeWidgetItem* item = current != 0 ? tree.FindItemById(current) : nullptr;
            if (label == u"..") {
                item = item != nullptr ? tree.GetParentItem(item) : nullptr;
            } else if (label != u"this") {
                item = tree.FindItemByName(label, item);
            }
            const CMyItem* record = item != nullptr ? tree.GetMyItem(item) : nullptr;
            moved = record != nullptr;
            if (moved) {
                current = record->GetItemId();
            }
        });
        if (!moved) {
            if (inScriptMode()) {
                scriptError(kFormat(u"Could not find tree item: %s", label));
            }
            return false;
        }
        for (const QString& action : std::as_const(actions)) {
            CActionContext actionContext;
            actionContext.command = action;
            actionContext.itemId = current;
            if (RunCommand(actionContext) != kActionDone && !selectForced(label, text, current)) {
                return false;
            }
        }
    }
    if (component.startsWith(u'R') && text.startsWith(u'A')) {
        // A served page's Apply then Refresh keeps the grid's selection.
        onUi([this] { m_app.ActionWindows().GridSetReselectAfterLoad(); });
    }
    return true;
}

bool CActionInterpreter::selectForced(const QString& label, const QString& text, quint32 item) {
    bool selected = false;
    onUi([&] {
        CPreferences& prefs = m_app.Prefs();
        // These choose the tab that the item's tab strip opens on.
        if (label == u"JobHistory") {
            prefs.SetInt(QStringLiteral("tab:JobHistory"), 2);
        } else if (label == u"EditView") {
            prefs.SetInt(QStringLiteral("tab:ViewGroup"), 1);
        } else if (label == u"SystemLog" && text.contains(u"SystemLog|search=")) {
            prefs.SetInt(QStringLiteral("tab:SystemLog"), 2);
        }
        CMyTree& tree = m_app.Tree();
        QTreeWidgetItem* target = tree.FindItemById(item);
        selected = target != nullptr && tree.SelectItem(target, true) != 0;
        if (selected) {
            tree.EnsureVisible(target);
        }
    });
    if (!selected && inScriptMode()) {
        scriptError(kFormat(u"Could not select tree item: %s", label));
    }
    return selected;
}

// ---- helpers ----

bool CActionInterpreter::onUi(const std::function<void()>& work) {
    if (m_app.Bridge().onUiThread()) {
        work();
        return true;
    }
    if (CActions::IsAbandonedThread()) {
        kWarningLog(u"CActionInterpreter: a window call of an abandoned action worker refused.\n");
        return false;
    }
    return m_app.Bridge().Call([&work] {
        work();
        return qintptr{0};
    });
}

QTreeWidgetItem* CActionInterpreter::itemOf(quint32 itemId) const {
    CMyTree& tree = m_app.Tree();
    return itemId == 0 ? tree.GetSelectedItem() : tree.FindItemById(itemId);
}

bool CActionInterpreter::itemIsGone(quint32 itemId) {
    if (itemId == 0) {
        return false;
    }
    bool gone = true;
    onUi([&] { gone = m_app.Tree().FindItemById(itemId) == nullptr; });
    return gone;
}

bool CActionInterpreter::inScriptMode() const {
    return (m_app.ActionRunFlags() & 1U) != 0;
}

int CActionInterpreter::scriptError(const QString& text) {
    if (CActions::IsAbandonedThread()) {
        kWarningLog(u"Script error of an abandoned action worker: %s\n", text);
        return 0;
    }
    return m_app.ScriptError(text);
}

int CActionInterpreter::box(const QString& text, int type) {
    if (CActions::IsAbandonedThread()) {
        kWarningLog(u"Box of an abandoned action worker refused: %s\n", text);
        return 0;
    }
    switch (type) {
        case kPopupError:
            return m_app.ErrorBox(text);
        case kPopupWarning:
            return m_app.WarningBox(text);
        case kPopupOkCancel:
            return m_app.OkCancelBox(text);
        case kPopupYesNo:
            return m_app.YesNoBox(text);
        default:
            return m_app.PopupMessage(text, type);
    }
}

int CActionInterpreter::errorBox(const QString& text) {
    return box(text, kPopupError);
}

QString CActionInterpreter::withParameters(const QString& url, const CActionContext& context) {
    QString built = url;
    if (!built.contains(u"&Selected=")) {
        built += context.selected;
    }
    if (!built.contains(u"&Target=")) {
        built += context.target;
    }
    return built + context.extra;
}

bool CActionInterpreter::gridUsable() {
    bool usable = false;
    onUi([&] { usable = m_app.IsUp() && m_app.ActionWindows().IsGridUsable(); });
    return usable && !m_app.IsAbortedThread();
}

int CActionInterpreter::gridNotActive(const Call& call) {
    errorBox(kFormat(u"Cannot process '%s': Grid is NOT ACTIVE.", call.text));
    return kActionDone;
}
