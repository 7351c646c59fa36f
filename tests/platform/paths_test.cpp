#include "platform/paths.h"

#include "support/temphome.h"

namespace {

TEST(PathsTest, LocalPathsAndUrls) {
    struct Case {
        const char16_t* path;
        bool local;
    } cases[] = {
        {u"/home/op/Quillex.zwv", true},
        {u"worlds/a.zwv", true},
        {u"c:\\data\\a.zwv", true},
        {u"http://host/a.zwv", false},
        {u"ftp://host/a.zwv", false},
        {u"curl:login=x", false},
        {u"file:///tmp/a", false},
        {u"a b:c", true},
        {u"", true},
        {u"svn+ssh://host", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsLocalPath(c.path), c.local) << QString::fromUtf16(c.path).toStdString();
    }
}

TEST(PathsTest, JoinsWithOneSlash) {
    struct Case {
        const char16_t* folder;
        const char16_t* name;
        const char16_t* joined;
    } cases[] = {
        {u"/a", u"b", u"/a/b"}, {u"/a/", u"/b", u"/a/b"}, {u"/", u"b", u"/b"},
        {u"", u"b", u"b"},      {u"/a", u"", u"/a"},      {u"a//", u"b/c", u"a/b/c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathJoin(c.folder, c.name), QString::fromUtf16(c.joined));
    }
}

class AppDataFolderTest : public TempHomeTest {};

TEST_F(AppDataFolderTest, FollowsXdgConfigHome) {
    EXPECT_EQ(AppDataFolder(), configHome() + QStringLiteral("/Zorvic/QVX"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(AppDataFolder(), root() + QStringLiteral("/.config/Zorvic/QVX"));
    EXPECT_EQ(TempFolder(), tempFolder());
}

}  // namespace
