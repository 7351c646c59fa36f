#include "frame/dialogview.h"

#include "framework/klog.h"
#include "ui/popupmessages.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

CDialogView::CDialogView(CTabsHost host, QWidget* parent)
    : QWidget(parent), m_host(std::move(host)) {}

CDialogView::~CDialogView() = default;

int CDialogView::Render(int templateId) {
    CUiBridge& bridge = UiServices().Bridge();
    if (!bridge.onUiThread()) {
        qintptr made = 0;
        bridge.Send(UiMessage::RenderTabs, static_cast<quintptr>(templateId), 0, &made);
        if (made == 0) {
            return 0;
        }
        // The remembered tab is chosen on the UI thread too; its answer is
        // the render's answer.
        qintptr shown = 0;
        bridge.Call(
            [this] {
                if (m_dialog != nullptr) {
                    m_dialog->OnPanelShown();
                }
                return qintptr{1};
            },
            &shown);
        return static_cast<int>(shown);
    }
    if (RenderOnUIThread(templateId) == 0) {
        return 0;
    }
    m_dialog->OnPanelShown();
    return 1;
}

int CDialogView::RenderOnUIThread(int templateId) {
    delete m_dialog.data();
    if (templateId != CTabs::kTemplateId) {
        UiServices().Popups().ErrorBox(QStringLiteral("BUG in CDialogView::Render() logic."));
        return 0;
    }
    m_dialog = new CTabs(m_host, this);
    m_dialog->setGeometry(rect());
    m_dialog->show();
    return 1;
}

void CDialogView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_dialog != nullptr) {
        m_dialog->setGeometry(rect());
        m_dialog->show();
    }
}
