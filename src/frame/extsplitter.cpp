#include "frame/extsplitter.h"

#include <QMouseEvent>
#include <QSplitterHandle>

#include <algorithm>

// Asks its splitter before every drag whether the section above may change.
class CExtSplitter::Handle : public QSplitterHandle {
public:
    Handle(Qt::Orientation orientation, CExtSplitter* owner)
        : QSplitterHandle(orientation, owner), m_owner(owner) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (m_owner->handleRefused(this)) {
            event->ignore();
            return;
        }
        QSplitterHandle::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (m_owner->handleRefused(this)) {
            event->ignore();
            return;
        }
        QSplitterHandle::mouseMoveEvent(event);
    }

private:
    CExtSplitter* m_owner;
};

CExtSplitter::CExtSplitter(QWidget* parent) : QSplitter(parent) {
    setChildrenCollapsible(false);
    connect(this, &QSplitter::splitterMoved, this, [this] { rememberUserSizes(); });
}

bool CExtSplitter::CreateStatic(int rows, int cols) {
    if (rows < 1 || cols < 1 || (rows > 1 && cols > 1) || !m_sections.empty()) {
        return false;
    }
    setOrientation(rows > 1 ? Qt::Vertical : Qt::Horizontal);
    m_panes.SetSize(rows, cols);
    m_shownRows.clear();
    for (int row = 0; row < rows; ++row) {
        m_shownRows.append(row);
    }
    m_hiddenRows.clear();
    m_sections.assign(static_cast<size_t>(std::max(rows, cols)), Section{});
    return true;
}

int CExtSplitter::sectionCount() const {
    return static_cast<int>(m_sections.size());
}

int CExtSplitter::sectionOf(int row, int col) const {
    return isAlongRows() ? row : col;
}

QWidget* CExtSplitter::paneOfSection(int section) const {
    return isAlongRows() ? m_panes.At(section, 0) : m_panes.At(0, section);
}

int CExtSplitter::indexOfSection(int section) const {
    QWidget* pane = paneOfSection(section);
    return pane != nullptr ? indexOf(pane) : -1;
}

bool CExtSplitter::CreateView(int row, int col, QWidget* pane, int initialSize) {
    if (pane == nullptr || m_panes.At(row, col) != nullptr || !m_panes.Set(row, col, pane)) {
        return false;
    }
    const int section = sectionOf(row, col);
    // Panes are kept in their fixed order whatever order they are made in.
    int position = 0;
    for (int other = 0; other < section; ++other) {
        if (paneOfSection(other) != nullptr) {
            ++position;
        }
    }
    insertWidget(position, pane);
    m_sections[static_cast<size_t>(section)].ideal = initialSize;
    renumberPanes();
    return true;
}

void CExtSplitter::SetActivePane(int row, int col) {
    if (QWidget* pane = m_panes.At(row, col)) {
        m_activeSection = sectionOf(row, col);
        pane->setFocus();
    }
}

void CExtSplitter::HideRow(int row) {
    const qsizetype visibleIndex = m_shownRows.indexOf(row);
    if (visibleIndex < 0 || !isAlongRows()) {
        return;
    }
    m_sections[static_cast<size_t>(row)].ideal = GetRowInfo(row).current;
    m_shownRows.removeAt(visibleIndex);
    m_hiddenRows.append(row);
    if (m_activeSection == row) {
        m_activeSection =
            m_shownRows.isEmpty()
                ? -1
                : m_shownRows.at(visibleIndex < m_shownRows.size() ? visibleIndex : 0);
        if (m_activeSection >= 0) {
            SetActivePane(m_activeSection, 0);
        }
    }
    renumberPanes();
    RecalcLayout();
}

void CExtSplitter::ShowRow(int row) {
    if (m_shownRows.contains(row) || !m_hiddenRows.contains(row)) {
        return;
    }
    m_hiddenRows.removeAll(row);
    m_shownRows.append(row);
    std::sort(m_shownRows.begin(), m_shownRows.end());
    renumberPanes();
    RecalcLayout();
}

void CExtSplitter::renumberPanes() {
    QList<int> rowOrder = m_shownRows + m_hiddenRows;
    for (int i = 0; i < rowOrder.size(); ++i) {
        for (int col = 0; col < ColumnCount(); ++col) {
            QWidget* pane = m_panes.At(rowOrder.at(i), col);
            if (pane == nullptr) {
                continue;
            }
            pane->setProperty("controlId", kFirstPaneId + 16 * i + col);
            pane->setVisible(i < m_shownRows.size());
        }
    }
    // Let the base hide and show the handles of the panes now, so the
    // layout that follows sees the new set of handles.
    refresh();
}

CExtSplitter::SectionInfo CExtSplitter::GetRowInfo(int row) const {
    if (!isAlongRows() || row < 0 || row >= sectionCount()) {
        return {};
    }
    const Section& section = m_sections[static_cast<size_t>(row)];
    const int index = indexOfSection(row);
    const QList<int> current = sizes();
    // A hidden row answers with its saved size, not another row's.
    const int currentSize = IsRowVisible(row) && index >= 0 && index < current.size()
                                ? current.at(index)
                                : section.ideal;
    return {currentSize, section.ideal, section.minimum};
}

void CExtSplitter::SetRowInfo(int row, int ideal, int minimum) {
    if (isAlongRows() && row >= 0 && row < sectionCount()) {
        m_sections[static_cast<size_t>(row)] = {ideal, minimum};
    }
}

CExtSplitter::SectionInfo CExtSplitter::GetColumnInfo(int col) const {
    if (isAlongRows() || col < 0 || col >= sectionCount()) {
        return {};
    }
    const Section& section = m_sections[static_cast<size_t>(col)];
    const QList<int> current = sizes();
    return {col < current.size() ? current.at(col) : section.ideal, section.ideal, section.minimum};
}

void CExtSplitter::SetColumnInfo(int col, int ideal, int minimum) {
    if (!isAlongRows() && col >= 0 && col < sectionCount()) {
        m_sections[static_cast<size_t>(col)] = {ideal, minimum};
    }
}

int CExtSplitter::PaneSpace() const {
    int space = isAlongRows() ? height() : width();
    for (int index = 0; index < count(); ++index) {
        if (!handle(index)->isHidden()) {
            space -= handleWidth();
        }
    }
    return std::max(0, space);
}

void CExtSplitter::RecalcLayout() {
    if (count() == 0) {
        return;
    }
    QList<int> shownSections;
    for (int section = 0; section < sectionCount(); ++section) {
        if (!isAlongRows() || IsRowVisible(section)) {
            shownSections.append(section);
        }
    }
    QList<int> newSizes(count(), 0);
    int available = PaneSpace();
    for (qsizetype i = 0; i < shownSections.size(); ++i) {
        const int section = shownSections.at(i);
        const Section& info = m_sections[static_cast<size_t>(section)];
        const bool last = i + 1 == shownSections.size();
        const int size =
            last ? available : std::clamp(std::max(info.ideal, info.minimum), 0, available);
        const int index = indexOfSection(section);
        if (index >= 0) {
            newSizes[index] = size;
        }
        available -= size;
    }
    m_laying = true;
    setSizes(newSizes);
    m_laying = false;
}

void CExtSplitter::rememberUserSizes() {
    if (m_laying) {
        return;
    }
    const QList<int> current = sizes();
    for (int section = 0; section < sectionCount(); ++section) {
        const int index = indexOfSection(section);
        if (index >= 0 && paneOfSection(section)->isVisibleTo(this)) {
            m_sections[static_cast<size_t>(section)].ideal = current.at(index);
        }
    }
}

bool CExtSplitter::TrackRowSize(int) {
    return true;
}

bool CExtSplitter::handleRefused(QSplitterHandle* handle) {
    // The handle before widget i is dragged to resize the shown section above it.
    const int index = indexOf(handle);
    int visibleAbove = -1;
    for (int i = 0; i < index; ++i) {
        if (widget(i)->isVisibleTo(this)) {
            ++visibleAbove;
        }
    }
    return visibleAbove >= 0 && !TrackRowSize(visibleAbove);
}

QSplitterHandle* CExtSplitter::createHandle() {
    return new Handle(orientation(), this);
}

void CExtSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    RecalcLayout();
}
