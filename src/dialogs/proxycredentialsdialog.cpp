#include "dialogs/proxycredentialsdialog.h"

#include "settings/uithreadcall.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <map>
#include <mutex>

namespace {

struct ProxyAnswer {
    QString user;
    QString password;
};

// The answers of this run, by proxy.
std::map<QString, ProxyAnswer>& proxyAnswers() {
    static std::map<QString, ProxyAnswer> answers;
    return answers;
}

}  // namespace

CProxyCredentialsDialog::CProxyCredentialsDialog(const QString& proxy, const QString& user,
                                                 const QString& password, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Proxy Authentication"));
    auto* layout = new QFormLayout(this);
    auto* text = new QLabel(
        QStringLiteral("The proxy %1 requires a user name and password.").arg(proxy), this);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    layout->addRow(text);
    m_user = new QLineEdit(user, this);
    m_password = new QLineEdit(password, this);
    m_password->setEchoMode(QLineEdit::Password);
    layout->addRow(QStringLiteral("&User Name:"), m_user);
    layout->addRow(QStringLiteral("&Password:"), m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString CProxyCredentialsDialog::User() const {
    return m_user->text();
}

QString CProxyCredentialsDialog::Password() const {
    return m_password->text();
}

bool CProxyCredentialsDialog::Ask(const QString& proxy, QString& user, QString& password) {
    ProxyAnswer answer;
    qintptr accepted = 0;
    const bool ran = RunOnUiThread(
        u"proxy credentials",
        [&proxy, &answer]() -> qintptr {
            ProxyAnswer& kept = proxyAnswers()[proxy];
            CProxyCredentialsDialog dialog(proxy, kept.user, kept.password,
                                           QApplication::activeWindow());
            if (dialog.exec() != QDialog::Accepted) {
                return 0;
            }
            kept = {dialog.User(), dialog.Password()};
            answer = kept;
            return 1;
        },
        &accepted);
    if (!ran || accepted == 0) {
        return false;
    }
    user = answer.user;
    password = answer.password;
    return true;
}
