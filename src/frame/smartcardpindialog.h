#pragma once

// Asks for the smart card's PIN when a login that the user did not start
// from the login panel (automatic login, login to all) needs the card.

#include <QDialog>

class QLineEdit;

class CSmartCardPinDialog : public QDialog {
    Q_OBJECT
public:
    // `finalTry`: the token says one more wrong PIN locks it.
    CSmartCardPinDialog(const QString& tokenLabel, bool finalTry, QWidget* parent = nullptr);

    QString Pin() const;

private:
    QLineEdit* m_pin;
};
