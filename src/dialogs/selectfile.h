#pragma once

// A file-open dialog for the server behind the selected World View item: a
// data grid lists one server directory at a time ("Action=GetDirectory"),
// the user walks into directories and back up, filters by file type and
// picks one plain-text file, whose server path the dialog returns. The
// directory, the type and the file name are remembered under a caller's key
// prefix, so the next opening starts where this one ended.

#include "framework/kprops.h"
#include "gridctrl/gridowner.h"

#include <QDialog>
#include <QString>

#include <deque>

class CMyGrid;
class CMySystem;
class CMyTree;
class CPreferences;
class QComboBox;
class QLineEdit;
class QPushButton;

class CSelectFile : public QDialog, public CGridOwner {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 430;
    static constexpr int kGridId = 5454;

    CSelectFile(CPreferences& prefs, CMyTree& tree, const QString& keyPrefix,
                const QString& defaultBaseDirectory, QWidget* parent = nullptr);
    ~CSelectFile() override;

    // The server browsed; without one, that of the tree's selected item.
    void SetSystem(CMySystem* system) { m_system = system; }

    // Fills the dialog and lists the first directory; false (after telling
    // the user) when no server can be found.
    bool OnInitDialog();
    // OnInitDialog, then modal; Rejected at once when it fails.
    int exec() override;
    // The server path of the chosen file, after Accepted.
    QString ChosenFile() const { return m_chosenFile; }

    // The handlers.
    void OnFilterChange(int index);
    void OnUp();
    void OnOK();
    qintptr OnGridNotify(GridNotifyHeader* header) override;

    CMyGrid& Grid() { return *m_grid; }
    QComboBox& FileTypes() { return *m_fileTypes; }
    QPushButton& UpButton() { return *m_up; }
    QPushButton& OpenButton() { return *m_open; }
    QLineEdit& PathEdit() { return *m_path; }
    QString CurrentURL() const { return m_currentURL; }
    QString RelativeDirectory() const { return m_relativeDirectory; }
    const std::deque<QString>& BackStack() const { return m_backStack; }

    // "/cmi/Services?Action=GetDirectory&Dir=...&MaxLevel=1" for a server
    // directory, encoded for the query ("$" and "/" stay as they are).
    static QString DirectoryRequest(const QString& directory);

protected:
    bool event(QEvent* event) override;

private:
    QString key(const char16_t* suffix) const;
    QString currentExtension() const;
    void Refresh();
    void selectRow(int row);
    bool isDirectoryRow(int row) const;
    QString selectedValue(const QString& column) const;
    void enterDirectory(int row);
    void chooseFile();
    int singleSelectedRow() const;
    void saveColumnPrefs();

    CPreferences& m_prefs;
    CMyTree& m_tree;
    QString m_keyPrefix;
    QString m_defaultBaseDirectory;
    QString m_currentURL;
    QString m_relativeDirectory;
    std::deque<QString> m_backStack;
    KPROPS m_typeList{10, 10};  // extension = description
    QString m_chosenFile;
    CMySystem* m_system = nullptr;
    bool m_scrolledOnShow = false;

    CMyGrid* m_grid;
    QComboBox* m_fileTypes;
    QPushButton* m_up;
    QPushButton* m_open;
    QLineEdit* m_path;
};
