#pragma once

// A test with its own HOME whose framework is started with a log file in it;
// debugging stays off unless the test turns it on.

#include "framework/klog.h"

#include "support/temphome.h"

#include <QFile>

class StartedFrameworkTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        kInit(u"test"_qs, logPath(), debugPath(), 1);
        setDebugLevel(0);
    }

    QString logPath() const { return tempFolder() + u"/test.log"_qs; }
    QString debugPath() const { return tempFolder() + u"/test.dbg"_qs; }
    QString logText() const { return QString::fromUtf8(readFile(logPath())); }

    // The level comes from the debug-flag file; 0 removes it.
    void setDebugLevel(int level) {
        QFile::remove(debugPath());
        if (level > 0) {
            QFile file(debugPath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::number(level));
        }
        kDebugLevel(1);
    }
};
