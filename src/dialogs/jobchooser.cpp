#include "dialogs/jobchooser.h"

#include "dialogs/chooserquery.h"
#include "dialogs/choosersite.h"
#include "settings/chooserfilters.h"
#include "settings/preferences.h"
#include "tree/treetexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

struct DayBox {
    int id;
    const char16_t* text;
    // What the grid's list names to switch the box off.
    const char16_t* keyword;
};

constexpr DayBox kDayBoxes[] = {
    {5631, u"Sun", u"sun"}, {5632, u"Mon", u"mon"},         {5623, u"Tue", u"tue"},
    {5624, u"Wed", u"wed"}, {5625, u"Thu", u"thu"},         {5626, u"Fri", u"fri"},
    {5627, u"Sat", u"sat"}, {5633, u"Monthly", u"monthly"},
};
constexpr size_t kMonthlyBox = 7;

}  // namespace

CJobChooser::CJobChooser(const QString& baseUrl, CMyView& view, QTreeWidgetItem* item,
                         CChooserSite& site)
    : CChooserPanel(kTemplate, baseUrl, view, item, site),
      m_subject(new QLineEdit(this)),
      m_enabled(new QComboBox(this)) {
    auto* frame = new QGroupBox(
        QStringLiteral("Show jobs that match the following (use '*' as a wildcard):"), this);
    frame->setProperty("controlId", 5620);
    m_subject->setProperty("controlId", 5629);
    m_enabled->setProperty("controlId", 5628);
    m_go->setText(QStringLiteral("Go"));
    m_go->setProperty("controlId", 5630);
    auto* displayOptions = new QPushButton(QStringLiteral("Display Options"), this);
    displayOptions->setProperty("controlId", 5634);
    displayOptions->setAutoDefault(false);

    // The words sort in the pack's language; the choice each stands for
    // travels with it.
    std::pair<QString, int> choices[] = {{TranslatedResourceString(570), kNo},
                                         {TranslatedResourceString(569), kYes},
                                         {TranslatedResourceString(571), kAll}};
    std::sort(std::begin(choices), std::end(choices));
    for (const auto& [word, choice] : choices) {
        m_enabled->addItem(word, choice);
    }

    auto* grid = new QGridLayout(frame);
    auto* subjectLabel = new QLabel(QStringLiteral("Subject:"), frame);
    subjectLabel->setProperty("controlId", 5621);
    auto* enabledLabel = new QLabel(QStringLiteral("Enabled:"), frame);
    enabledLabel->setProperty("controlId", 5622);
    auto* frequency = new QLabel(QStringLiteral("Frequency:"), frame);
    frequency->setProperty("controlId", 5635);
    grid->addWidget(subjectLabel, 0, 0);
    grid->addWidget(m_subject, 0, 1, 1, 4);
    grid->addWidget(enabledLabel, 0, 5);
    grid->addWidget(m_enabled, 0, 6, 1, 2);
    grid->addWidget(m_go, 0, 8);
    grid->addWidget(displayOptions, 0, 9);
    grid->addWidget(frequency, 1, 0);
    for (size_t box = 0; box < m_days.size(); ++box) {
        m_days[box] = new QCheckBox(QString::fromUtf16(kDayBoxes[box].text), frame);
        m_days[box]->setProperty("controlId", kDayBoxes[box].id);
        grid->addWidget(m_days[box], 1, static_cast<int>(box) + 1);
    }
    grid->setColumnStretch(4, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(frame);

    CleanOnChange(m_subject, CleanNameText);
    connect(displayOptions, &QPushButton::clicked, this, &CJobChooser::OnDisplayOptions);

    CJobChooserFilter filter;
    m_site.Prefs().RestoreJobChooserFilter(filter, ChooserPrefix());
    m_subject->setText(filter.subject);
    const int enabledIndex = m_enabled->findData(filter.status);
    m_enabled->setCurrentIndex(enabledIndex >= 0 ? enabledIndex : m_enabled->findData(kAll));
    for (size_t day = 0; day < filter.days.size(); ++day) {
        m_days[day]->setChecked(filter.days[day] != 0);
    }
    m_days[kMonthlyBox]->setChecked(filter.monthly != 0);
    m_go->setEnabled(true);
}

int CJobChooser::enabledChoice() const {
    return m_enabled->currentIndex() >= 0 ? m_enabled->currentData().toInt() : -1;
}

QString CJobChooser::BuildQuery() {
    m_subject->setText(CleanNameText(m_subject->text()));
    CJobQueryInput input;
    for (size_t day = 0; day < input.days.size(); ++day) {
        input.days[day] = m_days[day]->isChecked();
    }
    input.monthly = m_days[kMonthlyBox]->isChecked();
    input.enabledIndex = enabledChoice();
    input.subject = m_subject->text();
    input.chunkQuery = ChunkQuery();
    return BuildJobQuery(input);
}

void CJobChooser::SaveState(const QString& prefix) {
    CJobChooserFilter filter;
    filter.status = std::max(enabledChoice(), 0);
    filter.subject = m_subject->text();
    for (size_t day = 0; day < filter.days.size(); ++day) {
        filter.days[day] = m_days[day]->isChecked() ? 1 : 0;
    }
    filter.monthly = m_days[kMonthlyBox]->isChecked() ? 1 : 0;
    m_site.Prefs().SaveJobChooserFilter(filter, prefix);
}

void CJobChooser::DisableFilters(const QString& list) {
    m_subject->setEnabled(!list.contains(u"subj"));
    m_enabled->setEnabled(!list.contains(u"status"));
    for (size_t box = 0; box < m_days.size(); ++box) {
        m_days[box]->setEnabled(!list.contains(QString::fromUtf16(kDayBoxes[box].keyword)));
    }
}

void CJobChooser::GridFilterCommand(const QString& command, const QString& text) {
    if (command == u"disable_jobchooser_filters") {
        DisableFilters(text);
    }
}

void CJobChooser::OnDisplayOptions() {
    m_site.ShowOptionsDialog(CChooserSite::kAdvancedOptionsPage);
}
