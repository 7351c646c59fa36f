#include "dialogs/thirdparty.h"

#include "resources/notices.h"
#include "tree/treetexts.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace {

QPointer<CThirdParty> g_thirdParty;

}  // namespace

CThirdParty::CThirdParty(QWidget* parent)
    : CInputCheckWindow(TranslatedResourceString(455), QSize(405, 250), parent) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    m_text = new QPlainTextEdit(this);
    m_text->setProperty("controlId", 5467);
    m_text->setReadOnly(true);
    m_text->setFont(font);
    m_text->setGeometry(10, 10, 380, 170);
    m_text->setPlainText(ThirdPartyNoticesText());
    m_ok = new QPushButton(TranslatedResourceString(200), this);
    m_ok->setProperty("controlId", 1);
    m_ok->setGeometry(306, 190, 84, 20);
    connect(m_ok, &QPushButton::clicked, this, &CThirdParty::DestroyWindow);
}

void CThirdParty::ShowThirdParty(QWidget* parent) {
    if (CThirdParty* shown = Instance()) {
        shown->update();
        shown->raise();
        return;
    }
    g_thirdParty = new CThirdParty(parent);
    g_thirdParty->showCentred(parent);
    g_thirdParty->m_ok->setFocus();
}

CThirdParty* CThirdParty::Instance() {
    return g_thirdParty != nullptr && !g_thirdParty->IsClosing() ? g_thirdParty.data() : nullptr;
}
