#pragma once

// Row 0 of the right-hand side: the view that hosts the tab strip. Each
// render replaces the strip with a new one for the selected World View item.

#include "frame/tabs.h"

#include <QPointer>
#include <QWidget>

class CDialogView : public QWidget {
    Q_OBJECT
public:
    CDialogView(CTabsHost host, QWidget* parent = nullptr);
    ~CDialogView() override;

    // Builds the tab strip (template 5470, the only one) and selects its
    // remembered tab. Any thread: off the UI thread the UI thread builds it
    // and its result is returned. 0 for another template or a failed creation.
    int Render(int templateId);
    // The UI thread's part: the strip is made and placed, but not selected.
    int RenderOnUIThread(int templateId);

    CTabs* Tabs() const { return m_dialog; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CTabsHost m_host;
    QPointer<CTabs> m_dialog;
};
