#include "frame/logoutdialog.h"

#include "framework/kformat.h"
#include "server/mysystem.h"
#include "tree/mytree.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CLogoutDialog::CLogoutDialog(QWidget* parent, QTreeWidgetItem* item, CMyTree& tree)
    : CMyViewDlg(kTemplateId, parent, item),
      m_item(item),
      m_tree(tree),
      m_system(dynamic_cast<CMySystem*>(item != nullptr ? tree.GetSystem(item) : nullptr)) {
    m_status = new QLabel(this);
    m_status->setProperty("controlId", kStatusId);
    m_status->setTextFormat(Qt::PlainText);
    auto* logout = new QPushButton(QStringLiteral("Logout"), this);
    logout->setProperty("controlId", 1);
    logout->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(logout, 0, Qt::AlignLeft);
    layout->addStretch(1);
    // Queued: the logout replaces this panel, which must not happen inside
    // the button's own event handling.
    connect(logout, &QPushButton::clicked, this, &CLogoutDialog::OnOK, Qt::QueuedConnection);
    if (m_system != nullptr) {
        m_status->setText(StatusLine(*m_system));
    }
}

QString CLogoutDialog::StatusLine(const CMySystem& system) {
    return kFormat(u"[ %s | %s | %s %s | %s ]", system.Host, system.User,
                   system.GetServerTypeText(), system.GetServerVersion(), system.GetServerInfo());
}

void CLogoutDialog::OnOK() {
    if (m_system != nullptr) {
        m_system->Logout(&m_tree, m_item);
    }
}
