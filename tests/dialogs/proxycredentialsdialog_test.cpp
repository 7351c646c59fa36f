#include "dialogs/proxycredentialsdialog.h"
#include "net/mywire.h"
#include "support/fakevelnixserver.h"
#include "support/recordingwireservices.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Answers the next proxy dialog: types the credentials and presses OK, or
// cancels when the user is empty. Records what the dialog showed first.
class ProxyDialogAnswer {
public:
    ProxyDialogAnswer(QString user, QString password)
        : m_user(std::move(user)), m_password(std::move(password)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start();
    }
    QString shownUser;
    bool passwordMasked = false;
    int answered = 0;

private:
    void answer() {
        auto* dialog = qobject_cast<CProxyCredentialsDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        const QList<QLineEdit*> fields = dialog->findChildren<QLineEdit*>();
        shownUser = fields.at(0)->text();
        passwordMasked = fields.at(1)->echoMode() == QLineEdit::Password;
        ++answered;
        if (m_user.isEmpty()) {
            dialog->reject();
            return;
        }
        fields.at(0)->setText(m_user);
        fields.at(1)->setText(m_password);
        dialog->accept();
    }
    QString m_user;
    QString m_password;
    QTimer m_timer;
};

class ProxyDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The program's answer to a 407: the real dialog.
        services.onProxyQuestion = &CProxyCredentialsDialog::Ask;
        ASSERT_TRUE(server.IsListening());
        server.RequireProxyAuth("proxyuser", "proxypw");
        server.Script("/cmi/Services", FakeVelnixServer::Reply::Xml("<ok/>"));
        qputenv("http_proxy", server.BaseUrl().toUtf8());
    }
    void TearDown() override { qunsetenv("http_proxy"); }

    RecordingWireServices services;
    FakeVelnixServer server;
    const QString url = QStringLiteral("http://velnix.test/cmi/Services?Action=A");
};

TEST_F(ProxyDialogTest, CredentialsTypedInTheDialogGoOnTheRetryAndAreOfferedAgain) {
    {
        ProxyDialogAnswer answer(QStringLiteral("proxyuser"), QStringLiteral("proxypw"));
        CMyWire wire;
        EXPECT_TRUE(wire.OpenConnection(url, {}, {}, {}, false))
            << wire.GetErrorText().toStdString();
        EXPECT_EQ(answer.answered, 1);
        EXPECT_TRUE(answer.passwordMasked);
        const auto requests = server.Requests();
        ASSERT_GE(requests.size(), 2U);
        EXPECT_EQ(requests.back().header("Proxy-Authorization"),
                  "Basic " + QByteArray("proxyuser:proxypw").toBase64());
    }
    // The proxy forgets the client (a new connection): the dialog asks again,
    // filled in with this run's answer; Cancel fails the request.
    ProxyDialogAnswer cancel{QString(), QString()};
    CMyWire wire;
    EXPECT_FALSE(wire.OpenConnection(url, {}, {}, {}, false));
    EXPECT_EQ(wire.GetErrorText(), QStringLiteral("HTTP-407"));
    EXPECT_EQ(cancel.shownUser, QStringLiteral("proxyuser"));
}

}  // namespace
