#pragma once

// Stands in for the windows around a data grid: the test says which grid is
// the main one, which server is selected, which navigator the view has and
// what the properties panel and help answer, and the site records the row
// counter, filter box, navigator, chooser, properties panel, help and
// message-pump calls the grid made.

#include "framework/kprops.h"
#include "grid/gridnavigator.h"
#include "grid/gridprogress.h"
#include "grid/mygridsite.h"

#include <QString>

#include <utility>
#include <vector>

class RecordingMyGridSite : public CMyGridSite {
public:
    bool IsMainGrid(const CMyGrid& grid) const override { return &grid == mainGrid; }
    CMySystem* SelectedSystem() override { return system; }
    void StartRowCounter() override { ++rowCounterStarts; }
    void StopRowCounter() override { ++rowCounterStops; }
    CGridProgress& Progress() override { return progress; }
    void ResetFilterText() override { ++filterResets; }
    void PumpMessages() override { ++pumps; }
    CGridNavigator* Navigator() override { return navigator; }
    void ShowNavigator(bool show) override { navigatorShown.push_back(show); }
    void ChooserFilterCommand(const QString& command, const QString& text) override {
        chooserCommands.push_back(command + u'=' + text);
    }
    // The chooser the navigator was given.
    CNavigatorOwner* NavigatorOwner() override {
        return navigator != nullptr ? navigator->GetOwner() : nullptr;
    }
    bool IsPropertiesPanelVisible() const override { return panelOpen; }
    int OpenProperties(const QString& address) override {
        opened.push_back(address);
        panelOpen = true;
        return 1;
    }
    int CloseProperties() override {
        ++closes;
        panelOpen = false;
        return 1;
    }
    void BlankBrowserPane() override { ++blanks; }
    int PropertiesDirtyBit() override { return dirtyBit; }
    int ShowProperties(CMySystem*, const KPROPS& properties) override {
        shownProperties.clear();
        for (int i = 0; i < properties.Count(); ++i) {
            shownProperties.emplace_back(properties.GetNameAt(i), properties.GetValueAt(i));
        }
        panelOpen = true;
        return ++propertiesShown;
    }
    QWidget* MenuOwner() override { return menuOwner; }
    bool IsContextHelpMode() const override { return contextHelp; }
    void LaunchHelp(const QString& address) override { helpOpened.push_back(address); }

    // What the test sets.
    const CMyGrid* mainGrid = nullptr;
    CMySystem* system = nullptr;
    CGridNavigator* navigator = nullptr;
    QWidget* menuOwner = nullptr;
    bool panelOpen = false;
    int dirtyBit = 0;
    bool contextHelp = false;

    // What the grid did.
    CGridProgress progress;
    int rowCounterStarts = 0;
    int rowCounterStops = 0;
    int filterResets = 0;
    int pumps = 0;
    int closes = 0;
    int blanks = 0;
    int propertiesShown = 0;
    std::vector<QString> opened;
    std::vector<QString> helpOpened;
    std::vector<std::pair<QString, QString>> shownProperties;
    std::vector<bool> navigatorShown;
    std::vector<QString> chooserCommands;
};
