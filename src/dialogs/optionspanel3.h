#pragma once

// The Advanced page of the options dialog: the login conveniences, how
// element tables filter and show, the items per page, and the temporary
// objects the console leaves in its settings folder with a button that
// deletes them.

#include "framework/kprops.h"

#include <QWidget>

#include <array>

class COptionsDialog;
class CPreferences;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class COptionsPanel3 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 5388;
    // The checkboxes, in the order of their keys.
    enum Check : int {
        kStoreUsernames,
        kStorePasswords,
        kAutoLogin,
        kSCAuthentication,
        kAskStorePass,
        kEnableRealtimeFilter,
        kAutoGo,
        kCheckCount
    };

    explicit COptionsPanel3(COptionsDialog& dialog);

    void OnInitDialog();
    void Refill();
    void OnItemsPerPageChange();
    void OnClearTemporaryObjects();
    // "&Log In Automatically" only with both user names and passwords remembered.
    void UpdateAutoLogin();
    // The checkboxes and the items per page into their keys.
    void Store(CPreferences& prefs) const;
    bool IsTouched() const { return m_touched; }
    bool ItemsPerPageChanged() const { return m_itemsPerPageChanged; }

    // The process-wide list of temporary objects (full path -> "file").
    static KPROPS& TemporaryObjects();

    QCheckBox& CheckBox(Check check) { return *m_checks[static_cast<size_t>(check)]; }
    QLineEdit& ItemsPerPage() { return *m_itemsPerPage; }
    QListWidget& ObjectList() { return *m_objects; }
    QPushButton& ClearButton() { return *m_clear; }
    QGroupBox& LoginGroup() { return *m_loginGroup; }

private:
    void applyReducedLayout();

    COptionsDialog& m_dialog;
    QString m_initialItemsPerPage;
    bool m_touched = false;
    bool m_itemsPerPageChanged = false;
    QListWidget* m_objects;
    std::array<QCheckBox*, kCheckCount> m_checks{};
    QGroupBox* m_loginGroup;
    QLabel* m_filterText;
    QLabel* m_showAllText;
    QLineEdit* m_itemsPerPage;
    QPushButton* m_clear;
};
