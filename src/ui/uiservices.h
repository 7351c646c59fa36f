#pragma once

// The UI-thread services every floor may use, whatever floor it stands on:
// the bridge to the UI thread, the pop-up boxes, the status text, the busy
// counter, the named timers, the item images and the server-menu command
// ids. The application implements them and installs itself at start-up;
// code that runs before then, or in a test without an application, asks
// HaveUiServices() first.

#include <QString>

class CImageLists;
class CMenuCommandIds;
class CPopupMessages;
class CTimerList;
class CUiBridge;

class CUiServices {
public:
    virtual ~CUiServices() = default;

    virtual CUiBridge& Bridge() = 0;
    virtual CPopupMessages& Popups() = 0;
    // Sets the text of the status pane of an indicator id (0 is the message
    // pane); other ids do nothing.
    virtual void SetStatusText(const QString& text, int indicatorId = 0) = 0;
    // The busy counter; the busy animation runs while it is above 0. Both
    // return the new count and may be called from any thread.
    virtual int BeginBusy() = 0;
    virtual int EndBusy() = 0;
    virtual CTimerList& Timers() = 0;
    // The World View's item images (tree/imagelists.h), built on first use.
    virtual CImageLists& ImageLists() = 0;
    virtual CMenuCommandIds& MenuCommandIds() = 0;
    // While a stuck action worker is being aborted the UI thread pumps
    // events; layouts wait until that is over.
    virtual bool IsAbortingWorker() const = 0;
};

// The installed services; only while HaveUiServices().
CUiServices& UiServices();
bool HaveUiServices();
// Installs the services; null removes them. They must outlive every caller.
void SetUiServices(CUiServices* services);
