#pragma once

// Asks for the user name and password of a proxy that answered 407. What
// the user types is kept in memory for the run only (so the next question
// about the same proxy starts filled in) and never stored or logged.

#include <QDialog>

class QLineEdit;

class CProxyCredentialsDialog : public QDialog {
    Q_OBJECT
public:
    CProxyCredentialsDialog(const QString& proxy, const QString& user, const QString& password,
                            QWidget* parent = nullptr);

    QString User() const;
    QString Password() const;

    // Shows the dialog modally on the UI thread (a worker waits for it);
    // false when cancelled or when the UI thread cannot ask.
    static bool Ask(const QString& proxy, QString& user, QString& password);

private:
    QLineEdit* m_user;
    QLineEdit* m_password;
};
