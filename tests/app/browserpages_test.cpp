#include "app/browserpages.h"
#include "frame/webpage.h"
#include "framework/kprops.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

// Reads a JavaScript string literal back the way a script engine would.
QString parsedLiteral(const QString& literal) {
    const QJsonDocument parsed = QJsonDocument::fromJson(u'[' + literal.toUtf8() + u']');
    return parsed.isArray() ? parsed.array().at(0).toString() : QStringLiteral("<not JSON>");
}

TEST(JavaScriptString, CarriesEveryTextIntact) {
    for (const QString& text :
         {QStringLiteral("plain"), QStringLiteral("it's \"quoted\""), QStringLiteral("back\\slash"),
          QStringLiteral("</script><b>x</b>"), QStringLiteral("line\nbreak\u2028sep"), QString()}) {
        const QString literal = JavaScriptString(text);
        EXPECT_TRUE(literal.startsWith(u'"') && literal.endsWith(u'"')) << literal.toStdString();
        EXPECT_FALSE(literal.contains(u'\n')) << literal.toStdString();
        EXPECT_EQ(parsedLiteral(literal), text);
    }
}

TEST(AutoPostPage, PostsEveryPairEscapedToTheUrlBeforeItsQuery) {
    const QString page = AutoPostPage(
        QStringLiteral("http://h:8080/cmi/Services?Action=Ping&Note=it%27s+%3Cb%3Ex&q='><script>"),
        QStringLiteral("Please <wait>"));
    EXPECT_TRUE(page.startsWith(
        QStringLiteral("<html><head><title>Please &lt;wait&gt;</title></head><body>\n")));
    EXPECT_TRUE(page.contains(QStringLiteral(
        "<form name='PostMe' id='PostMe' method='post' action='http://h:8080/cmi/Services'>\n")));
    EXPECT_TRUE(
        page.contains(QStringLiteral("\t<input type='hidden' name='Action' value='Ping'>\n")));
    EXPECT_TRUE(page.contains(
        QStringLiteral("\t<input type='hidden' name='Note' value='it&apos;s &lt;b&gt;x'>\n")))
        << page.toStdString();
    EXPECT_TRUE(page.contains(
        QStringLiteral("\t<input type='hidden' name='q' value='&apos;&gt;&lt;script&gt;'>\n")));
    EXPECT_EQ(page.count(QStringLiteral("<script")), 1) << "only the page's own submit";
    EXPECT_TRUE(page.endsWith(
        QStringLiteral("</form>\n<script language='JavaScript'>document.PostMe.submit();</script>\n"
                       "</body></html>\n")));
}

TEST(AutoPostPage, KeepsAtMostAThousandPairs) {
    QString url = QStringLiteral("http://h/p?");
    for (int i = 0; i < 1005; ++i) {
        url += QStringLiteral("n%1=v&").arg(i);
    }
    EXPECT_EQ(AutoPostPage(url, QString()).count(QStringLiteral("<input ")), 1000);
}

TEST(WindowOpenScript, QuotesTheUrlAsAScriptString) {
    const QString script =
        WindowOpenScript(QStringLiteral("http://h/a?x=it's');alert('1"), QStringLiteral("win007"),
                         QStringLiteral("left=1,top=2,width=3,height=4"));
    EXPECT_EQ(script, QStringLiteral("window.open (\"http://h/a?x=it's');alert('1\", \"win007\", "
                                     "\"left=1,top=2,width=3,height=4\");\n"));
}

TEST(PropertiesPage, FillsRowsEscapedAndKeepsTheTemplate) {
    KPROPS list;
    list.Add(QStringLiteral("Name"), QStringLiteral("<b>x"));
    list.Add(QStringLiteral("A&B"), QStringLiteral("{{V=TITLE}}"));
    const QString templateText = QStringLiteral(
        "<html><title>{{V=TITLE}}</title><a href='{{V=CLOSE}}'>close</a>"
        "<base href='{{V=STARTURL}}'><script>var keep = 1;</script>\n<table>\n{{beg:row}}\n"
        "<tr><td>{{V=LABEL}}</td><td>{{V=VALUE}}</td></tr>\n{{end:row}}\n</table>{{V=OTHER}}\n");
    const QString page =
        PropertiesPage(templateText, list, QStringLiteral("T<i>"), QStringLiteral("http://h/?a&b"),
                       QStringLiteral("curl:CloseProperties"));
    EXPECT_EQ(page, QStringLiteral(
                        "<html><title>T&lt;i&gt;</title><a href='curl:CloseProperties'>close</a>"
                        "<base href='http://h/?a&amp;b'><script>var keep = 1;</script>\n"
                        "<table>\n\n<tr><td>Name</td><td>&lt;b&gt;x</td></tr>\n\n"
                        "<tr><td>A&amp;B</td><td>{{V=TITLE}}</td></tr>\n\n</table>"
                        "{{V=OTHER}}\n"));
}

TEST(PropertiesPage, TemplateWithoutRowsIsFilledOnce) {
    KPROPS list;
    list.Add(QStringLiteral("Name"), QStringLiteral("v"));
    EXPECT_EQ(PropertiesPage(QStringLiteral("<p>{{V=TITLE}}</p>"), list, QStringLiteral("t"),
                             QString(), QString()),
              QStringLiteral("<p>t</p>"));
}

TEST(ScriptPage, HoldsTheScriptOnce) {
    EXPECT_EQ(ScriptPage(QStringLiteral("go();")),
              QStringLiteral("<html>\n<head></head>\n<body>\n<script language=JavaScript>\ngo();\n"
                             "</script>\n</body>\n</html>\n"));
}

}  // namespace
