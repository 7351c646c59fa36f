#pragma once

// The Date/Time page of the options dialog: a format for dates, one for
// times, and for a date shown with its time which comes first and the pair
// of formats of each order. Every format is offered as the current local
// time formatted with it, so the user picks by example.

#include <QWidget>

#include <array>

class COptionsDialog;
class CPreferences;
class QComboBox;
class QRadioButton;

class COptionsPanel2 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 5155;

    explicit COptionsPanel2(COptionsDialog& dialog);

    void OnInitDialog();
    void OnDateFirst();
    void OnTimeFirst();
    // The six combos by their selected index, and "DateTime".
    void Store(CPreferences& prefs) const;
    bool IsTouched() const { return m_touched; }

    // 5260, 5392, 5261, 5393, 5394, 5262, in this order.
    QComboBox& Combo(int index) { return *m_combos[static_cast<size_t>(index)]; }
    QRadioButton& DateFirstRadio() { return *m_dateFirst; }
    QRadioButton& TimeFirstRadio() { return *m_timeFirst; }

private:
    // The radios and which pair of combos is enabled.
    void setOrder(bool dateFirst);

    COptionsDialog& m_dialog;
    std::array<QComboBox*, 6> m_combos{};
    QRadioButton* m_dateFirst;
    QRadioButton* m_timeFirst;
    bool m_touched = false;
};
