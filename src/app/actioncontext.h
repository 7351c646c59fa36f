#pragma once

// The nine values every entry point of the action language takes. The tree
// item travels as its id, so that an action queued for the worker never
// holds a pointer into the tree: the UI thread resolves it when the action
// runs, and an item deleted meanwhile is noticed instead of touched.

#include "framework/kprops.h"

#include <QString>

class QTreeWidget;

// Result codes of the interpreter; callers test them as bits.
enum ActionResult : int {
    kActionDone = 1,
    kActionUnknown = 2,
    kActionFailed = 4,
    kActionMessageShown = 8,
    kActionLoggedOut = 16,
    kActionRefused = 128,
    kActionHelpWritten = 256,
};

struct CActionContext {
    QString command;
    // 0: the selected item.
    quint32 itemId = 0;
    // Given to the command table or the list runner: the list control to
    // fill with the help table instead of running anything.
    QTreeWidget* window = nullptr;
    // URL parameters: "&Selected=...", "&Target=...", and further ones that
    // "prompt:" appends to.
    QString selected;
    QString target;
    QString extra;
    // Extra name=value pairs; "app:" exports them. May be null.
    KPROPS* list = nullptr;
    // The action's name in its list ("line:%u" in a script), for messages.
    QString name;
    // "set:" sets it to 0 (no delay after it). May be null.
    int* result = nullptr;
};
