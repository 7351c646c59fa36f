#include "ui/uiservices.h"

#include <QtGlobal>

#include <atomic>

namespace {
// Read by workers (a busy cursor on the action worker) while the UI thread
// installs or removes the services.
std::atomic<CUiServices*> g_services{nullptr};
}  // namespace

CUiServices& UiServices() {
    CUiServices* services = g_services.load();
    Q_ASSERT(services != nullptr);
    return *services;
}

bool HaveUiServices() {
    return g_services.load() != nullptr;
}

void SetUiServices(CUiServices* services) {
    g_services.store(services);
}
