#pragma once

// The modal options dialog: a page list on the left, one page at a time on
// the right. World View, Date/Time and Advanced are listed; a right
// double-click on the list reveals three pages more (debugging and language
// pack, the language-pack editor and an empty one). Apply and OK write the
// settings of every page the user touched, switch the main World View when
// its address changed, save the settings and tell the outcome on the status
// bar. Cancel puts every setting back as it stood at opening or at the last
// Apply, whatever the pages wrote while the user looked around.

#include "settings/preferencessnapshot.h"

#include <QDialog>
#include <QString>

#include <array>
#include <memory>

class COptionsPanel1;
class COptionsPanel2;
class COptionsPanel3;
class COptionsPanel4;
class COptionsPanel5;
class COptionsPanel6;
class COptionsSite;
class QListWidget;
class QPushButton;
class QStackedWidget;

class COptionsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 301;
    static constexpr int kStoredPage = -1;
    static constexpr int kAdvancedPage = 2;
    static constexpr int kEditorPage = 4;
    static constexpr int kPageCount = 6;

    COptionsDialog(COptionsSite& site, QWidget* parent, int startPage);
    ~COptionsDialog() override;

    // Builds the pages and shows the start page (the constructor's, or the
    // stored one for kStoredPage).
    bool OnInitDialog();
    // OnInitDialog, then modal.
    int exec() override;

    void SwitchPage(int page);
    void ToggleHiddenPages();
    void OnApply();
    void OnOK();
    void OnCancel();

    // The page currently shown, and whether the hidden pages are listed.
    int CurrentPage() const;
    bool HiddenPagesShown() const { return m_hiddenPagesShown; }
    // The process-wide page shown last, for a start page out of range.
    static int LastPageShown();
    static void ResetLastPageShown();

    COptionsSite& Site() { return m_site; }
    QListWidget& PageList() { return *m_pageList; }
    QPushButton& ApplyButton() { return *m_apply; }
    QPushButton& OkButton() { return *m_ok; }
    QPushButton& CancelButton() { return *m_cancel; }
    COptionsPanel1& WorldViewPage() { return *m_panel1; }
    COptionsPanel2& DateTimePage() { return *m_panel2; }
    COptionsPanel3& AdvancedPage() { return *m_panel3; }
    COptionsPanel4& DebuggingPage() { return *m_panel4; }
    COptionsPanel5& EditorPage() { return *m_panel5; }
    // The pages' own actions that saved settings on purpose ("Clear all
    // Temporary Objects Now") make the state Cancel returns to.
    void RenewSnapshot() { m_snapshot.Take(); }

    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* page(int index) const;
    void addHiddenItems();
    void applyWorldView(QString& status);
    void applyDateTime(QString& status);
    void applyAdvanced();
    void applyDebugging();
    QString dateTimeSnapshot() const;
    void emptyPreview();

    COptionsSite& m_site;
    QListWidget* m_pageList;
    QStackedWidget* m_frame;
    QPushButton* m_ok;
    QPushButton* m_apply;
    QPushButton* m_cancel;
    COptionsPanel1* m_panel1 = nullptr;
    COptionsPanel2* m_panel2 = nullptr;
    COptionsPanel3* m_panel3 = nullptr;
    COptionsPanel4* m_panel4 = nullptr;
    COptionsPanel5* m_panel5 = nullptr;
    COptionsPanel6* m_panel6 = nullptr;
    QString m_initialWorldView;
    QString m_dateTimeSnapshot;
    int m_startPage;
    bool m_hiddenPagesShown = false;
    bool m_initialised = false;
    CPreferencesSnapshot m_snapshot;
};

// The normalised World View address of the options pages: the browse hint
// gives an empty address (nothing to load or record); anything else keeps
// its case, since local paths and https addresses are case-sensitive here.
QString NormaliseWorldViewAddress(const QString& address, const QString& hint);
