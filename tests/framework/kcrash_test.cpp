#include "framework/kcrash.h"
#include "framework/kmemory.h"
#include "framework/ktext.h"

#include "framework/startedframework.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

// The crash report ends with abort(); no core file is wanted from a test.
void withoutCoreFile() {
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
}

class CrashReport : public StartedFrameworkTest {};

TEST_F(CrashReport, WithDebuggingOffEndsAtOnceWithStatus255) {
    EXPECT_EXIT(kShowCrashContext(0), ::testing::ExitedWithCode(255), "");
    EXPECT_FALSE(logText().contains(u"CRASHED"));
}

TEST_F(CrashReport, WithDebuggingOnReportsContextAndAborts) {
    setDebugLevel(1);
    EXPECT_EXIT(
        {
            withoutCoreFile();
            kSetSegFaultContext(u"parsing the grid reply");
            kShowCrashContext(CRASHCODE_MEMORY);
        },
        ::testing::KilledBySignal(SIGABRT), "");
    const QString log = logText();
    EXPECT_TRUE(log.contains(u"* * * CRASHED * * *"));
    EXPECT_TRUE(log.contains(u"CRASHCODE_MEMORY: self-detected dynamic allocation error."));
    EXPECT_TRUE(log.contains(u"probable explanation for the crash:"));
    EXPECT_TRUE(log.contains(u"parsing the grid reply"));
    EXPECT_TRUE(log.contains(u"dumping core (assuming"));
    EXPECT_FALSE(log.contains(u"SANITY"));
}

TEST_F(CrashReport, OverrunGuardsAreReported) {
    setDebugLevel(1);
    EXPECT_EXIT(
        {
            withoutCoreFile();
            g_SegFaultContext.guard1[0] = u'X';
            g_SegFaultContext.guard2[0] = u'X';
            kShowCrashContext(4711);
        },
        ::testing::KilledBySignal(SIGABRT), "");
    const QString log = logText();
    EXPECT_TRUE(log.contains(u"UNKNOWN(4711)"));
    EXPECT_TRUE(log.contains(u"kShowCrashContext(): SANITY 1 FAILED"));
    EXPECT_TRUE(log.contains(u"kShowCrashContext(): SANITY 2 FAILED"));
}

TEST_F(CrashReport, SignalsGoThroughTheReport) {
    EXPECT_EXIT(
        {
            kInstallCrashHandler();
            std::raise(SIGSEGV);
        },
        ::testing::ExitedWithCode(255), "");

    setDebugLevel(1);
    EXPECT_EXIT(
        {
            withoutCoreFile();
            kInstallCrashHandler();
            kSetSegFaultContext(u"drawing the tree");
            std::raise(SIGSEGV);
        },
        ::testing::KilledBySignal(SIGABRT), "");
    const QString log = logText();
    EXPECT_TRUE(log.contains(u"CRASHCODE=0: self-detected crash condition."));
    EXPECT_TRUE(log.contains(u"drawing the tree"));
}

TEST_F(CrashReport, MemoryBlocks) {
    auto* block = static_cast<unsigned char*>(kmalloc(16, u"test block", true));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::count(block, block + 16, 0), 16);
    kfree(block, u"test block");
    kfree(nullptr, u"nothing");
    EXPECT_TRUE(logText().contains(u"kfree: prevented crash by NOT freeing nothing = NULL"));
}

TEST(FrameworkStart, UseBeforeStartEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // In a fresh process nothing has called kInit yet.
    EXPECT_EXIT(katoh(u"1"), ::testing::ExitedWithCode(255),
                "TORVO: katoh\\(\\) called before kInit\\(\\)!");
}

}  // namespace
