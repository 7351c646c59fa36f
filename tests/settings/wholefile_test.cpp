#include "settings/wholefile.h"

#include "framework/startedframework.h"
#include "support/fullfilesystem.h"

#include <QFile>

#include <expat.h>
#include <gtest/gtest.h>

namespace {

using WholeFile = StartedFrameworkTest;

TEST_F(WholeFile, WritesUtf8AndReportsFailure) {
    const QString path = root() + u"/out.txt"_qs;
    ASSERT_EQ(WriteEntireFile(path, u"Zürich\nzwei"_qs), 1);
    EXPECT_EQ(readFile(path), "Z\xC3\xBCrich\nzwei");
    ASSERT_EQ(WriteStringToFile(path, u"kurz"_qs), 1);
    EXPECT_EQ(readFile(path), "kurz");

    EXPECT_EQ(WriteEntireFile(root() + u"/missing/out.txt"_qs, u"x"_qs), 0);
    EXPECT_EQ(WriteStringToFile(u""_qs, u"x"_qs), 0);
    // A folder in the way is not replaced.
    writeFile(u"folder/inner.txt"_qs, "inner");
    EXPECT_EQ(WriteEntireFile(root() + u"/folder"_qs, u"x"_qs), 0);
    EXPECT_EQ(readFile(root() + u"/folder/inner.txt"_qs), "inner");
}

TEST_F(WholeFile, AFullDiskKeepsTheWrittenFile) {
    const QString folder = root() + u"/full"_qs;
    FullFileSystem disk(folder);
    if (!disk.IsMounted()) {
        GTEST_SKIP() << disk.SkipReason().toStdString();
    }
    const QString path = folder + u"/Quillex.zwv"_qs;
    ASSERT_EQ(WriteEntireFile(path, u"<tree/>"_qs), 1);
    ASSERT_TRUE(disk.Fill());
    EXPECT_EQ(WriteEntireFile(path, u"<tree><item/></tree>"_qs), 0);
    EXPECT_EQ(WriteStringToFile(path, u"<tree><item/></tree>"_qs), 0);
    EXPECT_EQ(readFile(path), "<tree/>");
}

TEST_F(WholeFile, ReadsTextWithWindowsLineEnds) {
    QString text = u"stale"_qs;
    ASSERT_EQ(ReadTextFile(writeFile(u"in.txt"_qs, "a\r\nb\n\xC3\xBC"), text), 1);
    EXPECT_EQ(text, u"a\nb\nü"_qs);
    text = u"stale"_qs;
    EXPECT_EQ(ReadTextFile(root() + u"/missing.txt"_qs, text), 0);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(ReadEntireUTF8File(u""_qs, text), 0);
}

// Parses the text as the XML reader does: UTF-8 bytes, with "UTF-8" given to
// expat so that it wins over the document's own declaration. Returns the
// root element's "name" attribute.
QString parseName(const QString& text, bool& ok) {
    QString name;
    XML_Parser parser = XML_ParserCreate(reinterpret_cast<const XML_Char*>(u"UTF-8"));
    XML_SetUserData(parser, &name);
    XML_SetStartElementHandler(
        parser, [](void* data, const XML_Char*, const XML_Char** attributes) {
            for (int i = 0; attributes[i] != nullptr; i += 2) {
                if (QStringView(reinterpret_cast<const char16_t*>(attributes[i])) == u"name") {
                    *static_cast<QString*>(data) =
                        QString::fromUtf16(reinterpret_cast<const char16_t*>(attributes[i + 1]));
                }
            }
        });
    const QByteArray bytes = text.toUtf8();
    ok = XML_Parse(parser, bytes.constData(), static_cast<int>(bytes.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return name;
}

TEST_F(WholeFile, XmlDeclarationsOfEveryFormParse) {
    const QByteArray body = "<tree name=\"Z\xC3\xBCrich\"/>\n";
    const QByteArray declarations[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
        "<?xml version='1.0' encoding='utf-8'?>\n",
        "<?xml version=\"1.0\"   encoding = \"Utf-8\" ?>\r\n",
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
        "",
    };
    for (const QByteArray& declaration : declarations) {
        SCOPED_TRACE(declaration.toStdString());
        QString text;
        const QByteArray contents = declaration + body;
        ASSERT_EQ(ReadEntireUTF8File(writeFile(u"view.zwv"_qs, contents), text), 1);
        // The declaration reaches the parser as written.
        EXPECT_EQ(text.toUtf8(), QByteArray(contents).replace("\r\n", "\n"));
        bool ok = false;
        EXPECT_EQ(parseName(text, ok), u"Zürich"_qs);
        EXPECT_TRUE(ok);
    }

    // A file in Latin-1 is not valid UTF-8 and is read as Latin-1.
    QString text;
    ASSERT_EQ(
        ReadEntireUTF8File(
            writeFile(u"old.zwv"_qs,
                      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><tree name=\"Z\xFCrich\"/>"),
            text),
        1);
    bool ok = false;
    EXPECT_EQ(parseName(text, ok), u"Zürich"_qs);
    EXPECT_TRUE(ok);
}

TEST_F(WholeFile, PathExistence) {
    const QString file = writeFile(u"dir/file.txt"_qs, "x");
    ASSERT_TRUE(QFile::link(root() + u"/nowhere"_qs, root() + u"/dangling"_qs));
    const std::pair<QString, int> cases[] = {
        {file, 1},
        {root() + u"/dir"_qs, 1},
        {root() + u"/dangling"_qs, 1},
        {root() + u"/missing"_qs, 0},
        {root() + u"/missing/child"_qs, 0},
        {file + u"/child"_qs, 0},
        {root() + u'/' + QString(300, u'n'), 0},
        {u""_qs, 0},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(PathExists(path), expected) << path.left(80).toStdString();
    }
}

}  // namespace
