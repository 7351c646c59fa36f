#include "ui/popupmessages.h"

#include "framework/klog.h"
#include "framework/ktext.h"
#include "resources/strings.h"
#include "ui/uibridge.h"

#include <QMessageBox>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace {

// The boxes ShowMessageBox has open, innermost last; UI thread only.
std::vector<QPointer<QMessageBox>> g_openBoxes;

// A box is read, not searched: 2000 characters fill a screen-sized box, and a
// text of megabytes (a whole script or reply) would take minutes to lay out
// and leave the box too big to close.
constexpr qsizetype kPopupTextLimit = 2000;

}  // namespace

QString NormalisePopupText(const QString& text) {
    QString normal = text;
    normal.replace(QStringLiteral("<br>"), QStringLiteral("\n"));
    normal.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    normal.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return normal.trimmed();
}

int ShowMessageBox(QWidget* owner, const QString& caption, const QString& text, int type) {
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    // Server texts must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(kElided(text, kPopupTextLimit));
    switch (type) {
        case kPopupError:
            box.setIcon(QMessageBox::Critical);
            break;
        case kPopupWarning:
            box.setIcon(QMessageBox::Warning);
            break;
        case kPopupQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case kPopupOkCancel:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case kPopupYesNo:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case kPopupYesNoCancel:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        default:
            box.setIcon(QMessageBox::Information);
            break;
    }
    g_openBoxes.emplace_back(&box);
    const int clicked = box.exec();
    g_openBoxes.erase(std::find(g_openBoxes.begin(), g_openBoxes.end(), &box));
    switch (clicked) {
        case QMessageBox::Cancel:
            return kAnswerCancel;
        case QMessageBox::Yes:
            return kAnswerYes;
        case QMessageBox::No:
            return kAnswerNo;
        default:
            return kAnswerOk;
    }
}

void CloseMessageBoxes() {
    // A copy: each box leaves the list only once its own loop returns.
    const std::vector<QPointer<QMessageBox>> open = g_openBoxes;
    for (const QPointer<QMessageBox>& box : open) {
        if (box != nullptr) {
            box->done(QMessageBox::NoButton);
        }
    }
}

CPopupMessages::CPopupMessages(CUiBridge& bridge, Hooks hooks)
    : m_bridge(bridge),
      m_hooks(std::move(hooks)),
      m_presenter(ShowMessageBox),
      m_closer(CloseMessageBoxes) {}

void CPopupMessages::DismissAll() {
    m_dismissed = true;
    if (m_closer) {
        m_closer();
    }
}

int CPopupMessages::PopupMessage(const QString& text, int type) {
    if (m_hooks.suppressed() && !m_dismissed) {
        if (type != kPopupError) {
            return kAnswerOk;
        }
    } else if (type != kPopupError && type != kPopupWarning) {
        kDebugLog(u"%s", text);
    }
    return show(true, LoadResourceString(457), NormalisePopupText(text), type);
}

int CPopupMessages::ShowWithoutOwner(const QString& text, const QString& caption, int type) {
    return show(false, caption, NormalisePopupText(text), type);
}

int CPopupMessages::show(bool owned, const QString& caption, const QString& text, int type) {
    qintptr answer = kAnswerNone;
    // The owner is looked up on the UI thread, where the frame lives.
    const bool shown = m_bridge.Call(
        [this, owned, &caption, &text, type] {
            if (m_dismissed) {
                kWarningLog(u"Message dismissed: %s", text);
                return static_cast<int>(kAnswerNone);
            }
            if (m_waitHook) {
                m_waitHook(true);
            }
            const int answer = m_presenter(owned ? m_hooks.owner() : nullptr, caption, text, type);
            if (m_waitHook) {
                m_waitHook(false);
            }
            return m_dismissed ? static_cast<int>(kAnswerNone) : answer;
        },
        &answer);
    if (!shown) {
        // The program is closing: the box cannot open, but its text is kept.
        kWarningLog(u"Message not shown: %s", text);
        return kAnswerNone;
    }
    return static_cast<int>(answer);
}

int CPopupMessages::WarningBox(const QString& text) {
    kWarningLog(u"%s", text);
    return PopupMessage(text, kPopupWarning);
}

int CPopupMessages::ErrorBox(const QString& text) {
    m_hooks.countError();
    m_hooks.cancelProgress();
    return PopupMessage(text, kPopupError);
}

int CPopupMessages::OkCancelBox(const QString& text) {
    return ask(text, kPopupOkCancel, kAnswerOk, kAnswerCancel);
}

int CPopupMessages::YesNoBox(const QString& text) {
    return ask(text, kPopupYesNo, kAnswerYes, kAnswerNo);
}

int CPopupMessages::ask(const QString& text, int type, int positive, int negative) {
    if (m_hooks.suppressed() && !m_dismissed) {
        return positive;
    }
    const int answer = PopupMessage(text, type);
    if (answer == negative) {
        m_hooks.cancelProgress();
        m_hooks.countError();
    }
    return answer;
}
