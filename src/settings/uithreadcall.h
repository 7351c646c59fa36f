#pragma once

// The file dialogs and questions of the settings code must open on the UI
// thread, also when an action running on a worker thread asks for them. The
// application installs its UI bridge here at start-up; until it does, a
// question from another thread is logged and not shown.

#include <QtGlobal>

#include <functional>

using UiWork = std::function<qintptr()>;
// Runs the work on the UI thread and waits for it; false when refused.
using UiThreadRunner = std::function<bool(const UiWork& work, qintptr* result)>;

void SetSettingsUiRunner(UiThreadRunner runner);

// Whether the caller runs on the application's UI thread (false before the
// application object exists).
bool IsUiThread();

// Runs the work at once on the UI thread, otherwise through the installed
// runner. False, with a warning naming `what`, when no runner is installed
// (before start-up installs the UI bridge or after exit removed it).
bool RunOnUiThread(const char16_t* what, const UiWork& work, qintptr* result);
