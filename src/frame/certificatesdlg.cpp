#include "frame/certificatesdlg.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CCertificatesDlg::CCertificatesDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Certificates"));
    setProperty("controlId", 570);
    m_list = new QListWidget(this);
    m_list->setProperty("controlId", kListId);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setProperty("controlId", 1);
    m_ok->setEnabled(false);
    buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int row) { m_ok->setEnabled(row >= 0); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void CCertificatesDlg::AddLine(const QString& line) {
    m_list->addItem(line);
}

void CCertificatesDlg::accept() {
    m_chosenIndex = m_list->currentRow();
    if (m_chosenIndex < 0) {
        return;
    }
    m_chosenText = m_list->currentItem()->text();
    QDialog::accept();
}
