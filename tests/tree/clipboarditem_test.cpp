#include "tree/clipboarditem.h"

#include "treefixture.h"

#include <QMimeData>
#include <QtEndian>

namespace {

QByteArray ints(std::initializer_list<qint32> values) {
    CClipboardWriter writer;
    for (const qint32 value : values) {
        writer.AppendInt(value);
    }
    return writer.Bytes();
}

ClipboardServer server(const QString& name) {
    return {name, u"host-"_qs + name, 8080, u"user"_qs, u"pass"_qs};
}

QByteArray folderStream(const ClipboardFolder& folder) {
    CClipboardWriter writer;
    writer.AppendFolder(folder);
    return writer.Bytes();
}

TEST(ClipboardItemTest, HeaderHoldsKindProcessAndItem) {
    CClipboardWriter writer;
    writer.AppendHeader(kClipServer, 0x01020304);
    const QByteArray bytes = writer.Bytes();
    ASSERT_EQ(bytes.size(), ClipboardHeader::kSize);
    EXPECT_EQ(bytes.left(4), QByteArray("S\0\0\0", 4));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), CClipboardWriter::ThisProcessId());
    EXPECT_EQ(bytes.mid(8), QByteArray("\x04\x03\x02\x01", 4));
    const auto header = CClipboardReader(bytes).ReadHeader();
    ASSERT_TRUE(header);
    EXPECT_EQ(header->kind, kClipServer);
    EXPECT_EQ(header->itemId, 0x01020304u);
    EXPECT_FALSE(CClipboardReader(bytes.left(11)).ReadHeader());
}

TEST(ClipboardItemTest, ServerRecordLaysItsFieldsOut) {
    CClipboardWriter writer;
    writer.AppendServer({u"Näme"_qs, u"h"_qs, 443, u"u"_qs, u"p"_qs});
    const QByteArray bytes = writer.Bytes();
    ASSERT_EQ(bytes.size(), 1012);
    EXPECT_EQ(bytes.left(10), QByteArray("N\0\xe4\0m\0e\0\0\0", 10));
    EXPECT_EQ(bytes.mid(602, 4), QByteArray("h\0\0\0", 4));
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 804), 443);
    EXPECT_EQ(bytes.mid(808, 2), QByteArray("u\0", 2));
    EXPECT_EQ(bytes.mid(910, 2), QByteArray("p\0", 2));
    const auto read = CClipboardReader(bytes).ReadServer();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name, u"Näme");
    EXPECT_EQ(read->webPort, 443);
    EXPECT_EQ(read->password, u"p");
}

TEST(ClipboardItemTest, OverlongTextsAreCutToLeaveTheirZero) {
    CClipboardWriter writer;
    writer.AppendServer({QString(400, u'n'), QString(200, u'h'), 1, QString(60, u'u'), {}});
    const auto read = CClipboardReader(writer.Bytes()).ReadServer();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name.size(), 300);
    EXPECT_EQ(read->host.size(), 100);
    EXPECT_EQ(read->user.size(), 50);
}

// Fields written by another program may fill their whole width without a
// zero: the text ends with the field, never in the next one.
TEST(ClipboardItemTest, FieldsWithoutTheirZeroEndAtTheField) {
    QByteArray bytes;
    for (int i = 0; i < ClipboardServer::kNameUnits; ++i) {
        bytes.append("n\0", 2);
    }
    for (int i = 0; i < ClipboardServer::kHostUnits; ++i) {
        bytes.append("h\0", 2);
    }
    bytes.append(ints({80}));
    bytes.append(QByteArray(204, 'x'));
    const auto read = CClipboardReader(bytes).ReadServer();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name, QString(301, u'n'));
    EXPECT_EQ(read->host, QString(101, u'h'));
    EXPECT_EQ(read->user.size(), 51);
}

TEST(ClipboardItemTest, WorldViewTextTakesExactlyItsUnits) {
    CClipboardWriter writer;
    writer.AppendText(u"<tree/>"_qs);
    writer.AppendInt(99);
    CClipboardReader reader(writer.Bytes());
    EXPECT_EQ(reader.ReadText(), u"<tree/>"_qs);
    EXPECT_EQ(reader.ReadInt(), 99);
}

TEST(ClipboardItemTest, WorldViewTextCountIsCheckedAgainstTheBytes) {
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"negative", ints({-1, 0})},
        {"beyond the data", ints({3}) + QByteArray(4, 'a')},
        {"huge", ints({0x7fffffff}) + QByteArray(8, 'a')},
        {"no count", QByteArray(3, '\0')},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(CClipboardReader(c.bytes).ReadText()) << c.what;
    }
    EXPECT_EQ(CClipboardReader(ints({0})).ReadText(), QString());
}

TEST(ClipboardItemTest, NestedFoldersRoundTrip) {
    ClipboardFolder inner{u"inner"_qs, {{server(u"b"_qs)}}};
    ClipboardFolder outer{u"outer"_qs, {{server(u"a"_qs)}, {inner}, {server(u"c"_qs)}}};
    const auto read = CClipboardReader(folderStream(outer)).ReadFolderStream();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name, u"outer");
    ASSERT_EQ(read->children.size(), 3u);
    EXPECT_EQ(std::get<ClipboardServer>(read->children[0].item).host, u"host-a");
    const auto& nested = std::get<ClipboardFolder>(read->children[1].item);
    EXPECT_EQ(nested.name, u"inner");
    ASSERT_EQ(nested.children.size(), 1u);
    EXPECT_EQ(std::get<ClipboardServer>(nested.children[0].item).name, u"b");
    EXPECT_EQ(std::get<ClipboardServer>(read->children[2].item).name, u"c");
}

TEST(ClipboardItemTest, DamagedFolderStreamsAreRefusedOrCut) {
    const QByteArray whole = folderStream({u"top"_qs, {{server(u"a"_qs)}, {server(u"b"_qs)}}});
    const qsizetype firstServerEnd = 4 + 602 + 4 + 1012;
    struct Case {
        const char* what;
        QByteArray bytes;
        bool refused;
        int children;
    };
    const Case cases[] = {
        {"short server record", whole.left(firstServerEnd + 4 + 100), true, 0},
        {"no 'F' first", ints({kClipServer}) + whole.mid(4), true, 0},
        {"short outermost name", whole.left(100), true, 0},
        {"unknown tag", whole.left(firstServerEnd) + ints({'Z'}) + whole.mid(firstServerEnd + 4),
         false, 1},
        {"short nested name", whole.left(firstServerEnd) + ints({kClipFolder}) + QByteArray(9, 'x'),
         false, 1},
        {"data ends before 'E'", whole.left(firstServerEnd), false, 1},
        // An 'E' beyond the outermost folder would climb above the drop
        // place: the outermost 'E' ends the stream.
        {"extra 'E' and more", whole + ints({kClipEnd, kClipServer}) + whole.mid(610, 1012), false,
         2},
    };
    for (const Case& c : cases) {
        const auto read = CClipboardReader(c.bytes).ReadFolderStream();
        EXPECT_EQ(!read, c.refused) << c.what;
        if (read) {
            EXPECT_EQ(static_cast<int>(read->children.size()), c.children) << c.what;
        }
    }
}

TEST(ClipboardItemTest, GridRecordHoldsTheSelectionSize) {
    const QByteArray record = GridSelectionRecord({1, 1});
    ASSERT_EQ(record.size(), 20);
    EXPECT_EQ(record.left(4), QByteArray("G\0\0\0", 4));
    EXPECT_EQ(record.mid(8, 4), QByteArray(4, '\0'));
    const auto read = ReadGridSelection(record);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->rows, 1);
    EXPECT_EQ(read->columns, 1);
    EXPECT_FALSE(ReadGridSelection(record.left(19)));
    EXPECT_FALSE(ReadGridSelection(ints({'S', 0, 0, 1, 1})));
}

class TreeRecordTest : public TreeTest {};

TEST_F(TreeRecordTest, EachKindOfItemGivesItsRecord) {
    ASSERT_EQ(load(u"<tree><root label='W'><folder label='Lab'>"
                   u"<system label='s1' hostname='h1' web-port='81' username='me' password='pw'/>"
                   u"<component label='Part'/><folder label='Deep'/></folder>"
                   u"<component label='Lone'/></root></tree>"_qs),
              1);
    QTreeWidgetItem* lab = at({0});
    const QByteArray folder = TreeItemRecord(tree, lab);
    CClipboardReader reader(folder);
    const auto header = reader.ReadHeader();
    ASSERT_TRUE(header);
    EXPECT_EQ(header->kind, kClipFolder);
    EXPECT_EQ(tree.FindItemById(header->itemId), lab);
    const auto stream = reader.ReadFolderStream();
    ASSERT_TRUE(stream);
    // The component child is left out; the nested folder stays.
    ASSERT_EQ(stream->children.size(), 2u);
    const auto& s1 = std::get<ClipboardServer>(stream->children[0].item);
    EXPECT_EQ(s1.host, u"h1");
    EXPECT_EQ(s1.webPort, 81);
    EXPECT_EQ(s1.user, u"me");
    EXPECT_EQ(s1.password, u"pw");
    EXPECT_EQ(std::get<ClipboardFolder>(stream->children[1].item).name, u"Deep");

    ASSERT_NE(record(at({})), nullptr);
    ASSERT_EQ(record(at({}))->ItemType, kKindRoot);
    const QByteArray rootRecord = TreeItemRecord(tree, at({}));
    ASSERT_GE(rootRecord.size(), 16);
    CClipboardReader root(rootRecord);
    EXPECT_EQ(root.ReadHeader()->kind, kClipWorldView);
    EXPECT_EQ(root.ReadText(), written());

    EXPECT_EQ(TreeItemRecord(tree, at({1})).size(), ClipboardHeader::kSize);
}

TEST(ClipboardItemTest, RecordsWithServersAreMarkedSecret) {
    QMimeData withServer;
    CClipboardWriter writer;
    writer.AppendHeader(kClipServer, 1);
    writer.AppendServer(server(u"a"_qs));
    SetClipboardRecord(withServer, writer.Bytes());
    EXPECT_EQ(withServer.data(QString::fromLatin1(kClipboardItemMime)), writer.Bytes());
    EXPECT_EQ(withServer.data(QString::fromLatin1(kPasswordManagerHintMime)), "secret");
    QMimeData grid;
    SetClipboardRecord(grid, GridSelectionRecord({2, 3}));
    EXPECT_FALSE(grid.hasFormat(QString::fromLatin1(kPasswordManagerHintMime)));
}

}  // namespace
