#pragma once

// The program's message boxes: information, warning, error, OK/Cancel and
// Yes/No. The user variable "suppressallpopups" hides every box but errors
// (the default answer is given instead); every error box and every Cancel or
// No answer counts up the global cancel flag, so that a running parse or
// action list stops. Boxes always open on the UI thread; a caller on another
// thread waits for the answer. A request to end the program, with nobody
// to answer, dismisses every box for good.

#include "ui/popuptype.h"

#include <QString>

#include <atomic>
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
    // Closes every box the presenter has open, unanswered.
    using Closer = std::function<void()>;

    CPopupMessages(CUiBridge& bridge, Hooks hooks);

    // A presenter whose boxes return at once needs no closer.
    void SetPresenter(Presenter presenter, Closer closer = {}) {
        m_presenter = std::move(presenter);
        m_closer = std::move(closer);
    }
    // Told when a box opens (true) and closes (false): while a box waits for
    // the user the program is not busy, so its busy animation and cursor rest.
    void SetWaitHook(std::function<void(bool open)> hook) { m_waitHook = std::move(hook); }

    // `type` is one of PopupType.
    int PopupMessage(const QString& text, int type);
    int WarningBox(const QString& text);
    int ErrorBox(const QString& text);
    int OkCancelBox(const QString& text);
    int YesNoBox(const QString& text);
    // Nobody is there to answer (the program is told to end): the open boxes
    // close and no box opens from now on; each gives kAnswerNone, which no
    // caller takes for a yes, not even while boxes are suppressed. UI thread.
    void DismissAll();
    bool IsDismissed() const { return m_dismissed.load(); }
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
    Closer m_closer;
    std::atomic<bool> m_dismissed{false};
    std::function<void(bool open)> m_waitHook;
};

// The presenter of the running program: a QMessageBox with plain text, an
// overlong text cut with an ellipsis.
int ShowMessageBox(QWidget* owner, const QString& caption, const QString& text, int type);
// Its closer: every box ShowMessageBox has open closes.
void CloseMessageBoxes();
