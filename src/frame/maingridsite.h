#pragma once

// The main grid's windows: the right-hand view that holds it (navigator,
// choosers and the window its server menu runs for), the main frame's row
// counter and properties panel, the World View's selected server, help and
// the message pump.

#include "grid/mygridsite.h"

class CFrameSite;
class CMainFrame;
class CMyView;

class CMainGridSite : public CMyGridSite {
public:
    CMainGridSite(CMyView& view, CMainFrame& frame, CFrameSite& site)
        : m_view(view), m_frame(frame), m_site(site) {}

    bool IsMainGrid(const CMyGrid& grid) const override;
    CMySystem* SelectedSystem() override;
    CGridProgress& Progress() override;
    void StartRowCounter() override;
    void StopRowCounter() override;
    void PumpMessages() override;
    CGridNavigator* Navigator() override;
    void ShowNavigator(bool show) override;
    void ChooserFilterCommand(const QString& command, const QString& text) override;
    CNavigatorOwner* NavigatorOwner() override;
    bool IsContextHelpMode() const override;
    void LaunchHelp(const QString& url) override;
    bool IsPropertiesPanelVisible() const override;
    int OpenProperties(const QString& url) override;
    int CloseProperties() override;
    void BlankBrowserPane() override;
    int PropertiesDirtyBit() override;
    int ShowProperties(CMySystem* system, const KPROPS& properties) override;
    QWidget* MenuOwner() override;
    void ResetFilterText() override;

private:
    CMyView& m_view;
    CMainFrame& m_frame;
    CFrameSite& m_site;
};
