#pragma once

// Asks the user for one line of text: the caller sets the question, runs
// the dialog and, when it was accepted, reads the answer.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

class CPromptDialog : public QDialog {
    Q_OBJECT
public:
    explicit CPromptDialog(QWidget* parent);

    // Written by the caller before the dialog is shown.
    QString m_strPromptText;
    // Read by the caller when the dialog was accepted; empty otherwise.
    QString m_strResultText;

    // Shows the question with an empty answer each time it runs.
    int exec() override;
    void accept() override;

private:
    QLabel* m_prompt;
    QLineEdit* m_answer;
};
