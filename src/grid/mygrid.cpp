#include "grid/mygrid.h"

#include "grid/dialoggridsite.h"
#include "grid/gridrequesters.h"
#include "tree/tooltip.h"
#include "ui/uiservices.h"

#include <QMouseEvent>

CMyGrid::CMyGrid(QWidget* parent)
    : CGridCtrl(0, 0, 0, 0, parent),
      m_dialogSite(std::make_unique<CDialogGridSite>()),
      m_tooltip(std::make_unique<Tooltip>()) {
    m_site = m_dialogSite.get();
    m_className = QStringLiteral("CMyGrid");
    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, &CMyGrid::showTurn);
    SetMaxColumnWidthFraction(0.95f);
    SetPropertiesPaneShown([this] { return m_site->IsPropertiesPanelVisible(); });
}

CMyGrid::~CMyGrid() {
    UnregisterGridRequesters(this);
    m_reader.Close();
    notifySyncEnded();
    m_fSavePrefsOnReset = false;
    ResetGrid();
}

void CMyGrid::SetSite(CMyGridSite* site) {
    m_site = site != nullptr ? site : m_dialogSite.get();
}

bool CMyGrid::Create(const QRect& rect, QWidget* parent, int controlId, unsigned style) {
    if (!CGridCtrl::Create(rect, parent, controlId, style)) {
        return false;
    }
    m_created = true;
    m_tooltip->Create(this, viewport());
    return true;
}

bool CMyGrid::mainGrid() const {
    return m_site->IsMainGrid(*this);
}

void CMyGrid::setStatus(int indicator, const QString& text) {
    if (HaveUiServices()) {
        UiServices().SetStatusText(text, indicator);
    }
}

void CMyGrid::mouseMoveEvent(QMouseEvent* event) {
    if (m_tooltip->IsShown() &&
        !m_tooltip->Geometry().contains(event->globalPosition().toPoint())) {
        m_tooltip->Hide();
    }
    CGridCtrl::mouseMoveEvent(event);
}

// Window messages as methods ---------------------------------------------

int CMyGrid::GetFocusedRowText(int col, QString& text) const {
    if (col < 0 || col >= GetColumnCount()) {
        return -1;
    }
    const CCellID focus = GetFocusCell();
    if (focus.row < 0 || focus.row >= GetRowCount()) {
        return -2;
    }
    text = GetItemText(focus.row, col);
    return static_cast<int>(text.size());
}

int CMyGrid::SetTextQuery(int query, const QString& text) {
    switch (query) {
        case 1:
            return FindColumnByName(text);
        case 2:
            return FilterRows(text, 0x11);
        default:
            return 0;
    }
}
