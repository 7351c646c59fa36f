#include "settings/uithreadcall.h"

#include "framework/klog.h"

#include <QCoreApplication>
#include <QThread>

#include <mutex>

namespace {

std::mutex g_runnerMutex;
UiThreadRunner g_runner;

}  // namespace

void SetSettingsUiRunner(UiThreadRunner runner) {
    std::lock_guard lock(g_runnerMutex);
    g_runner = std::move(runner);
}

bool IsUiThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

bool RunOnUiThread(const char16_t* what, const UiWork& work, qintptr* result) {
    if (IsUiThread()) {
        const qintptr answer = work();
        if (result != nullptr) {
            *result = answer;
        }
        return true;
    }
    UiThreadRunner runner;
    {
        std::lock_guard lock(g_runnerMutex);
        runner = g_runner;
    }
    if (!runner) {
        kWarningLog(u"%s from a worker thread while no UI bridge is installed: not run", what);
        return false;
    }
    return runner(work, result);
}
