#pragma once

// The site of a grid that a dialog holds (the field chooser's list, the
// file chooser's listing, an options page's table): the dialog has no
// navigator, choosers, search bar, properties panel, row counter or help
// window around the grid, and the grid is never the main grid, so those
// calls change nothing. Its loads keep their progress for the grid alone,
// and it shows no server's menu: no server is selected for it.

#include "grid/mygridsite.h"

class CDialogGridSite : public CMyGridSite {
public:
    bool IsMainGrid(const CMyGrid& grid) const override;
    CMySystem* SelectedSystem() override;
    void StartRowCounter() override;
    void StopRowCounter() override;
    CGridProgress& Progress() override;
    void ResetFilterText() override;
    void PumpMessages() override;
    CGridNavigator* Navigator() override;
    void ShowNavigator(bool show) override;
    void ChooserFilterCommand(const QString& command, const QString& text) override;
    CNavigatorOwner* NavigatorOwner() override;
    bool IsPropertiesPanelVisible() const override;
    int OpenProperties(const QString& url) override;
    int CloseProperties() override;
    void BlankBrowserPane() override;
    int PropertiesDirtyBit() override;
    int ShowProperties(CMySystem* system, const KPROPS& properties) override;
    QWidget* MenuOwner() override;
    bool IsContextHelpMode() const override;
    void LaunchHelp(const QString& url) override;

private:
    CGridProgress m_progress;
};
