#pragma once

// Runs action lists (the items of a context menu, the actions of a drop, the
// lines of an action script) one action after the other on the UI thread.
// Each queued action is handed to the worker and waited for, then the
// runner waits for the busy counter to fall back and sleeps the
// "ActionDelayMSecs" delay in 250 ms steps that handle events, so that an
// error counted by one action stops the next from being handed over. An
// action script is a text file with one action per line.

#include "framework/kprops.h"

#include <QString>

#include <functional>

class CTheApp;
class QTreeWidget;

class CActionRunner {
public:
    // One delay step of the given milliseconds; tests count them.
    using StepPause = std::function<void(int milliseconds)>;

    explicit CActionRunner(CTheApp& app);

    // Modes: 'G' grid menus, 'T' tree menus, 'S' scripts, others add
    // nothing. With a window, writes the list help table there (256).
    // 4 when errors were counted, else 1.
    int RunActions(const KPROPS& list, char16_t mode, QTreeWidget* window = nullptr);
    // True when the script could be read and ran without errors.
    bool RunActionScript(const QString& path);
    // Reads the script's lines into the list as "line:%u" entries; 0 (after
    // the file-error box) when it cannot be read.
    int LoadActionScript(const QString& path, KPROPS& list);

    void SetStepPause(StepPause pause) { m_stepPause = std::move(pause); }

private:
    void buildParameters(char16_t mode, QString& selected, QString& target);
    void delayAfterAction();

    CTheApp& m_app;
    StepPause m_stepPause;
};
