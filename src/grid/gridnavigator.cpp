#include "grid/gridnavigator.h"

#include "framework/kformat.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "grid/navigatorowner.h"
#include "server/mysystemsite.h"
#include "settings/preferences.h"
#include "settings/urlcoding.h"

#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

constexpr int kRightMargin = 20;
constexpr int kControlGap = 5;

QString elementsPerChunkText() {
    const CPreferences* prefs = MySystemSite().Preferences();
    const QString fallback = QString::number(CGridNavigator::kDefaultElementsPerChunk);
    return prefs != nullptr ? prefs->GetString(QStringLiteral("ElementsPerChunk"), fallback)
                            : fallback;
}

QString rangeText(qint64 first, qint64 last) {
    return kFormat(u" %s - %s ", CGridNavigator::GroupDigits(first),
                   CGridNavigator::GroupDigits(last));
}

}  // namespace

CGridNavigator::CGridNavigator(QWidget* parent, int chunk, const QString& sortColumn,
                               bool ascending, CMyGridSite* site)
    : QWidget(parent),
      m_site(site),
      m_sortColumn(sortColumn),
      m_ascending(ascending),
      m_chunk(chunk),
      m_combo(new CNavComboBox(this)) {
    m_combo->setProperty("controlId", int(kIdRange));
    m_combo->setEditable(true);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_first = makeLabel(kIdFirst, QStringLiteral("<<"));
    m_prior = makeLabel(kIdPrior, QStringLiteral("<"));
    m_next = makeLabel(kIdNext, QStringLiteral(">"));
    m_last = makeLabel(kIdLast, QStringLiteral(">>"));
    m_of = new QLabel(QStringLiteral("of"), this);
    m_of->setProperty("controlId", int(kIdOf));
    m_totalLabel = new QLabel(QStringLiteral("10 000"), this);
    m_totalLabel->setProperty("controlId", int(kIdTotal));
    connect(m_combo, &QComboBox::activated, this, &CGridNavigator::onComboChosen);
    connect(m_combo, &QComboBox::editTextChanged, this, &CGridNavigator::onRangeEdited);
    setMinimumHeight(m_combo->sizeHint().height() + 4);
}

QLabel* CGridNavigator::makeLabel(int controlId, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setProperty("controlId", controlId);
    label->setCursor(Qt::PointingHandCursor);
    label->setAttribute(Qt::WA_Hover);
    label->installEventFilter(this);
    return label;
}

QLabel* CGridNavigator::Link(int controlId) const {
    for (QLabel* label : {m_first, m_prior, m_next, m_last, m_of, m_totalLabel}) {
        if (label->property("controlId").toInt() == controlId) {
            return label;
        }
    }
    return nullptr;
}

QString CGridNavigator::GroupDigits(qint64 number) {
    if (number <= 0) {
        return QStringLiteral("0");
    }
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, u',');
    }
    return digits;
}

int CGridNavigator::elementsPerChunkPreference() {
    const int perChunk = elementsPerChunkText().toInt();
    return perChunk > 0 ? perChunk : kDefaultElementsPerChunk;
}

int CGridNavigator::GetChunkCount() const {
    if (m_perChunk <= 0) {
        return 1;
    }
    const qint64 chunks = (static_cast<qint64>(m_total) + m_perChunk - 1) / m_perChunk;
    return static_cast<int>(qMax<qint64>(1, chunks));
}

// A server that sends no entries per chunk (or 0) gets the preference's
// count: dividing by it would fill the drop-down without end.
void CGridNavigator::SetRange(int total, CNavigatorOwner* owner, int chunk, int perChunk) {
    m_total = qMax(0, total);
    m_owner = owner;
    m_chunk = qMax(1, chunk);
    m_perChunk = perChunk > 0 ? perChunk : elementsPerChunkPreference();
    refresh();
}

bool CGridNavigator::Navigate(const QString& word) {
    const int before = m_chunk;
    const int chunks = GetChunkCount();
    if (word == u"first") {
        m_chunk = 1;
    } else if (word == u"prior") {
        if (m_chunk > 1) {
            --m_chunk;
        }
    } else if (word == u"next") {
        if (m_chunk < chunks) {
            ++m_chunk;
        }
    } else if (word == u"last") {
        m_chunk = chunks;
    }
    if (m_chunk == before) {
        return false;
    }
    rerunOwner();
    return true;
}

// The sort column goes into a URL query: it is encoded for it.
QString CGridNavigator::GetChunkQuery() const {
    return kFormat(u"&chunk=%u&numberOfElementsPerChunk=%s&sort=%s&reverse=%s",
                   static_cast<unsigned>(qMax(1, m_chunk)), elementsPerChunkText(),
                   EncodeForURL(m_sortColumn),
                   m_ascending ? QStringLiteral("no") : QStringLiteral("yes"));
}

void CGridNavigator::SetSort(int gridCol, bool ascending) {
    m_chunk = 1;
    const GridColumn* column = m_grid ? m_grid->GetGridColumnEntry(gridCol) : nullptr;
    m_sortColumn = column != nullptr ? column->colname : QString();
    m_ascending = ascending;
    rerunOwner();
}

void CGridNavigator::OnPanelShown() {
    refresh();
}

void CGridNavigator::rerunOwner() {
    if (m_owner != nullptr) {
        m_owner->OnPanelShown();
    }
}

void CGridNavigator::refresh() {
    if (m_site != nullptr) {
        m_site->ShowNavigator(m_owner != nullptr);
    }
    if (m_owner == nullptr) {
        return;
    }
    const qint64 perChunk = m_perChunk;
    m_rangeText =
        rangeText((m_chunk - 1) * perChunk + 1, qMin<qint64>(m_total, m_chunk * perChunk));
    m_totalText = GroupDigits(m_total);
    m_filling = true;
    m_combo->clear();
    for (qint64 first = 1; first <= m_total; first += perChunk) {
        m_combo->addItem(rangeText(first, qMin<qint64>(m_total, first + perChunk - 1)));
    }
    m_combo->setCurrentIndex(m_chunk - 1 < m_combo->count() ? m_chunk - 1 : -1);
    m_combo->setEditText(m_rangeText);
    m_totalLabel->setText(m_totalText);
    m_filling = false;
    layoutControls();
}

void CGridNavigator::onComboChosen(int index) {
    if (m_filling || index < 0 || index + 1 == m_chunk) {
        return;
    }
    m_chunk = index + 1;
    rerunOwner();
}

// Only digits stay in the edit field.
void CGridNavigator::onRangeEdited(const QString& text) {
    if (m_filling) {
        return;
    }
    QString digits;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            digits += c;
        }
    }
    m_rangeText = digits;
    if (digits != text) {
        m_filling = true;
        m_combo->setEditText(digits);
        if (QLineEdit* edit = m_combo->lineEdit()) {
            edit->setCursorPosition(static_cast<int>(digits.size()));
        }
        m_filling = false;
    }
}

void CGridNavigator::setHovered(QLabel* label) {
    if (m_hovered == label) {
        return;
    }
    if (m_hovered != nullptr) {
        m_hovered->setStyleSheet({});
    }
    m_hovered = label;
    if (m_hovered != nullptr) {
        m_hovered->setStyleSheet(
            QStringLiteral("QLabel { color: #0000FF; text-decoration: underline; }"));
    }
}

bool CGridNavigator::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label != nullptr &&
        (label == m_first || label == m_prior || label == m_next || label == m_last)) {
        switch (event->type()) {
            case QEvent::Enter:
                setHovered(label);
                break;
            case QEvent::Leave:
                setHovered(nullptr);
                break;
            case QEvent::MouseButtonRelease:
                if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                    Navigate(label == m_first   ? QStringLiteral("first")
                             : label == m_prior ? QStringLiteral("prior")
                             : label == m_next  ? QStringLiteral("next")
                                                : QStringLiteral("last"));
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CGridNavigator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

// Right to left: total, "of", ">>", ">", the drop-down, "<", "<<".
void CGridNavigator::layoutControls() {
    int right = width() - kRightMargin;
    for (QWidget* control : std::initializer_list<QWidget*>{m_totalLabel, m_of, m_last, m_next,
                                                            m_combo, m_prior, m_first}) {
        const QSize size = control->sizeHint();
        control->resize(size);
        control->move(right - size.width(), (height() - size.height()) / 2);
        right -= size.width() + kControlGap;
    }
}
