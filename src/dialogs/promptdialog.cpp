#include "dialogs/promptdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CPromptDialog::CPromptDialog(QWidget* parent)
    : QDialog(parent),
      m_prompt(new QLabel(QStringLiteral("{Prompt Text}"), this)),
      m_answer(new QLineEdit(this)) {
    setProperty("controlId", 556);
    setWindowTitle(QStringLiteral("Quillet for Velnix"));
    m_prompt->setProperty("controlId", 5565);
    m_prompt->setWordWrap(true);
    m_answer->setProperty("controlId", 5566);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setProperty("controlId", 1);
    buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPromptDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPromptDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_answer);
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 70);
}

int CPromptDialog::exec() {
    m_prompt->setText(m_strPromptText);
    m_answer->clear();
    m_strResultText.clear();
    m_answer->setFocus();
    return QDialog::exec();
}

void CPromptDialog::accept() {
    m_strResultText = m_answer->text();
    QDialog::accept();
}
