#pragma once

// Asks for the name of a new folder or file that the World View pane is about
// to create among a server's file objects. Runs modally; after OK the caller
// reads the name.

#include "frame/myviewdlg.h"

#include <QString>

class QEventLoop;
class QLabel;
class QLineEdit;

class CFolderProperties : public CMyViewDlg {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 267;

    // A folder (non-zero flag) or a file.
    CFolderProperties(QWidget* parent, quint32 folder);

    // Shows the dialog modally; 1 after OK, 2 after Cancel or close.
    int DoModal();
    QString GetName() const { return m_name; }
    QString GetPrompt() const { return m_prompt; }

public Q_SLOTS:
    void accept();
    void reject();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void done(int result);

    QString m_name;
    QString m_prompt;
    quint32 m_folder;
    QLineEdit* m_edit = nullptr;
    QEventLoop* m_loop = nullptr;
    int m_result = 2;
};
