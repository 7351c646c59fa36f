#include "dialogs/progressdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kDetailsBoxLines = 14;

}  // namespace

CProgressDialog::CProgressDialog(QWidget* parent)
    : QDialog(parent),
      m_message(new QLabel(this)),
      m_bar(new QProgressBar(this)),
      m_percent(new QLabel(QStringLiteral("[ NN% Done ]"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_details(new QPushButton(QStringLiteral("&Details"), this)),
      m_detailsBox(new QPlainTextEdit(this)) {
    setProperty("controlId", 5144);
    m_message->setProperty("controlId", 5147);
    m_message->setWordWrap(true);
    m_bar->setProperty("controlId", 5145);
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(false);
    m_percent->setProperty("controlId", 5149);
    m_cancel->setProperty("controlId", 5152);
    m_cancel->setAutoDefault(false);
    m_details->setProperty("controlId", 5130);
    m_details->setAutoDefault(false);
    m_details->hide();
    m_detailsBox->setProperty("controlId", 5170);
    m_detailsBox->setReadOnly(true);
    m_detailsBox->setMinimumHeight(m_detailsBox->fontMetrics().lineSpacing() * kDetailsBoxLines);
    m_detailsBox->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_percent, 1);
    buttons->addWidget(m_details);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    layout->addWidget(m_detailsBox, 1);
    layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);

    connect(m_cancel, &QPushButton::clicked, this, &CProgressDialog::cancelPressed);
    connect(m_details, &QPushButton::clicked, this,
            [this] { Q_EMIT detailsToggled(m_detailsBox->isHidden()); });
}

void CProgressDialog::AppendDetail(const QString& line) {
    m_detailsBox->moveCursor(QTextCursor::End);
    m_detailsBox->insertPlainText(line + u'\n');
    m_detailsBox->ensureCursorVisible();
}

void CProgressDialog::ShowDetailsBox(bool visible) {
    m_detailsBox->setVisible(visible);
    adjustSize();
}

void CProgressDialog::reject() {
    Q_EMIT cancelPressed();
}
