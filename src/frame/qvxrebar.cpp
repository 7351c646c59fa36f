#include "frame/qvxrebar.h"

#include "framework/kformat.h"
#include "settings/preferences.h"

#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace {

const QString kVersionKey = QStringLiteral("ReBarVersion");
const QString kLockedKey = QStringLiteral("ReBarLocked");
const QString kBandsKey = QStringLiteral("ReBarBandStateInfo");
constexpr int kLayoutVersion = 1;

int controlIdOf(const QWidget* window) {
    return window->property("controlId").toInt();
}

}  // namespace

CQVxReBar::CQVxReBar(QMainWindow& frame, CPreferences& prefs)
    : QObject(&frame), m_frame(frame), m_prefs(prefs) {}

bool CQVxReBar::AddBand(QToolBar* bar, const QString& text, unsigned style, bool gripperAllowed) {
    if (bar == nullptr || bandOf(bar) != nullptr) {
        return false;
    }
    if (!text.isEmpty()) {
        auto* label = new QLabel(text, bar);
        label->setContentsMargins(4, 0, 4, 0);
        const QList<QAction*> items = bar->actions();
        if (items.isEmpty()) {
            bar->addWidget(label);
        } else {
            bar->insertWidget(items.first(), label);
        }
    }
    if ((style & RBBS_BREAK) && !m_bands.isEmpty()) {
        m_frame.addToolBarBreak(Qt::TopToolBarArea);
    }
    m_frame.addToolBar(Qt::TopToolBarArea, bar);
    bar->setMovable(gripperAllowed && !m_locked);
    bar->installEventFilter(this);
    m_bands.append(
        {bar, bar, controlIdOf(bar), style & (RBBS_FIXEDSIZE | RBBS_FIXEDBMP), gripperAllowed});
    return true;
}

bool CQVxReBar::AddPlacedBand(QWidget* window, unsigned style) {
    if (window == nullptr || bandOf(window) != nullptr) {
        return false;
    }
    m_bands.append({window, nullptr, controlIdOf(window),
                    (style & ~(RBBS_GRIPPERALWAYS | RBBS_HIDDEN)) | RBBS_NOGRIPPER, false});
    return true;
}

CQVxReBar::Band* CQVxReBar::bandOf(const QWidget* window) {
    auto found = std::find_if(m_bands.begin(), m_bands.end(),
                              [window](const Band& band) { return band.window == window; });
    return found == m_bands.end() ? nullptr : &*found;
}

const CQVxReBar::Band* CQVxReBar::bandOf(const QWidget* window) const {
    return const_cast<CQVxReBar*>(this)->bandOf(window);
}

bool CQVxReBar::eventFilter(QObject* watched, QEvent* event) {
    // Qt leaves a bar dragged along its line where it was dropped and
    // squeezes the bars after it; the layout is packed once the drag is over.
    // A click that moved nothing leaves the bars, and the focus, alone.
    const auto* bar = static_cast<const QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressedAt = bar->geometry();
    } else if (event->type() == QEvent::MouseButtonRelease && bar->geometry() != m_pressedAt) {
        QTimer::singleShot(0, this, &CQVxReBar::repack);
    }
    return QObject::eventFilter(watched, event);
}

void CQVxReBar::repack() {
    syncOrder();
    relayout(currentStyles());
}

QList<unsigned> CQVxReBar::currentStyles() const {
    QList<unsigned> styles;
    for (const Band& band : m_bands) {
        styles.append(BandStyle(band.window));
    }
    return styles;
}

void CQVxReBar::Lock(bool locked) {
    if (locked == m_locked) {
        return;
    }
    for (const Band& band : m_bands) {
        if (band.bar != nullptr) {
            band.bar->setMovable(!locked);
        }
    }
    m_locked = locked;
}

unsigned CQVxReBar::BandStyle(const QWidget* window) const {
    const Band* band = bandOf(window);
    if (band == nullptr) {
        return 0;
    }
    if (band->bar == nullptr) {
        return band->keptStyle;
    }
    unsigned style = band->keptStyle;
    if (m_frame.toolBarBreak(band->bar)) {
        style |= RBBS_BREAK;
    }
    if (band->bar->isHidden()) {
        style |= RBBS_HIDDEN;
    }
    style |= band->bar->isMovable() ? RBBS_GRIPPERALWAYS : RBBS_NOGRIPPER;
    return style;
}

void CQVxReBar::syncOrder() {
    // The user may have dragged bars to other places: the shown bars take
    // the band slots of shown bars line by line; hidden bars and placed
    // bands keep theirs.
    QList<int> slots;
    QList<Band> shown;
    for (int i = 0; i < m_bands.size(); ++i) {
        if (m_bands[i].bar != nullptr && !m_bands[i].bar->isHidden()) {
            slots.append(i);
            shown.append(m_bands[i]);
        }
    }
    std::stable_sort(shown.begin(), shown.end(), [](const Band& a, const Band& b) {
        const QPoint pa = a.bar->pos();
        const QPoint pb = b.bar->pos();
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    for (int i = 0; i < slots.size(); ++i) {
        m_bands[slots[i]] = shown[i];
    }
}

QList<QWidget*> CQVxReBar::Bands() {
    syncOrder();
    QList<QWidget*> windows;
    for (const Band& band : m_bands) {
        windows.append(band.window);
    }
    return windows;
}

void CQVxReBar::SaveBandLayout() {
    syncOrder();
    m_prefs.SetInt(kVersionKey, kLayoutVersion);
    m_prefs.SetInt(kLockedKey, m_locked ? 1 : 0);
    QStringList entries;
    for (const Band& band : m_bands) {
        entries.append(kFormat(u"wID=%04X,cx=%d,fStyle=%08X", band.id, band.window->width(),
                               BandStyle(band.window)));
    }
    m_prefs.SetString(kBandsKey, entries.join(u';'));
}

bool CQVxReBar::parseEntry(const QString& text, Entry& entry) {
    static const QRegularExpression format(
        QStringLiteral("^wID=([0-9A-Fa-f]{1,8}),cx=(-?[0-9]{1,9}),fStyle=([0-9A-Fa-f]{1,8})$"));
    const QRegularExpressionMatch match = format.match(text);
    if (!match.hasMatch()) {
        return false;
    }
    entry.id = match.captured(1).toInt(nullptr, 16);
    entry.cx = match.captured(2).toInt();
    entry.style = match.captured(3).toUInt(nullptr, 16);
    return true;
}

void CQVxReBar::RestoreBandLayout() {
    if (m_prefs.GetInt(kVersionKey, -1) != kLayoutVersion) {
        return;
    }
    m_locked = m_prefs.GetInt(kLockedKey, 0) != 0;
    const QString stored = m_prefs.GetString(kBandsKey);
    if (stored.isEmpty()) {
        return;
    }
    syncOrder();
    QList<unsigned> styles = currentStyles();
    const QStringList entries = stored.split(u';');
    for (int i = 0; i < m_bands.size() && i < entries.size(); ++i) {
        Entry entry{};
        // A damaged entry ends the restore: the bands after it stay put.
        if (!parseEntry(entries[i], entry)) {
            break;
        }
        const auto found = std::find_if(m_bands.begin() + i, m_bands.end(),
                                        [&entry](const Band& band) { return band.id == entry.id; });
        if (found != m_bands.end()) {
            const auto from = static_cast<int>(found - m_bands.begin());
            m_bands.move(from, i);
            styles.move(from, i);
        }
        styles[i] = (styles[i] & ~(RBBS_BREAK | RBBS_HIDDEN)) | entry.style;
    }
    relayout(styles);
}

void CQVxReBar::relayout(const QList<unsigned>& styles) {
    for (const Band& band : m_bands) {
        if (band.bar == nullptr) {
            continue;
        }
        if (m_frame.toolBarBreak(band.bar)) {
            m_frame.removeToolBarBreak(band.bar);
        }
        m_frame.removeToolBar(band.bar);
    }
    bool first = true;
    for (int i = 0; i < m_bands.size(); ++i) {
        Band& band = m_bands[i];
        if (band.bar == nullptr) {
            continue;
        }
        const unsigned style = styles[i];
        if ((style & RBBS_BREAK) && !first) {
            m_frame.addToolBarBreak(Qt::TopToolBarArea);
        }
        first = false;
        m_frame.addToolBar(Qt::TopToolBarArea, band.bar);
        band.keptStyle = style & (RBBS_FIXEDSIZE | RBBS_FIXEDBMP);
        band.bar->setMovable(band.gripperAllowed && !(style & RBBS_NOGRIPPER));
        band.bar->setVisible(!(style & RBBS_HIDDEN));
    }
    // The bars take their new places now, so the band order reads back.
    m_frame.layout()->activate();
}
