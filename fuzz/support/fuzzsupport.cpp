#include "support/fuzzsupport.h"

#include "framework/klog.h"
#include "net/wireservices.h"
#include "support/recordingmysystemsite.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>
#include <memory>

namespace {
std::unique_ptr<QTemporaryDir> g_fuzzFolder;
QString g_fuzzFolderPath;

// What a fuzz run offers the wire: boxes stay unanswered, actions, progress
// commands, server processes and requests go nowhere, nothing cancels.
class CFuzzWireServices : public CWireServices {
public:
    int CancelFlag() const override { return 0; }
    void ClearCancelFlag() override {}
    int PopupMessage(const QString&, int) override { return 0; }
    int DispatchCurl(const QString&) override { return 0; }
    int HandlePbarTag(const QString&, const KPROPS&, const QString&,
                      const XmlElementStack&) override {
        return 0;
    }
    int HandlePbarEndTag(const QString&, const QString&, const KPROPS&, const QString&,
                         const XmlElementStack&) override {
        return 0;
    }
    void AddServerPid(const void*, quint32) override {}
    void RemoveServerPid(const void*, quint32) override {}
    void BeginBusy() override {}
    void EndBusy() override {}
    void PumpMessages() override {}
    void RecordUrlTrail(const QString&) override {}
    bool IsAbortedThread() const override { return false; }
    bool AskProxyCredentials(const QString&, QString&, QString&) override { return false; }
    bool StartAsyncRequest(int, quint16&, const QString&, const QString&, const QString&) override {
        return false;
    }
    void CancelRequests(quint16) override {}
};
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // In the temporary folder, which scripts/fuzz puts in memory (a load and
    // an atomic store per input would otherwise wait on the disk) and removes
    // after the run: libFuzzer ends the process without destructors.
    g_fuzzFolder = std::make_unique<QTemporaryDir>();
    if (!g_fuzzFolder->isValid()) {
        std::abort();
    }
    g_fuzzFolderPath = g_fuzzFolder->path();
    // Settings, World Views and the registry store all live under the home
    // folder; a private one keeps the fuzzer off the user's own files.
    qputenv("HOME", QFile::encodeName(g_fuzzFolderPath));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(g_fuzzFolderPath + QStringLiteral("/.config")));
    // Never destroyed: libFuzzer ends the process with exit(), after Qt's own
    // globals are gone, where the application's destructor would crash.
    new QApplication(*argc, *argv);
    SetWireServices(new CFuzzWireServices);
    // The server entries that World Views and replies make find their site:
    // a dispatcher of its own, no settings and no World View.
    new RecordingMySystemSite;
    std::setlocale(LC_NUMERIC, "C");
    // No log and no debug flag file: writing a log line per input would
    // outweigh the work under test.
    kInit(QStringLiteral("fuzz"), QStringLiteral("null"),
          g_fuzzFolderPath + QStringLiteral("/no-debug-flag"), 0);
    return 0;
}

const QString& FuzzFolder() {
    return g_fuzzFolderPath;
}

QString WriteFuzzFile(const QString& name, const uint8_t* data, size_t size) {
    const QString path = g_fuzzFolderPath + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
            static_cast<qint64>(size)) {
        std::abort();
    }
    return path;
}

QString FuzzText(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
