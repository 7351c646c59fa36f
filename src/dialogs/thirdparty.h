#pragma once

// The notices window: the notices and licences of the libraries the
// program is built with, in a read-only text box with an OK button. At most
// one exists; the next input anywhere else in the program closes it.

#include "dialogs/inputcheckwindow.h"

class QPlainTextEdit;
class QPushButton;

class CThirdParty : public CInputCheckWindow {
    Q_OBJECT
public:
    // Shows the window, or raises the one that exists.
    static void ShowThirdParty(QWidget* parent = nullptr);
    // The window while it exists, else null.
    static CThirdParty* Instance();

    QPlainTextEdit& NoticesText() { return *m_text; }
    QPushButton& OkButton() { return *m_ok; }

private:
    explicit CThirdParty(QWidget* parent);

    QPlainTextEdit* m_text;
    QPushButton* m_ok;
};
