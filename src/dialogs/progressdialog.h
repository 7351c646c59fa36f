#pragma once

// The window of a progress display in dialog mode: the action text, the
// percent bar and its label, the Cancel button and the details box that
// the Details button opens. It only shows what its progress display tells
// it; the Cancel button and the Details button are forwarded.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class CProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit CProgressDialog(QWidget* parent);

    QLabel* Message() const { return m_message; }
    QProgressBar* Bar() const { return m_bar; }
    QLabel* PercentLabel() const { return m_percent; }
    QPushButton* CancelButton() const { return m_cancel; }
    QPushButton* DetailsButton() const { return m_details; }
    QPlainTextEdit* DetailsBox() const { return m_detailsBox; }

    // Appends a line to the details box.
    void AppendDetail(const QString& line);
    // Shows or hides the details box; the window takes the height its
    // layout needs.
    void ShowDetailsBox(bool visible);

Q_SIGNALS:
    void cancelPressed();
    void detailsToggled(bool visible);

protected:
    // Enter, Esc and the close box go through the Cancel path: the
    // progress display decides what ending the window means.
    void reject() override;

private:
    QLabel* m_message;
    QProgressBar* m_bar;
    QLabel* m_percent;
    QPushButton* m_cancel;
    QPushButton* m_details;
    QPlainTextEdit* m_detailsBox;
};
