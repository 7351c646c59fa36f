#include "framework/klog.h"

#include "support/temphome.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <unistd.h>

#include <thread>

namespace {

const QString kPrefix =
    QStringLiteral(R"(\| %1 \| ZRM   \| \d{5,} \| \d{4}-\d\d-\d\d \d\d:\d\d:\d\d \| )");

class KLogTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        m_log = root() + QStringLiteral("/Quillex.log");
        m_flag = root() + QStringLiteral("/Quillex.dbg");
        qunsetenv("TORVOLOG");
        qunsetenv("TORVODBG");
        qunsetenv("REQUEST_METHOD");
        refreshDebugLevel();
    }

    // The level is cached for the current second across kInit calls; tests
    // read it afresh so an earlier test's flag file cannot leak in.
    void refreshDebugLevel() {
        kSetDebugPath(m_flag);
        kDebugLevel(1);
    }

    void initWithDebugLevel(const QByteArray& flagContents) {
        writeFile(QStringLiteral("Quillex.dbg"), flagContents);
        refreshDebugLevel();
        kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    }

    QStringList logLines() const {
        QString text = QString::fromUtf8(readFile(m_log));
        EXPECT_TRUE(text.endsWith(u'\n'));
        text.chop(1);
        return text.split(u'\n');
    }

    // The lines whose text follows the given tag's prefix, prefix removed.
    QStringList textsTagged(const QString& tag) const {
        const QRegularExpression prefix(u'^' + kPrefix.arg(tag));
        QStringList texts;
        for (const QString& line : logLines()) {
            const QRegularExpressionMatch match = prefix.match(line);
            if (match.hasMatch()) {
                texts << line.mid(match.capturedLength());
            }
        }
        return texts;
    }

    QString m_log;
    QString m_flag;
};

TEST_F(KLogTest, EachLevelWritesItsPrefixedLine) {
    // Only the first start of the framework in a process announces itself as
    // starting; other tests in this binary may have started it already.
    const QString banner = kIsInitialised() ? QStringLiteral("processing next ZRM   request...")
                                            : QStringLiteral("starting ZRM   executable...");
    initWithDebugLevel("1");
    EXPECT_GT(kDebugLog(u"debug %d", 1), 0);
    kWarningLog(u"warning %s", QStringLiteral("zwei"));
    kErrorLog(u"error %u", 3u);

    const QStringList lines = logLines();
    ASSERT_GE(lines.size(), 4);
    // A new log file begins with one line whose tag and text are blanks.
    EXPECT_TRUE(QRegularExpression(u'^' + kPrefix.arg(QStringLiteral("   ")) + QStringLiteral(" $"))
                    .match(lines.first())
                    .hasMatch())
        << lines.first().toStdString();
    EXPECT_EQ(textsTagged(QStringLiteral("DBG")),
              QStringList({QString(60, u'-'), banner, QStringLiteral("debug 1")}));
    EXPECT_EQ(textsTagged(QStringLiteral("WAR")), QStringList{QStringLiteral("warning zwei")});
    EXPECT_EQ(textsTagged(QStringLiteral("ERR")), QStringList{QStringLiteral("error 3")});
}

TEST_F(KLogTest, LaterInitAnnouncesTheNextRequest) {
    initWithDebugLevel("3");
    kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    const QStringList texts = textsTagged(QStringLiteral("DBG"));
    EXPECT_TRUE(texts.contains(QStringLiteral("processing next ZRM   request...")));
    EXPECT_TRUE(texts.contains(QStringLiteral("kInit(): done.")));
}

TEST_F(KLogTest, DebugLinesNeedTheFlagFile) {
    kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    ASSERT_EQ(kDebugLevel(1), 0);
    EXPECT_EQ(kDebugLog(u"hidden"), 0);
    kWarningLog(u"shown");
    EXPECT_TRUE(textsTagged(QStringLiteral("DBG")).isEmpty());
    EXPECT_EQ(textsTagged(QStringLiteral("WAR")), QStringList{QStringLiteral("shown")});
}

TEST_F(KLogTest, NewFlagPathIsReadAtOnce) {
    // A level cached from another flag path earlier in the same second must
    // not hide the start-up lines.
    kSetDebugPath(root() + QStringLiteral("/elsewhere.dbg"));
    ASSERT_EQ(kDebugLevel(1), 0);
    writeFile(QStringLiteral("Quillex.dbg"), "2");
    kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    EXPECT_EQ(kDebugLevel(0), 2);
    EXPECT_FALSE(textsTagged(QStringLiteral("DBG")).isEmpty());
}

TEST_F(KLogTest, FlagFileContentsSetTheLevel) {
    struct Case {
        const char* contents;  // nullptr: no file
        int level;
    } cases[] = {{"3\n", 3}, {"  7 extra", 7}, {"0", 1},
                 {"-2", 1},  {"letters", 1},   {"", 1},
                 {"+4", 4},  {nullptr, 0},     {"123456789012", 123456789}};
    kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    for (const Case& c : cases) {
        QFile::remove(m_flag);
        if (c.contents != nullptr) {
            writeFile(QStringLiteral("Quillex.dbg"), c.contents);
        }
        EXPECT_EQ(kDebugLevel(1), c.level) << (c.contents ? c.contents : "(missing)");
    }
    QFile::remove(m_flag);
    QDir().mkdir(m_flag);
    EXPECT_EQ(kDebugLevel(1), 0) << "a directory switches debugging off";
}

TEST_F(KLogTest, MultiLineTextsSplitIntoLines) {
    struct Case {
        QString text;
        QStringList lines;
    } cases[] = {
        {QStringLiteral("a\nb\n"), {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("a\n\nb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QString(), {QString()}},
        {QStringLiteral("\n"), {QString()}},
    };
    kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    for (const Case& c : cases) {
        QFile::remove(m_log);
        kWarningLog(u"%s", c.text);
        EXPECT_EQ(textsTagged(QStringLiteral("WAR")), c.lines) << c.text.toStdString();
    }
}

// A megabyte-long text (a whole script on one line) must not become a
// megabyte-long log line; the lines around an overlong one are written whole.
TEST_F(KLogTest, OverlongLinesAreCutWithAnEllipsis) {
    kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    for (const qsizetype length : {qsizetype(5000), qsizetype(5 * 1024 * 1024)}) {
        QFile::remove(m_log);
        kWarningLog(u"before\n%s\nafter", QString(length, u'x'));
        const QStringList lines = textsTagged(QStringLiteral("WAR"));
        ASSERT_GE(lines.size(), 2) << length;
        EXPECT_EQ(lines[0], QStringLiteral("before"));
        EXPECT_TRUE(lines[1].startsWith(QStringLiteral("xxxx")));
        EXPECT_TRUE(lines[1].endsWith(u'…')) << length;
        EXPECT_LE(lines[1].size(), 2000);
        if (length < 9000) {
            EXPECT_EQ(lines, QStringList({lines[0], lines[1], QStringLiteral("after")}));
        }
    }

    QFile::remove(m_log);
    kWarningLog(u"%s", QString(20000, u'\n'));
    const QStringList many = textsTagged(QStringLiteral("WAR"));
    EXPECT_LT(many.size(), 10000) << "a message is cut before it is split into lines";
    EXPECT_EQ(many.last(), QStringLiteral("…"));
}

TEST_F(KLogTest, DeletedLogIsRecreated) {
    kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    kWarningLog(u"first");
    ASSERT_TRUE(QFile::remove(m_log));
    kWarningLog(u"second");
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("| second")));
}

TEST_F(KLogTest, NullPathWritesNothing) {
    kInit(QStringLiteral("ZRM"), QStringLiteral("null"), m_flag, 0);
    EXPECT_EQ(kLogWrite(u"WAR", QStringLiteral("nowhere")), 0);
    EXPECT_FALSE(QFile::exists(QStringLiteral("null")));
}

TEST_F(KLogTest, StdoutLinesCarryOnlyTheTag) {
    kInit(QStringLiteral("ZRM"), QStringLiteral("stdout"), m_flag, 0);
    const QString captured = root() + QStringLiteral("/stdout.txt");
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    FILE* capture = std::fopen(QFile::encodeName(captured).constData(), "w");
    ASSERT_NE(capture, nullptr);
    ::dup2(::fileno(capture), STDOUT_FILENO);
    kWarningLog(u"on the console");
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    std::fclose(capture);
    EXPECT_EQ(readFile(captured), QByteArray("| WAR | on the console\n"));
}

TEST_F(KLogTest, EnvironmentChoosesThePaths) {
    struct Case {
        const char* variable;  // value of TORVOLOG; nullptr: unset
        QString expected;
    } cases[] = {
        {nullptr, QString()},  // the argument
        {"", QString()},       // an empty value is ignored
        {"default", QStringLiteral("torvo.log")},
        {"other.log", QStringLiteral("other.log")},
    };
    for (const Case& c : cases) {
        if (c.variable) {
            qputenv("TORVOLOG", c.variable);
        } else {
            qunsetenv("TORVOLOG");
        }
        kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
        const QString expected = c.expected.isEmpty() ? m_log
                                 : c.expected == u"torvo.log"
                                     ? tempFolder() + QStringLiteral("/torvo.log")
                                     : c.expected;
        EXPECT_EQ(kSetLogPath(QString()), expected) << (c.variable ? c.variable : "(unset)");
    }
    qunsetenv("TORVOLOG");
}

TEST_F(KLogTest, ProgramTagIsFiveCharacters) {
    kInit(QStringLiteral("Quillexx"), m_log, m_flag, 0);
    EXPECT_EQ(kProgramTag(), QStringLiteral("Quill"));
    kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    EXPECT_EQ(kProgramTag(), QStringLiteral("ZRM  "));
}

TEST_F(KLogTest, ConcurrentWritersLeaveWholeLines) {
    kInit(QStringLiteral("ZRM"), m_log, m_flag, 0);
    constexpr int kThreads = 8;
    constexpr int kLinesEach = 100;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kLinesEach; ++i) {
                kWarningLog(u"thread %d line %03d %s", t, i, QString(50, QChar(u'a' + t)));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const QRegularExpression whole(QStringLiteral(R"(^thread (\d) line \d{3} ([a-h])\2{49}$)"));
    const QStringList texts = textsTagged(QStringLiteral("WAR"));
    EXPECT_EQ(texts.size(), kThreads * kLinesEach);
    for (const QString& text : texts) {
        ASSERT_TRUE(whole.match(text).hasMatch()) << text.toStdString();
    }
}

TEST_F(KLogTest, HexDumpMarksThePointerAndStaysInRange) {
    initWithDebugLevel("1");
    const unsigned char bytes[] = {'A', 'B', 0x01, 'D', 0x7f, 'F', 'G', 'H', 'I', 'J'};
    kDebugHexDump(bytes + 2, 2, 8);
    const QStringList texts = textsTagged(QStringLiteral("DBG"));
    ASSERT_GE(texts.size(), 4);
    const QString rule = u'+' + QString(56, u'-') + u'+';
    EXPECT_EQ(texts[texts.size() - 4], rule);
    EXPECT_TRUE(texts[texts.size() - 3].endsWith(
        QStringLiteral(" 41  42 <01> 44  7f  46  47  48 | AB.D.FGH |")))
        << texts[texts.size() - 3].toStdString();
    EXPECT_TRUE(texts[texts.size() - 2].endsWith(
        QStringLiteral(" 49  4a                         | IJ       |")))
        << texts[texts.size() - 2].toStdString();
    EXPECT_EQ(texts.last(), rule);
}

}  // namespace
