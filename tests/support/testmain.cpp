// The shared main of every test binary: a QApplication exists for the whole
// run, on the offscreen platform unless the test environment asks for another.
// Every test starts with recording wire services installed, whatever an
// earlier test's application left, since most wire classes reach for them.

#include "platform/webschemes.h"
#include "support/recordingwireservices.h"

#include <QApplication>
#include <QThreadPool>

#include <gmock/gmock.h>

#include <clocale>

namespace {

class BaselineWireServices : public ::testing::EmptyTestEventListener {
public:
    BaselineWireServices() {
        // A box nobody answers.
        m_services.popupAnswer = 0;
    }
    void OnTestStart(const ::testing::TestInfo&) override { SetWireServices(&m_services); }

private:
    RecordingWireServices m_services;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    RegisterWebSchemes();
    QApplication application(argc, argv);
    // Qt's raster engine fills large areas on the global thread pool, whose
    // threads hand its queue to each other under Qt's own futex locks: the
    // thread sanitizer cannot see them. One pooled thread that never expires
    // keeps that queue on one thread; nothing of ours runs on the pool.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleMock(&argc, argv);
    // The listeners own what they are given; the services live until the run ends.
    ::testing::UnitTest::GetInstance()->listeners().Append(new BaselineWireServices);
    return RUN_ALL_TESTS();
}
