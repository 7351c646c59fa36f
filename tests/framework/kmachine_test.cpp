#include "framework/kmachine.h"

#include "framework/startedframework.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using Machine = StartedFrameworkTest;

TEST_F(Machine, FileAndDirectoryTests) {
    const QString full = writeFile(u"full.txt"_qs, "x");
    const QString empty = writeFile(u"empty.txt"_qs, "");
    struct Case {
        QString path;
        int isDirectory;
        int exists;
        int existsNonEmpty;
    };
    const Case cases[] = {
        {full, 0, 1, 1},   {empty, 0, 1, 0}, {root(), 1, 0, 0}, {root() + u"/missing"_qs, 0, 0, 0},
        {u""_qs, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(kIsDirectory(c.path), c.isDirectory);
        EXPECT_EQ(kFileExists(c.path), c.exists);
        EXPECT_EQ(kFileExists(c.path, true), c.existsNonEmpty);
    }
}

TEST_F(Machine, ShellCommandsQuoteTheirTextArguments) {
    const QString output = root() + u"/out put.txt"_qs;
    const QString hostile = u"it's $(touch injected); `touch injected2` \"q\""_qs;
    ASSERT_EQ(ksystem(u"cd %s && printf '%%s|%%d' %s %d > %s", root(), hostile, 7, output), 1);
    EXPECT_EQ(QString::fromUtf8(readFile(output)), hostile + u"|7"_qs);
    EXPECT_FALSE(QFile::exists(root() + u"/injected"_qs));
    EXPECT_FALSE(QFile::exists(root() + u"/injected2"_qs));

    EXPECT_EQ(ksystem(u"exit 3"), 0);
    EXPECT_TRUE(logText().contains(u"system() response: 3"));
}

TEST_F(Machine, UserAndMachineNames) {
    EXPECT_FALSE(kwhoami().isEmpty());
    EXPECT_NE(kwhoami(), u"ERROR"_qs);
    EXPECT_FALSE(khostname().isEmpty());
    EXPECT_EQ(kpwd(), kpwd());
}

}  // namespace
