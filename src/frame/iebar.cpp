#include "frame/iebar.h"

#include "frame/webpage.h"
#include "frame/webprofile.h"
#include "net/wireservices.h"
#include "settings/preferences.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QResizeEvent>

#include <algorithm>

namespace {

const QString kWidthKey = QStringLiteral("IEBar_cx");
const QString kHeightKey = QStringLiteral("IEBar_cy");

}  // namespace

IEBar::IEBar(const QString& title, QWidget* parent, int controlId)
    : CSizingControlBarG(title, parent, controlId), m_browser(new CWebPane(this)) {
    SetMinimumSizeOf(Placement::Horizontal, QSize(40, 40));
    SetMinimumSizeOf(Placement::Floating, QSize(80, 80));
    SetStoredSize(Placement::Horizontal, QSize(80, 80));
    setWidget(m_browser);
    m_browser->setUrl(QUrl(QStringLiteral("about:blank")));
}

IEBar::IEBar(const QString& title, QWidget* parent, int controlId, IEBar_Manager* manager,
             QSize floatingSize)
    : IEBar(title, parent, controlId) {
    m_manager = manager;
    SetStoredSize(Placement::Floating, floatingSize);
}

int IEBar::Navigate(const QString& url) {
    WireServices().RecordUrlTrail(url);
    Open(url);
    return 1;
}

void IEBar::Open(const QString& url) {
    CopySessionCookiesToBrowsers();
    m_browser->load(QUrl(url, QUrl::TolerantMode));
}

void IEBar::resizeEvent(QResizeEvent* event) {
    CSizingControlBarG::resizeEvent(event);
    if (m_manager == nullptr) {
        // The wizard bar floats at the size it has now, its whole width.
        SetStoredSize(Placement::Floating, size());
    } else if (m_launched) {
        m_manager->Prefs().SetInt(kWidthKey, event->size().width());
        m_manager->Prefs().SetInt(kHeightKey, event->size().height());
    }
}

void IEBar::closeEvent(QCloseEvent* event) {
    CSizingControlBarG::closeEvent(event);
    if (m_manager != nullptr && event->isAccepted()) {
        hide();
        m_manager->Remove(this);
    }
}

IEBar_Manager::IEBar_Manager(QMainWindow& mainWindow, CPreferences& prefs)
    : m_mainWindow(mainWindow), m_prefs(prefs) {}

IEBar_Manager::~IEBar_Manager() {
    for (IEBar* bar : m_bars) {
        delete bar;
    }
    delete m_removedLast;
}

int IEBar_Manager::Launch(const QString& url, const QRect& rect, const QString& title) {
    ++m_launchedCount;
    const QSize size(m_prefs.GetInt(kWidthKey, rect.width()),
                     m_prefs.GetInt(kHeightKey, rect.height()));
    auto* bar = new IEBar(title, &m_mainWindow, kWizardBarId + m_launchedCount, this, size);
    m_bars.push_back(bar);
    bar->setAllowedAreas(Qt::NoDockWidgetArea);
    bar->setFloating(true);
    // An ordinary window of the desktop, not a tool window of the main one.
    bar->setWindowFlags(Qt::Window);
    bar->setWindowTitle(title);
    bar->setWindowIcon(m_mainWindow.windowIcon());
    bar->setGeometry(QRect(rect.topLeft(), size));
    bar->Navigate(url);
    bar->show();
    bar->SetLaunched();
    return 1;
}

void IEBar_Manager::Remove(IEBar* bar) {
    // The bar removed before may still be handling its own close: it goes
    // only now.
    delete m_removedLast;
    m_removedLast = nullptr;
    const auto found = std::find(m_bars.begin(), m_bars.end(), bar);
    if (found != m_bars.end()) {
        m_bars.erase(found);
        m_removedLast = bar;
    }
}

int IEBar_Manager::HideFirstVisible() {
    const auto visible = std::find_if(m_bars.begin(), m_bars.end(),
                                      [](const IEBar* bar) { return bar->isVisible(); });
    if (visible == m_bars.end()) {
        return 0;
    }
    IEBar* bar = *visible;
    bar->hide();
    Remove(bar);
    return 1;
}
