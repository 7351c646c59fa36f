#pragma once

#include "tree/imagelists.h"
#include "ui/menucommandids.h"
#include "ui/popupmessages.h"
#include "ui/timerlist.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <QString>

#include <vector>

// The program's UI services while a test runs: boxes are recorded
// instead of shown, the busy counter counted. Installs itself for its
// lifetime.
class RecordingUiServices : public CUiServices {
public:
    struct Popup {
        QString text;
        int type = 0;
    };

    RecordingUiServices() {
        m_popups.SetPresenter([this](QWidget*, const QString&, const QString& text, int type) {
            popups.push_back({text, type});
            return kAnswerOk;
        });
        SetUiServices(this);
    }
    ~RecordingUiServices() override { SetUiServices(nullptr); }

    CUiBridge& Bridge() override { return m_bridge; }
    CPopupMessages& Popups() override { return m_popups; }
    void SetStatusText(const QString&, int) override {}
    int BeginBusy() override { return ++busy; }
    int EndBusy() override { return --busy; }
    CTimerList& Timers() override { return m_timers; }
    CImageLists& ImageLists() override { return m_images; }
    CMenuCommandIds& MenuCommandIds() override { return m_commandIds; }
    bool IsAbortingWorker() const override { return false; }

    std::vector<Popup> popups;
    int busy = 0;

private:
    CUiBridge m_bridge;
    CPopupMessages m_popups{m_bridge,
                            {.suppressed = [] { return false; },
                             .owner = []() -> QWidget* { return nullptr; },
                             .countError = [] {},
                             .cancelProgress = [] {}}};
    CTimerList m_timers;
    CImageLists m_images;
    CMenuCommandIds m_commandIds;
};
