// The shared main of every test binary: a QApplication exists for the whole
// run, on the offscreen platform unless the test environment asks for another.
// Every test starts with recording wire services and a recording server
// connection site installed.

#include "platform/webschemes.h"
#include "support/recordingmysystemsite.h"
#include "support/recordingwireservices.h"

#include <QApplication>
#include <QThreadPool>

#include <gmock/gmock.h>

#include <clocale>
#include <memory>

namespace {

// The sites that wire classes, server entries, grids and panels reach for
// while a test makes them without a running application. Every test starts
// with these installed, whatever an earlier test's application left; a test
// or application that installs its own puts them back when done.
class BaselineSites : public ::testing::EmptyTestEventListener {
public:
    BaselineSites() {
        // A box nobody answers.
        m_wireServices.popupAnswer = 0;
    }
    void OnTestStart(const ::testing::TestInfo&) override {
        SetWireServices(&m_wireServices);
        m_systemSite = std::make_unique<RecordingMySystemSite>();
    }
    // Called after the test's fixture is gone.
    void OnTestEnd(const ::testing::TestInfo&) override { m_systemSite.reset(); }

private:
    RecordingWireServices m_wireServices;
    std::unique_ptr<RecordingMySystemSite> m_systemSite;
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
    // The listeners own what they are given; the sites live until the run ends.
    ::testing::UnitTest::GetInstance()->listeners().Append(new BaselineSites);
    return RUN_ALL_TESTS();
}
