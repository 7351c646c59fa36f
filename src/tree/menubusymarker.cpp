#include "tree/menubusymarker.h"

#include "framework/klog.h"

#include <QCoreApplication>

#include <mutex>

namespace {

struct MarkerState {
    std::mutex mutex;
    bool exists = false;
    bool free = false;
};

MarkerState& markerState() {
    static MarkerState marker;
    return marker;
}

}  // namespace

QString CMenuBusyMarker::Name() {
    return kFormat(u"SEMAPHORE %u PROC #%X", 3u,
                   static_cast<quint64>(QCoreApplication::applicationPid()));
}

CMenuBusyMarker::CMenuBusyMarker() {
    MarkerState& marker = markerState();
    const std::lock_guard lock(marker.mutex);
    if (!marker.exists) {
        marker.exists = true;
        marker.free = false;
        m_taken = true;
        return;
    }
    if (marker.free) {
        marker.free = false;
        m_taken = true;
        kDebugLog(u"CM - SEMAPHORE 3 -  DOWN");
    } else {
        kDebugLog(u"CM - SEMAPHORE 3 -  already DOWN: %s", Name());
    }
}

CMenuBusyMarker::~CMenuBusyMarker() {
    if (!m_taken) {
        return;
    }
    MarkerState& marker = markerState();
    const std::lock_guard lock(marker.mutex);
    marker.free = true;
    kDebugLog(u"CM - SEMAPHORE 3 -  UP");
}

bool CMenuBusyMarker::IsFree() {
    MarkerState& marker = markerState();
    const std::lock_guard lock(marker.mutex);
    return !marker.exists || marker.free;
}
