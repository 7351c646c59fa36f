#pragma once

// The World View page of the options dialog: where the World View comes
// from (a local file, or an http, https or ftp address with the user name
// and password for it). Every choice loads at once into a preview tree of
// the page's own, so that a bad address is caught before Apply switches the
// main tree; the main World View is never touched here.

#include "tree/mytree.h"
#include "tree/worldviewfile.h"

#include <QString>
#include <QWidget>

class COptionsDialog;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class COptionsPanel1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 5153;

    explicit COptionsPanel1(COptionsDialog& dialog);
    ~COptionsPanel1() override;

    void OnInitDialog();
    void UpdateControls();
    void LoadPreview();
    void ApplyAddress();
    void OnAddressSelChange();
    void OnBrowse();
    // Empties the preview tree.
    void ClearPreview();

    // The address as the combo shows it.
    QString AddressText() const;
    QString InitialAddress() const { return m_initialAddress; }
    bool IsChanged() const { return m_changed; }

    QComboBox& AddressCombo() { return *m_address; }
    QPushButton& BrowseButton() { return *m_browse; }
    QLabel& AuthLabel() { return *m_authLabel; }
    QLabel& PasswordLabel() { return *m_passwordLabel; }
    QLineEdit& UserEdit() { return *m_user; }
    QLineEdit& PasswordEdit() { return *m_password; }
    QTreeWidget& PreviewCtrl() { return *m_previewCtrl; }
    CMyTree& Preview() { return m_preview; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadPreview(bool rerun);
    // The combo's selection, -1 while its text is typed rather than chosen.
    int currentSelection() const;
    QString hint() const;
    QString normalisedAddress() const;
    void showCredentialFields(bool show);
    void onEditChange();
    void storeCredentials();
    void fillCombo();

    COptionsDialog& m_dialog;
    CMyTree m_preview;
    CWorldViewFile m_previewFile;
    QLabel* m_authLabel;
    QLabel* m_passwordLabel;
    QComboBox* m_address;
    int m_lastGoodSelection = 0;
    bool m_changed = false;
    QString m_initialAddress;
    QTreeWidget* m_previewCtrl;
    QPushButton* m_browse;
    QLineEdit* m_user;
    QLineEdit* m_password;
};
