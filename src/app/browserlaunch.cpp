// The application's browsers outside the browser pane: floating browser
// bars, the help window, server pop-up windows, script pages and the
// properties page.

#include "app/actionwindows.h"
#include "app/browserpages.h"
#include "app/history.h"
#include "app/theapp.h"
#include "frame/browserview.h"
#include "frame/iebar.h"
#include "frame/mainframe.h"
#include "frame/webwnd.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/kpath.h"
#include "framework/ktext.h"
#include "resources/strings.h"
#include "server/mysystem.h"
#include "settings/settingsfolder.h"
#include "settings/urltext.h"
#include "settings/wholefile.h"
#include "settings/windowtitletoken.h"

#include <QDateTime>
#include <QUrl>

namespace {

constexpr qsizetype kLongUrl = 2000;
constexpr int kPopupSteps = 15;
constexpr int kStepPixels = 10;
constexpr qint64 kTemplateKeepSecs = 30;

// The live-report module's reports run in a browser plug-in that must be
// switched on for the program's process.
const QString kLiveReportParameter = QStringLiteral("ReportType=LiveMonitor");
const char* const kPluginVariable = "JAVA_PLUGIN_WEBCONTROL_ENABLE";

QString fileUrl(const QString& path) {
    return QUrl::fromLocalFile(path).toString();
}

void enableLiveReportPlugin() {
    const QByteArray value = qgetenv(kPluginVariable).left(4);
    if (qEnvironmentVariableIsSet(kPluginVariable)) {
        kDebugLog(u"JAVA_PLUGIN_WEBCONTROL_ENABLE=%s\n", QString::fromLocal8Bit(value));
    } else {
        kDebugLog(
            u"Environment variable JAVA_PLUGIN_WEBCONTROL_ENABLE does not exist. Will try "
            u"to set this variable for this process...\n");
    }
    if (value != "1" && !qputenv(kPluginVariable, "1")) {
        kErrorLog(u"SetEnvironmentVariable failed (%d)\n", errno);
    }
    if (qEnvironmentVariableIsSet(kPluginVariable)) {
        kDebugLog(u"JAVA_PLUGIN_WEBCONTROL_ENABLE=%s\n",
                  QString::fromLocal8Bit(qgetenv(kPluginVariable)));
    } else {
        kDebugLog(u"Environment variable JAVA_PLUGIN_WEBCONTROL_ENABLE still does not exist.\n");
    }
}

qint64 nowSecs() {
    return QDateTime::currentSecsSinceEpoch();
}

}  // namespace

int CTheApp::LaunchBrowser(const QString& url, const QString& title, const QString& postData) {
    if (m_mainFrame == nullptr || m_mainFrame->GetMyView() == nullptr || !m_floatingBars) {
        kDebugLog(u"NULL Pointer!\n");
        return 0;
    }
    const CMySystem* system = GetSystem(nullptr);
    QString target = url;
    if (target.contains(kLiveReportParameter)) {
        enableLiveReportPlugin();
    }
    if (!IsURL(target) && system != nullptr) {
        target = system->GetBaseURL(false) + target;
    }
    bool post = target.contains(u'?') || target.size() >= kLongUrl;
    const QRect rect = cascadeRect(m_barCascade);
    if (!postData.isEmpty()) {
        target += (target.contains(u'?') ? u'&' : u'?') + postData;
        post = true;
    }
    History().AddToURLTrail(target);
    QString launched = target;
    if (post) {
        const QString page = PathJoin(Getlocalsettingsdir(), u"Quillex.html");
        if (WriteStringToFile(page, AutoPostPage(target, LangLookup(LoadResourceString(518)))) ==
            0) {
            kErrorLog(u"Could not write to: %s\n", page);
        } else {
            launched = fileUrl(page);
        }
    }
    m_floatingBars->Launch(launched, rect, title);
    if (launched.size() >= kLongUrl) {
        PopupMessage(QStringLiteral("FYI: Your request will get clipped."), kPopupInformation);
    }
    return 1;
}

int CTheApp::LaunchHelp(const QString& page) {
    const CMySystem* system = GetSystem(nullptr);
    const QString help = system != nullptr && !system->GetHelpURL().isEmpty()
                             ? system->GetHelpURL()
                             : QStringLiteral("/help/WebHelp/starthelp.htm");
    QString target = page.isEmpty() ? help : page;
    if (!IsURL(target)) {
        if (system != nullptr) {
            target = system->GetBaseURL(false) + target;
        } else {
            const QString token = GetWindowTitleToken();
            if (token.isEmpty()) {
                PopupMessage(LangLookup(LoadResourceString(559)), kPopupInformation);
                return 0;
            }
            target = token + target;
        }
    }
    if (m_helpWindow.isNull()) {
        m_helpWindow = new CWebWnd;
        m_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_helpWindow->setWindowIcon(m_mainFrame != nullptr ? m_mainFrame->windowIcon() : QIcon());
        m_helpWindow->resize(900, 700);
    }
    m_helpWindow->Navigate(target);
    m_helpWindow->show();
    m_helpWindow->raise();
    return 1;
}

int CTheApp::ShowPopupWindow(const QString& url) {
    const qint64 now = nowSecs();
    const QString name = kFormat(u"win%03lu", static_cast<unsigned long>(now));
    CBrowserView* browser = m_mainFrame != nullptr ? m_mainFrame->GetBrowserView() : nullptr;
    if (m_mainFrame == nullptr || m_mainFrame->GetMyView() == nullptr || browser == nullptr) {
        kDebugLog(u"NULL Pointer!\n");
        return 0;
    }
    const CMySystem* system = GetSystem(nullptr);
    if (system == nullptr) {
        History().AddToURLTrail(url);
        browser->Navigate2(url, 0, name);
        return 1;
    }
    m_popupStep = m_popupStep % kPopupSteps + 1;
    const int step = m_popupStep * kStepPixels;
    const QWidget& pane = m_mainFrame->RightSplitter();
    const QPoint corner = pane.mapToGlobal(QPoint(0, 0));
    const QString features = kFormat(u"left=%d,top=%d,width=%d,height=%d", step + corner.x(),
                                     step + corner.y(), pane.width(), pane.height());
    if (system->ServerType != CMySystem::kServerTypeVelnix) {
        return ShowScriptPage(WindowOpenScript(url, name, features));
    }
    // The server parses this form as it is: features and URL unencoded.
    QString changed = url;
    changed.replace(u'?', u'&');
    QString popup = kFormat(u"/cmi/Services?PopupWin=win%u&PopupProps=%s&Popup=%s",
                            static_cast<unsigned>(now), features, changed);
    if (!IsURL(popup)) {
        popup = system->GetBaseURL(false) + popup;
    }
    History().AddToURLTrail(popup);
    browser->Navigate2(popup);
    return 1;
}

int CTheApp::ShowScriptPage(const QString& script) {
    const QString path = MakeTempFilePath(QStringLiteral(".html"), QStringLiteral("js"));
    if (WriteStringToFile(path, ScriptPage(script)) == 0) {
        PopupMessage(QStringLiteral("Could not write to: ") + path, kPopupInformation);
        return 0;
    }
    const QString url = fileUrl(path);
    History().AddToURLTrail(url);
    if (m_mainFrame != nullptr) {
        m_mainFrame->WizardBar().Navigate(url);
    }
    return 1;
}

int CTheApp::ShowProperties(CMySystem* system, const KPROPS& properties, bool inPopup,
                            const QString& title) {
    const QString templateUrl = QStringLiteral("/cmi/properties.html");
    const QString templatePath = MakeTempFilePath(QStringLiteral("form"), QStringLiteral("props"));
    const QString pagePath = MakeTempFilePath(QStringLiteral("html"), QStringLiteral("props"));
    const QString failed =
        LangLookup(QStringLiteral("Failed to show properties.")) + QStringLiteral("\n\r");
    if (system == nullptr) {
        ErrorBox(failed + LangLookup(QStringLiteral("Could not fetch: ")) + templateUrl);
        return 0;
    }
    const qint64 now = nowSecs();
    if (system != m_propsTemplateServer || now - m_propsTemplateTime > kTemplateKeepSecs) {
        SetCancelFlag(0);
        QString form;
        QString errorText;
        if (!system->FetchDocument(templateUrl, form, errorText)) {
            ErrorBox(failed + LangLookup(QStringLiteral("Could not fetch: ")) + templateUrl);
            return 0;
        }
        if (WriteStringToFile(templatePath, form) == 0) {
            ErrorBox(failed + LangLookup(QStringLiteral("Could not write: ")) + templatePath);
            return 0;
        }
        m_propsTemplateServer = system;
        m_propsTemplateTime = now;
    }
    QString form;
    if (ReadTextFile(templatePath, form) == 0) {
        ErrorBox(failed + LangLookup(QStringLiteral("Could not fetch: ")) + templatePath);
        return 0;
    }
    const QString page = PropertiesPage(
        form, properties, title.isEmpty() ? LangLookup(QStringLiteral("Properties")) : title,
        system->GetBaseURL(false),
        inPopup ? QStringLiteral("javascript:self.close();")
                : QStringLiteral("curl:CloseProperties"));
    if (WriteStringToFile(pagePath, page) == 0) {
        ErrorBox(failed + LangLookup(QStringLiteral("Could not write: ")) + pagePath);
        return 0;
    }
    const QString url =
        fileUrl(pagePath) +
        kFormat(u"?NeverCache=%lu", static_cast<unsigned long>(kRandom(100, 10000000)));
    if (inPopup) {
        return ShowPopupWindow(url);
    }
    return m_mainFrame != nullptr ? m_mainFrame->OpenProperties(url) : 0;
}
