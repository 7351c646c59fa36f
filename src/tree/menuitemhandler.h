#pragma once

// Runs a server menu entry: the built-in rediscover, the properties pane's
// toggle (choosing the entry whose page it shows closes it), or the entry's
// "action..." attributes as a list for the application's action runner,
// column references expanded from the main grid's selected rows.

#include <QString>
#include <QtGlobal>

class CContextMenuItem;
class CMenuGridRows;
class KPROPS;
class QWidget;

// One invocation of an entry.
struct CMenuInvocation {
    const CContextMenuItem* item = nullptr;
    int commandId = 0;
    int callerArgument = 0;
    qintptr third = 0;
    CMenuGridRows* grid = nullptr;
    QWidget* owner = nullptr;
};

class CMenuItemHandler {
public:
    // 1 when the actions ran with result 1 (or the pane was closed, or the
    // rediscover ran or was cancelled by the user), else 0.
    static int InvokeHandler(const CMenuInvocation& invocation, char16_t context);

    // The entry's action list: "mitem%02d" entries in attribute order, each
    // with the entry's identity and its "file" attribute as extra fields.
    static void BuildActionList(const CContextMenuItem& item, const CMenuGridRows* grid,
                                KPROPS& actions);

private:
    static int rediscover(const CContextMenuItem& item, char16_t context,
                          const CMenuGridRows* grid);
};
