#pragma once

// Browser bars: the main window's wizard bar, and the floating browser
// windows that show server pages outside the main window (reports, pings,
// discovery). A floating bar is an ordinary window with the main window's
// icon that closes with it; the size the user gives one is remembered for
// the next. The manager keeps the floating bars, deletes a closed one one
// removal later, and closes the first visible one for the main window's
// close rule. UI thread only.

#include "frame/sizingcontrolbar.h"

#include <QRect>
#include <QString>

#include <vector>

class CPreferences;
class CWebPane;
class IEBar_Manager;
class QMainWindow;

class IEBar : public CSizingControlBarG {
    Q_OBJECT
public:
    // The wizard bar: no manager.
    IEBar(const QString& title, QWidget* parent, int controlId);
    // A floating bar of the manager, floating at that size.
    IEBar(const QString& title, QWidget* parent, int controlId, IEBar_Manager* manager,
          QSize floatingSize);

    // Records the URL in the URL trail and loads it; 1.
    int Navigate(const QString& url);
    // Loads the URL (already recorded by the caller).
    void Open(const QString& url);
    CWebPane& Browser() { return *m_browser; }
    void SetLaunched() { m_launched = true; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    CWebPane* m_browser;
    IEBar_Manager* m_manager = nullptr;
    bool m_launched = false;
};

class IEBar_Manager {
public:
    static constexpr int kWizardBarId = 123;

    IEBar_Manager(QMainWindow& mainWindow, CPreferences& prefs);
    ~IEBar_Manager();
    IEBar_Manager(const IEBar_Manager&) = delete;
    IEBar_Manager& operator=(const IEBar_Manager&) = delete;

    // A new floating bar at the rectangle's top-left corner (screen
    // coordinates) showing the URL; its size is the one last remembered,
    // else the rectangle's. 1 when the bar was made.
    int Launch(const QString& url, const QRect& rect, const QString& title);
    // Takes the bar out of the list; it is deleted at the next removal.
    void Remove(IEBar* bar);
    // Closes the first visible bar; 0 when none is visible.
    int HideFirstVisible();

    const std::vector<IEBar*>& Bars() const { return m_bars; }
    CPreferences& Prefs() { return m_prefs; }

private:
    QMainWindow& m_mainWindow;
    CPreferences& m_prefs;
    std::vector<IEBar*> m_bars;
    IEBar* m_removedLast = nullptr;
    // Bars ever launched: a new bar's id never repeats a live one's.
    int m_launchedCount = 0;
};
