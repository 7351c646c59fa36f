// A server's login reply, handed to a server connection in place of the
// HTTP answer: its facts, context menus, drag rules and filter options.

#include "server/mysystem.h"
#include "support/fuzzsupport.h"

namespace {
class RepliedSystem : public CMySystem {
public:
    explicit RepliedSystem(QString reply) : m_reply(std::move(reply)) {}

    bool FetchDocument(const QString&, QString& reply, QString& errorText) override {
        reply = m_reply;
        errorText.clear();
        return true;
    }

private:
    QString m_reply;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RepliedSystem system(FuzzText(data, size));
    system.Host = QStringLiteral("fuzz.example");
    QString errorText;
    system.Login(errorText, nullptr, nullptr, false);
    system.GetContextMenu(QStringLiteral("node.menu"));
    return 0;
}
