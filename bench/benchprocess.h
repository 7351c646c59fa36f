#pragma once

// The process a benchmark of the program's own classes runs in.

#include "framework/kmemory.h"
#include "support/recordingmysystemsite.h"
#include "support/recordingwireservices.h"

#include <QApplication>

// An application on the offscreen platform unless the caller chose one, with
// the recording stand-ins for the sites grids, trees and servers reach.
class BenchProcess {
public:
    BenchProcess(int& argc, char** argv) : m_application(offscreenUnlessChosen(argc), argv) {}

    // The server connections' site: a dispatcher of its own and no settings.
    RecordingMySystemSite& SystemSite() { return m_systemSite; }

private:
    static int& offscreenUnlessChosen(int& argc) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        return argc;
    }

    // The allocator set as the program sets it, before any thread starts.
    struct Allocator {
        Allocator() { kMergeFreedBlocksAtOnce(); }
    } m_allocator;
    QApplication m_application;
    // Boxes and actions that replies carry are recorded, never shown.
    RecordingWireServices m_services;
    RecordingMySystemSite m_systemSite;
};
