#pragma once

// The program's message boxes: information, warning, error, OK/Cancel and
// Yes/No. The user variable "suppressallpopups" hides every box but errors
// (the default answer is given instead); every error box and every Cancel or
// No answer counts up the global cancel flag, so that a running parse or
// action list stops. Boxes always open on the UI thread; a caller on another
// thread waits for the answer.

#include "ui/popuptype.h"

#include <QString>

#include <functional>

class QWidget;
class CUiBridge;

// The message-box answers the callers compare against.
enum PopupAnswer : int {
    kAnswerNone = 0,
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerYes = 6,
    kAnswerNo = 7
};

// The text as the box shows it: "<br>", a backslash-n pair and every
// carriage-return combination become one line feed, and the ends are trimmed.
QString NormalisePopupText(const QString& text);

class CPopupMessages {
public:
    // What the boxes need of the program around them.
    struct Hooks {
        std::function<bool()> suppressed;      // "suppressallpopups" is set
        std::function<QWidget*()> owner;       // the main frame, null before it exists
        std::function<void()> countError;      // adds 1 to the global cancel flag
        std::function<void()> cancelProgress;  // cancels an active progress dialog
    };
    // Shows one box and returns the answer; replaced by tests.
    using Presenter =
        std::function<int(QWidget* owner, const QString& caption, const QString& text, int type)>;

    CPopupMessages(CUiBridge& bridge, Hooks hooks);

    void SetPresenter(Presenter presenter) { m_presenter = std::move(presenter); }
    // Told when a box opens (true) and closes (false): while a box waits for
    // the user the program is not busy, so its busy animation and cursor rest.
    void SetWaitHook(std::function<void(bool open)> hook) { m_waitHook = std::move(hook); }

    // `type` is one of PopupType.
    int PopupMessage(const QString& text, int type);
    int WarningBox(const QString& text);
    int ErrorBox(const QString& text);
    int OkCancelBox(const QString& text);
    int YesNoBox(const QString& text);
    // A box of the request threads: its own caption, no owner window, and
    // neither suppressed nor counted.
    int ShowWithoutOwner(const QString& text, const QString& caption, int type);

private:
    int show(bool owned, const QString& caption, const QString& text, int type);
    // A question box: the positive answer without a box while suppressed;
    // the negative answer cancels the progress and counts as an error.
    int ask(const QString& text, int type, int positive, int negative);

    CUiBridge& m_bridge;
    Hooks m_hooks;
    Presenter m_presenter;
    std::function<void(bool open)> m_waitHook;
};

// The presenter of the running program: a QMessageBox with plain text, an
// overlong text cut with an ellipsis.
int ShowMessageBox(QWidget* owner, const QString& caption, const QString& text, int type);
