#include "framework/ktemplate.h"
#include "framework/kfile.h"
#include "framework/kprops.h"

#include "framework/startedframework.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

class Templates : public StartedFrameworkTest {
protected:
    QString fill(const QByteArray& templateText, const std::vector<KNVP>& pairs) {
        const QString path = writeFile(u"page.html"_qs, templateText);
        QBuffer output;
        output.open(QIODevice::WriteOnly);
        EXPECT_EQ(kOutputTemplate(path, pairs, output), 1);
        return QString::fromUtf8(output.data());
    }
};

const QByteArray kPage =
    "<head>\r\n"
    "{{BEGIN}} this line is never written\n"
    "<h1>{{V=TITLE}}</h1> {{V=TITLE}}\n"
    "<table>{{ROWS}} rest dropped</table>\n"
    "{{UNKNOWN}} and {{V=NONE}} stay\n"
    "{{ half open\n"
    "{{END}}\n"
    "<tail>\n";

TEST_F(Templates, StartStopValueAndLineTokens) {
    const std::vector<KNVP> pairs = {{u"{{BEGIN}}"_qs, u"!START!"_qs},
                                     {u"{{V=TITLE}}"_qs, u"Zürich & Co"_qs},
                                     {u"{{ROWS}}"_qs, u"<tr/>"_qs},
                                     {u"{{END}}"_qs, u"!STOP!"_qs}};
    EXPECT_EQ(fill(kPage, pairs),
              u"<h1>Zürich & Co</h1> Zürich & Co\n"
              u"<tr/>\n"
              u"{{UNKNOWN}} and {{V=NONE}} stay\n"
              u"{{ half open\n"_qs);
}

TEST_F(Templates, OutputStartsOnWithoutALeadingStartDirective) {
    const std::vector<KNVP> pairs = {{u"{{V=TITLE}}"_qs, u"T"_qs}, {u"{{END}}"_qs, u"!STOP!"_qs}};
    EXPECT_EQ(fill("a {{V=TITLE}}\n{{END}}\nb\n", pairs), u"a T\n"_qs);
}

TEST_F(Templates, PropertyListWithStartAndStopTokens) {
    const QString path =
        writeFile(u"props.html"_qs, "head\n{{TOP}}\n<title>{{V=TITLE}}</title>\n{{END}}\nfoot\n");
    KPROPS list;
    list.Add(u"{{V=TITLE}}"_qs, u"Properties"_qs);
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    ASSERT_EQ(kOutputTemplateProps(path, list, u"{{TOP}}"_qs, u"{{END}}"_qs, output), 1);
    EXPECT_EQ(output.data(), "<title>Properties</title>\n");

    QBuffer whole;
    whole.open(QIODevice::WriteOnly);
    ASSERT_EQ(kOutputTemplateProps(path, list, {}, {}, whole), 1);
    EXPECT_EQ(whole.data(), "head\n{{TOP}}\n<title>Properties</title>\n{{END}}\nfoot\n");
}

TEST_F(Templates, MissingTemplateFails) {
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    EXPECT_EQ(kOutputTemplate(root() + u"/missing.html"_qs, {}, output), 0);
    EXPECT_TRUE(output.data().isEmpty());
}

using RequiredFields = StartedFrameworkTest;

TEST_F(RequiredFields, NamesTheEmptyFields) {
    struct Case {
        const char* name;
        QString host;
        QString user;
        qsizetype size;
        int result;
        QString message;
    };
    const Case cases[] = {
        {"allFilled", u"h"_qs, u"u"_qs, 500, 0, u""_qs},
        {"oneEmpty", u"h"_qs, u""_qs, 500, 1,
         u"<B>Username</B> needs to be filled in before proceeding."_qs},
        {"twoEmpty", u""_qs, u""_qs, 500, 2,
         u"These fields to be filled in before proceeding:<br>\n\t<li><B>Hostname</B></li>\n"
         u"\t<li><B>Username</B></li>\n\n"_qs},
        {"tooSmall", u"h"_qs, u""_qs, 20, -1, u""_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString message = u"old"_qs;
        EXPECT_EQ(kCheckRequiredFields(message, c.size,
                                       {{c.host, u"Hostname"_qs}, {c.user, u"Username"_qs}}),
                  c.result);
        EXPECT_EQ(message, c.message);
    }
}

using Files = StartedFrameworkTest;

TEST_F(Files, OpenModesAndFormattedPaths) {
    KFILE file;
    EXPECT_EQ(file.Stream(), nullptr);
    ASSERT_EQ(file.Open(u"%s/out-%d.txt", u"w", root(), 7), 1);
    EXPECT_EQ(file.Write(u"line 1\n"), 1);
    ASSERT_EQ(file.Open(u"%s/out-%d.txt", u"a", root(), 7), 1);
    EXPECT_EQ(file.Write(u"zweite Zeile ü\n"), 1);
    file.Close();
    EXPECT_EQ(file.Stream(), nullptr);
    EXPECT_EQ(readFile(root() + u"/out-7.txt"_qs), "line 1\nzweite Zeile \xC3\xBC\n");

    writeFile(u"crlf.txt"_qs, "a\r\nb\r\n");
    ASSERT_EQ(file.Open(u"%s/crlf.txt", u"r", root()), 1);
    EXPECT_EQ(file.Stream()->readAll(), "a\nb\n");
    ASSERT_EQ(file.Open(u"%s/crlf.txt", u"rb", root()), 1);
    EXPECT_EQ(file.Stream()->readAll(), "a\r\nb\r\n");

    EXPECT_EQ(file.Open(u"%s/missing/x.txt", u"r", root()), 0);
    EXPECT_EQ(file.Stream(), nullptr);
    EXPECT_EQ(file.Open(u"%s/crlf.txt", u"x", root()), 0);
    EXPECT_EQ(file.Write(u"nothing open"), 0);
}

}  // namespace
