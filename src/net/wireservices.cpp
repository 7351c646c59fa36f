#include "net/wireservices.h"

#include <QtGlobal>

#include <atomic>

namespace {
std::atomic<CWireServices*> g_services{nullptr};
}  // namespace

CWireServices& WireServices() {
    CWireServices* services = g_services.load(std::memory_order_acquire);
    if (services == nullptr) {
        qFatal("WireServices: no CWireServices installed");
    }
    return *services;
}

CWireServices* SetWireServices(CWireServices* services) {
    return g_services.exchange(services, std::memory_order_acq_rel);
}
