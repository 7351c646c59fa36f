#pragma once

// "Certificates": the card's certificates, one line each; OK stays disabled
// until one is selected.

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

class CCertificatesDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kListId = 5640;

    explicit CCertificatesDlg(QWidget* parent = nullptr);

    // Before the dialog is shown.
    void AddLine(const QString& line);
    // After OK: the chosen line's index (-1 when none) and its text.
    int ChosenIndex() const { return m_chosenIndex; }
    const QString& ChosenText() const { return m_chosenText; }

    void accept() override;

private:
    QListWidget* m_list;
    QPushButton* m_ok;
    int m_chosenIndex = -1;
    QString m_chosenText;
};
