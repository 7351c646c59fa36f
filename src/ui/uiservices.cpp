#include "ui/uiservices.h"

#include <QtGlobal>

#include <atomic>

namespace {
// Read by workers (a busy cursor on the action worker) while the UI thread
// installs or removes the services.
std::atomic<CUiServices*> g_uiServices{nullptr};
}  // namespace

CUiServices& UiServices() {
    CUiServices* services = g_uiServices.load();
    Q_ASSERT(services != nullptr);
    return *services;
}

bool HaveUiServices() {
    return g_uiServices.load() != nullptr;
}

void SetUiServices(CUiServices* services) {
    g_uiServices.store(services);
}
