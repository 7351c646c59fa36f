#include "dialogs/optionspanel2.h"

#include "dialogs/optionsdialog.h"
#include "dialogs/optionssite.h"
#include "settings/datetimeformat.h"
#include "settings/preferences.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

struct FormatCombo {
    int controlId;
    const char16_t* key;
    bool date;
};

constexpr std::array<FormatCombo, 6> kFormatCombos{{
    {5260, u"DateFormat", true},
    {5392, u"TimeFormat", false},
    {5261, u"DateFormatDF", true},
    {5393, u"TimeFormatDF", false},
    {5394, u"TimeFormatTF", false},
    {5262, u"DateFormatTF", true},
}};

}  // namespace

COptionsPanel2::COptionsPanel2(COptionsDialog& dialog)
    : m_dialog(dialog),
      m_dateFirst(new QRadioButton(QStringLiteral("&Date First:"), this)),
      m_timeFirst(new QRadioButton(QStringLiteral("&Time First:"), this)) {
    setProperty("templateId", kTemplateId);
    for (size_t i = 0; i < m_combos.size(); ++i) {
        m_combos[i] = new QComboBox(this);
        m_combos[i]->setProperty("controlId", kFormatCombos[i].controlId);
        connect(m_combos[i], &QComboBox::activated, this, [this] { m_touched = true; });
    }
    m_dateFirst->setProperty("controlId", 5444);
    m_timeFirst->setProperty("controlId", 5445);
    // The two radios are checked by their handlers, not by exclusivity.
    m_dateFirst->setAutoExclusive(false);
    m_timeFirst->setAutoExclusive(false);

    auto* settings = new QGroupBox(QStringLiteral("Date and Time Settings"), this);
    auto* zone = new QGroupBox(QStringLiteral("Time zone"), settings);
    auto* zoneText = new QLabel(
        QStringLiteral("All date and time information is automatically converted to local "
                       "(client) time, regardless of where your servers are located.  To display "
                       "dates and times in a different time zone, you must change the time zone "
                       "of your PC."),
        zone);
    zoneText->setWordWrap(true);
    (new QVBoxLayout(zone))->addWidget(zoneText);
    auto* pair = new QGroupBox(QStringLiteral("Date and Time Format"), settings);
    auto* pairLayout = new QGridLayout(pair);
    pairLayout->addWidget(m_dateFirst, 0, 0);
    pairLayout->addWidget(m_combos[2], 0, 1);
    pairLayout->addWidget(m_combos[3], 0, 2);
    pairLayout->addWidget(m_timeFirst, 1, 0);
    pairLayout->addWidget(m_combos[4], 1, 1);
    pairLayout->addWidget(m_combos[5], 1, 2);
    auto* grid = new QGridLayout(settings);
    grid->addWidget(zone, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Date Format"), settings), 1, 0);
    grid->addWidget(m_combos[0], 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Time Format"), settings), 2, 0);
    grid->addWidget(m_combos[1], 2, 1);
    grid->addWidget(pair, 3, 0, 1, 2);
    grid->setRowStretch(4, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(settings);

    connect(m_dateFirst, &QRadioButton::clicked, this, [this] { OnDateFirst(); });
    connect(m_timeFirst, &QRadioButton::clicked, this, [this] { OnTimeFirst(); });
}

void COptionsPanel2::OnInitDialog() {
    const CPreferences& prefs = m_dialog.Site().Prefs();
    for (size_t i = 0; i < m_combos.size(); ++i) {
        const QString key = QString::fromUtf16(kFormatCombos[i].key);
        if (kFormatCombos[i].date) {
            FillDateFormatCombo(prefs, m_combos[i], key);
        } else {
            FillTimeFormatCombo(prefs, m_combos[i], key);
        }
    }
    if (prefs.GetString(QStringLiteral("DateTime"), QStringLiteral("DateFirst")) == u"DateFirst") {
        OnDateFirst();
    } else {
        OnTimeFirst();
    }
}

void COptionsPanel2::OnDateFirst() {
    setOrder(true);
}

void COptionsPanel2::OnTimeFirst() {
    setOrder(false);
}

void COptionsPanel2::setOrder(bool dateFirst) {
    m_dateFirst->setChecked(dateFirst);
    m_timeFirst->setChecked(!dateFirst);
    m_combos[2]->setEnabled(dateFirst);
    m_combos[3]->setEnabled(dateFirst);
    m_combos[4]->setEnabled(!dateFirst);
    m_combos[5]->setEnabled(!dateFirst);
    m_touched = true;
}

void COptionsPanel2::Store(CPreferences& prefs) const {
    for (size_t i = 0; i < m_combos.size(); ++i) {
        const int index = m_combos[i]->currentIndex();
        if (index < 0) {
            continue;
        }
        const QString key = QString::fromUtf16(kFormatCombos[i].key);
        if (kFormatCombos[i].date) {
            prefs.SetDateFormatAt(key, index);
        } else {
            prefs.SetTimeFormatAt(key, index);
        }
    }
    prefs.SetString(QStringLiteral("DateTime"), m_dateFirst->isChecked()
                                                    ? QStringLiteral("DateFirst")
                                                    : QStringLiteral("TimeFirst"));
}
