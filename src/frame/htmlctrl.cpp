#include "frame/htmlctrl.h"

#include "frame/browsersite.h"
#include "framework/klog.h"
#include "resources/htmlpages.h"
#include "ui/popupmessages.h"
#include "ui/popuptype.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <QApplication>
#include <QLayout>

CHtmlCtrl::CHtmlCtrl(QWidget* parent) : CWebPane(parent) {
    WebPage()->SetAppLinkHandler([this](const QString& command) { OnAppCmd(command); });
}

bool CHtmlCtrl::CreateFromStatic(int id, QWidget* parent) {
    if (m_created) {
        return true;
    }
    QWidget* placeholder = nullptr;
    for (QWidget* child : parent->findChildren<QWidget*>()) {
        if (child != this && child->property("controlId").toInt() == id) {
            placeholder = child;
            break;
        }
    }
    if (placeholder == nullptr) {
        kDebugLog(u"CHtmlCtrl::CreateFromStatic(): no control %d.\n", id);
        return false;
    }
    QWidget* holder = placeholder->parentWidget();
    setParent(holder);
    setGeometry(placeholder->geometry());
    setProperty("controlId", id);
    if (QLayout* layout = holder->layout()) {
        delete layout->replaceWidget(placeholder, this);
    }
    delete placeholder;
    show();
    m_created = true;
    return true;
}

bool CHtmlCtrl::LoadFromResource(const QString& name) {
    const QString html = LoadHtmlResource(name);
    if (html.isEmpty()) {
        return false;
    }
    setHtml(html, QUrl(QStringLiteral("about:blank")));
    return true;
}

void CHtmlCtrl::OnAppCmd(const QString& command) {
    if (command.compare(u"Minimise", Qt::CaseInsensitive) == 0) {
        if (QWidget* main = BrowserSite().MainWindow()) {
            main->showMinimized();
        }
    } else if (command.compare(u"Beep", Qt::CaseInsensitive) == 0) {
        QApplication::beep();
    } else {
        QWidget* owner = window();
        // The box's answer changes nothing: it only tells of the word.
        if (HaveUiServices()) {
            UiServices().Bridge().Call([owner, command] {
                return ShowMessageBox(owner, QStringLiteral("Unexpected Command"), command,
                                      kPopupQuestion);
            });
        }
    }
}
