#pragma once

// The filter panel above a grid of scheduled jobs: a subject pattern, the
// enabled state and the days the jobs run on. The grid's reply can switch
// single filters off.

#include "dialogs/chooserpanel.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;

class CJobChooser : public CChooserPanel {
    Q_OBJECT
public:
    static constexpr int kTemplate = 5621;
    // The Enabled choice as the server and the preferences know it,
    // whatever order the translated words sort in.
    enum EnabledChoice { kAll = 0, kNo = 1, kYes = 2 };

    CJobChooser(const QString& baseUrl, CMyView& view, QTreeWidgetItem* item, CChooserSite& site);

    QString BuildQuery() override;
    void DisableFilters(const QString& list);
    void GridFilterCommand(const QString& command, const QString& text) override;
    void OnDisplayOptions();

    QLineEdit* Subject() const { return m_subject; }
    QComboBox* Enabled() const { return m_enabled; }
    // Sunday first, then Monthly.
    QCheckBox* DayBox(int index) const { return m_days[static_cast<size_t>(index)]; }

protected:
    void SaveState(const QString& prefix) override;

private:
    int enabledChoice() const;

    QLineEdit* m_subject;
    QComboBox* m_enabled;
    std::array<QCheckBox*, 8> m_days{};
};
