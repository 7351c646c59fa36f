// The main frame's bars: the bands at the top (menu bar with the busy
// animation at its right end, standard toolbar, navigation bar, grid filter
// bar), the status bar, the wizard dock, and the commands that show, hide and
// lock them.

#include "frame/animatectrl.h"
#include "frame/framecommands.h"
#include "frame/framesite.h"
#include "frame/mainframe.h"

#include "frame/iebar.h"
#include "frame/menubar.h"
#include "frame/qvxrebar.h"
#include "frame/qvxtoolbar.h"
#include "frame/searchtoolbar.h"
#include "frame/statusbar.h"
#include "framework/klog.h"
#include "grid/mygrid.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "settings/langpack.h"
#include "settings/preferences.h"
#include "tree/treeimages.h"

namespace {

constexpr int kMenuBandId = 50;
constexpr int kStandardBandId = 51;
constexpr int kNavigationBandId = 52;
constexpr int kFilterBandId = 54;

constexpr int kShowStandardBar = 32824;
constexpr int kShowNavigationBar = 32825;
constexpr int kLockToolbars = 32826;
constexpr int kShowFilterBar = 32827;
constexpr int kToggleWizard = 32809;
constexpr int kToggleStatusBar = 59393;

void identify(QToolBar* bar, int controlId) {
    bar->setObjectName(kFormat(u"ToolBar%d", controlId));
    bar->setProperty("controlId", controlId);
}

void toggle(QWidget& bar) {
    bar.setVisible(bar.isHidden());
}

}  // namespace

void CMainFrame::createBars() {
    kDebugLog(u"START: CMainFrame::OnCreate()\n");
    setWindowIcon(TreeImageIcon(kImageRoot));
    m_commands = new CFrameCommands(*this);

    m_menuBar = new CMenuBar;
    m_menuBar->setProperty("controlId", kMenuBandId);
    m_menuBar->LoadMenu(IDR_MAINFRAME, *m_commands);
    connect(m_menuBar, &CMenuBar::InitMenuPopup, this, &CMainFrame::OnInitMenuPopup);
    // The animation takes no line of its own: it sits in the menu bar's
    // corner, which the menu bar keeps at its line's right end.
    m_throbber = new CAnimateCtrl;
    m_menuBar->setCornerWidget(m_throbber, Qt::TopRightCorner);
    connect(m_throbber, &CAnimateCtrl::RightDoubleClicked, this,
            [this] { m_site.ShowDeveloperAbout(); });
    m_menuBand = new QToolBar(QStringLiteral("Menu Bar"), this);
    identify(m_menuBand, kMenuBandId);
    m_menuBand->addWidget(m_menuBar);

    m_standardBar = new CQVxToolBar(QStringLiteral("Standard Buttons"), this);
    identify(m_standardBar, kStandardBandId);
    m_standardBar->LoadButtons(*m_commands);
    connect(m_standardBar, &CQVxToolBar::ActionsMenuAboutToShow, this,
            &CMainFrame::OnInitMenuPopup);

    m_navigationBar = new CQVXNavBar(QStringLiteral("Navigation Bar"), this);
    identify(m_navigationBar, kNavigationBandId);
    m_navigationBar->SetupButtons(*m_commands);

    const QString bandText = LangLookup(LoadResourceString(494));
    m_filterBar = new CSearchToolbar(
        bandText, [this] { return GetGrid(); }, m_site.Prefs(), this);
    identify(m_filterBar, kFilterBandId);
    m_filterBar->LoadButtons(*m_commands);

    m_statusBar = new CStatusBar(this);
    setStatusBar(m_statusBar);
    connect(m_menuBar, &CMenuBar::PromptEnded, m_statusBar, &CStatusBar::EndPrompt);

    m_rebar = new CQVxReBar(*this, m_site.Prefs());
    addBands();

    m_wizardBar = new IEBar(QStringLiteral("ZRM Wizard"), this, IEBar_Manager::kWizardBarId);
    m_wizardBar->setObjectName(QStringLiteral("ZRMWizard"));
    addDockWidget(Qt::RightDockWidgetArea, m_wizardBar);
    m_wizardBar->hide();
    kDebugLog(u"END: CMainFrame::OnCreate()\n");
}

void CMainFrame::addBands() {
    using R = CQVxReBar;
    m_rebar->AddBand(m_menuBand, {}, R::RBBS_FIXEDBMP, true);
    m_rebar->AddPlacedBand(m_throbber, R::RBBS_BREAK | R::RBBS_FIXEDSIZE | R::RBBS_FIXEDBMP);
    m_rebar->AddBand(m_standardBar, {}, R::RBBS_BREAK | R::RBBS_FIXEDBMP, true);
    m_rebar->AddBand(m_navigationBar, {}, R::RBBS_FIXEDBMP, true);
    m_rebar->AddBand(m_filterBar, m_filterBar->windowTitle(), 0, true);
}

void CMainFrame::OnToggleWizardBar() {
    toggle(*m_wizardBar);
}

CommandHandler CMainFrame::barHandlerOf(int commandId) {
    switch (commandId) {
        case kShowStandardBar:
            return [this] { toggle(*m_standardBar); };
        case kShowNavigationBar:
            return [this] { toggle(*m_navigationBar); };
        case kShowFilterBar:
            return [this] { toggle(*m_filterBar); };
        case kLockToolbars:
            return [this] { m_rebar->Lock(!m_rebar->IsLocked()); };
        case kToggleWizard:
            return [this] { OnToggleWizardBar(); };
        case kToggleStatusBar:
            return [this] { toggle(*m_statusBar); };
        case CSearchToolbar::kClearCommand:
            return [this] { m_filterBar->ClearFilter(); };
        case CQVxToolBar::kActionsCommand:
            return [this] { m_standardBar->ShowActionsMenu(); };
        default:
            return {};
    }
}

bool CMainFrame::barCommandUI(int commandId, CCmdUI& state) {
    const auto shown = [&state](const QWidget& bar) {
        state.enabled = true;
        state.checked = !bar.isHidden();
        return true;
    };
    switch (commandId) {
        case kShowStandardBar:
            return shown(*m_standardBar);
        case kShowNavigationBar:
            return shown(*m_navigationBar);
        case kShowFilterBar:
            return shown(*m_filterBar);
        case kToggleWizard:
            return shown(*m_wizardBar);
        case kToggleStatusBar:
            return shown(*m_statusBar);
        case kLockToolbars:
            state.enabled = true;
            state.checked = m_rebar->IsLocked();
            return true;
        case CSearchToolbar::kClearCommand:
            if (m_site.Prefs().GetInt(QStringLiteral("EnableRealtimeFilter"), 1) != 0) {
                state.enabled = !m_filterBar->IsFilterEmpty();
            } else {
                const CMyGrid* grid = GetGrid();
                state.enabled = grid != nullptr && grid->IsFiltered();
            }
            return true;
        default:
            return false;
    }
}

void CMainFrame::UpdateFilterField() {
    const CMyGrid* grid = GetGrid();
    m_filterBar->Field().setEnabled(grid != nullptr && grid->isVisible() &&
                                    !grid->IsLoadRunning() && grid->GetRowCount() > 1);
}
