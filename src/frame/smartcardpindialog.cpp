#include "frame/smartcardpindialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

CSmartCardPinDialog::CSmartCardPinDialog(const QString& tokenLabel, bool finalTry, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Smart Card PIN"));
    auto* layout = new QFormLayout(this);
    auto* token = new QLabel(tokenLabel, this);
    token->setTextFormat(Qt::PlainText);
    layout->addRow(QStringLiteral("Smart card:"), token);
    if (finalTry) {
        auto* warning =
            new QLabel(QStringLiteral("One more wrong PIN locks this smart card."), this);
        warning->setProperty("finalTry", true);
        layout->addRow(warning);
    }
    m_pin = new QLineEdit(this);
    m_pin->setEchoMode(QLineEdit::Password);
    m_pin->setProperty("controlId", 5024);
    layout->addRow(QStringLiteral("Smart Card PIN:"), m_pin);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString CSmartCardPinDialog::Pin() const {
    return m_pin->text();
}
