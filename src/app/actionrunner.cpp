#include "app/actionrunner.h"

#include "app/actionhelp.h"
#include "app/actioninterpreter.h"
#include "app/actions.h"
#include "app/actionwindows.h"
#include "app/theapp.h"
#include "framework/klog.h"
#include "settings/urltext.h"
#include "ui/busycursor.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

constexpr int kDelayStepMSecs = 250;
// How long the runner waits for the busy counter between two actions.
constexpr int kBusyWaitSeconds = 20;

// A script is UTF-8 (a byte-order mark dropped); one written elsewhere in a
// single-byte code page still runs, one byte per character.
QString decodeScript(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = QString::fromLatin1(bytes);
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return text;
}

}  // namespace

CActionRunner::CActionRunner(CTheApp& app)
    : m_app(app), m_stepPause([this](int milliseconds) {
          m_app.Actions().Pause(std::chrono::milliseconds(milliseconds));
      }) {}

void CActionRunner::buildParameters(char16_t mode, QString& selected, QString& target) {
    CMyTree& tree = m_app.Tree();
    QTreeWidgetItem* item = tree.GetSelectedItem();
    if (mode == u'G') {
        const QString keys = m_app.ActionWindows().GridSelectedRowsByColProp(QStringLiteral(","),
                                                                             QStringLiteral("@"));
        if (!keys.isEmpty()) {
            selected = QStringLiteral("&Selected=") + EscapeURLChars(keys);
        }
        const QString id = tree.GetID(item);
        if (!id.isEmpty()) {
            target = QStringLiteral("&Target=") + EscapeURLChars(id);
        }
    } else if (mode == u'T') {
        const CMyItem* record = tree.GetMyItem(item);
        if (record != nullptr && !record->ID.isEmpty()) {
            selected = QStringLiteral("&Selected=,") + EscapeURLChars(record->ID);
        }
    }
}

int CActionRunner::RunActions(const KPROPS& list, char16_t mode, QTreeWidget* window) {
    if (window != nullptr) {
        WriteActionListHelp(*window);
        return kActionHelpWritten;
    }
    const CBusyCursor busy;
    const int busyTarget = m_app.BusyCount();
    m_app.SetCancelFlag(0);
    if (mode == u'S') {
        m_app.SetActionRunFlags(m_app.ActionRunFlags() | 1U);
    }
    QString selected;
    QString target;
    buildParameters(mode, selected, target);
    QString extra;
    KPROPS actionList(100, 10);
    CActionInterpreter& interpreter = m_app.Interpreter();
    CActions& actions = m_app.Actions();
    const quint64 abortsAtStart = actions.AbortCount();
    const QString dashes(60, u'-');

    const int count = list.Count();
    for (int i = 0; i < count && m_app.CancelFlag() == 0; ++i) {
        int result = 1;
        const QString name = list.GetNameAt(i);
        const QString action = list.GetValueAt(i);
        kDebugLog(u"%.60s%.60s\n", dashes, dashes);
        kDebugLog(u"Action[%02u/%02u/%s] = %s\n", static_cast<unsigned>(i + 1),
                  static_cast<unsigned>(count), name, action);
        kDebugLog(u"%.60s%.60s\n", dashes, dashes);
        m_app.LogAction(kFormat(u"%s: %s", name, action));

        quint64 ticket = 0;
        CActionContext context;
        context.command = action;
        context.result = &result;
        if (action.startsWith(u"curl:")) {
            const int code = interpreter.DispatchCurl(context, &ticket);
            if (code != kActionDone && (code & kActionMessageShown) == 0) {
                m_app.ScriptError(kFormat(u"FAILED: %s", action));
                break;
            }
        } else {
            context.selected = selected;
            context.target = target;
            context.extra = extra;
            context.list = &actionList;
            context.name = name;
            const int code = interpreter.DispatchCurl(context, &ticket);
            extra = context.extra;
            if (code != kActionDone && (code & kActionUnknown) != 0 &&
                (code & kActionMessageShown) == 0) {
                m_app.ScriptError(kFormat(u"Unknown Action: %s", action));
                break;
            }
        }
        // The worker must have finished this action before the next one is
        // handed over, or an error it counts could not stop the next.
        if (ticket != 0 && !actions.WaitUntilDone(ticket)) {
            kWarningLog(u"RunActions: no action worker; the list ends.\n");
            break;
        }
        if (actions.AbortCount() != abortsAtStart) {
            kDebugLog(u"RunActions: the actions were aborted.\n");
            break;
        }
        if (i + 1 < count) {
            m_app.WaitForBrowser(busyTarget, kBusyWaitSeconds);
        }
        if (m_app.CancelFlag() == 0 && result != 0) {
            delayAfterAction();
        }
    }
    const int errors = m_app.CancelFlag();
    m_app.LogAction(kFormat(u"%u error%s", static_cast<unsigned>(errors),
                            errors == 1 ? QString() : QStringLiteral("s")));
    return errors != 0 ? kActionFailed : kActionDone;
}

void CActionRunner::delayAfterAction() {
    const int delay = m_app.Interpreter().ActionDelayMSecs();
    if (delay == 0) {
        return;
    }
    kDebugLog(u":: ActionDelayMSecs = %u ", static_cast<unsigned>(delay));
    if (delay > 0) {
        for (int step = (delay - 1) / kDelayStepMSecs + 1; step > 0; --step) {
            kDebugLog(u".");
            m_stepPause(kDelayStepMSecs);
        }
    }
    kDebugLog(u"\n");
}

bool CActionRunner::RunActionScript(const QString& path) {
    KPROPS list(100, 10);
    if (LoadActionScript(path, list) == 0) {
        return false;
    }
    return RunActions(list, u'S') == kActionDone;
}

int CActionRunner::LoadActionScript(const QString& path, KPROPS& list) {
    QFile file(path);
    QString reason;
    if (QFileInfo(path).isDir()) {
        reason = QStringLiteral("It is a folder, not a file.");
    } else if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
    }
    QByteArray bytes;
    if (reason.isEmpty()) {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            reason = file.errorString();
        }
    }
    if (!reason.isEmpty()) {
        m_app.PopupMessage(kFormat(u"Could not read the action script %s:\n%s", path, reason),
                           kPopupError);
        return 0;
    }
    const QStringList lines = decodeScript(bytes).split(u'\n');
    unsigned lineNumber = 0;
    for (const QString& raw : lines) {
        ++lineNumber;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        list.Add(kFormat(u"line:%u", lineNumber), line);
    }
    return 1;
}
