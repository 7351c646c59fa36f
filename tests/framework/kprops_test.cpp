#include "framework/kprops.h"

#include "framework/startedframework.h"
#include "support/temphome.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Entries = std::vector<std::pair<QString, QString>>;

Entries entriesOf(const KPROPS& list) {
    Entries entries;
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.At(i)->index, i);
        entries.emplace_back(list.GetNameAt(i), list.GetValueAt(i));
    }
    return entries;
}

KPROPS listOf(const Entries& entries) {
    KPROPS list(100, 10);
    EXPECT_EQ(list.AddPairs(entries), 1);
    return list;
}

TEST(KpropsCase, NamesDifferingInCaseCoexistAndCaselessLookupFindsTheFirst) {
    KPROPS list = listOf({{u"Yes"_qs, u"first"_qs}, {u"yes"_qs, u"second"_qs}});
    ASSERT_EQ(list.Count(), 2);

    struct Lookup {
        QString name;
        bool ignoreCase;
        QString value;
        int index;
    };
    const Lookup lookups[] = {
        {u"Yes"_qs, false, u"first"_qs, 0}, {u"yes"_qs, false, u"second"_qs, 1},
        {u"YES"_qs, false, {}, -1},         {u"YES"_qs, true, u"first"_qs, 0},
        {u"yes"_qs, true, u"first"_qs, 0},  {u"no"_qs, true, {}, -1},
    };
    for (const Lookup& lookup : lookups) {
        SCOPED_TRACE(lookup.name.toStdString() + (lookup.ignoreCase ? " nocase" : " case"));
        EXPECT_EQ(list.GetValue(lookup.name, lookup.ignoreCase), lookup.value);
        EXPECT_EQ(list.FindIndex(lookup.name, lookup.ignoreCase), lookup.index);
    }
    // The name is lower-cased and then looked up with case.
    EXPECT_EQ(list.GetValueNoCase(u"YES"_qs), u"second"_qs);
}

TEST(KpropsAdd, IdenticalIsNoOpAndChangedValueIsReplacedInPlace) {
    KPROPS list = listOf({{u"a"_qs, u"1"_qs}, {u"b"_qs, u"2"_qs}});
    EXPECT_EQ(list.Add(u"a"_qs, u"1"_qs), 1);
    EXPECT_EQ(list.Add(u"a"_qs, u"changed"_qs, u"x1"_qs), 1);
    EXPECT_EQ(entriesOf(list), (Entries{{u"a"_qs, u"changed"_qs}, {u"b"_qs, u"2"_qs}}));
    EXPECT_EQ(list.GetExtra1At(0), u"x1"_qs);

    EXPECT_EQ(list.Add(QString()), 0);
    EXPECT_EQ(list.Add(u""_qs, u"v"_qs), 0);
    EXPECT_EQ(list.Count(), 2);
}

TEST(KpropsAdd, AddPairsStopsAtTheFirstRefusal) {
    KPROPS list;
    const Entries pairs = {{u"a"_qs, u"1"_qs}, {QString(), u"2"_qs}, {u"c"_qs, u"3"_qs}};
    EXPECT_EQ(list.AddPairs(pairs), 0);
    EXPECT_EQ(entriesOf(list), (Entries{{u"a"_qs, u"1"_qs}}));
}

TEST(KpropsAdd, FiltersStripCharactersFromNamesAndValues) {
    KPROPS list;
    list.SetNameFilter(u" -"_qs);
    list.SetValueFilter(u"\""_qs);
    EXPECT_EQ(list.Add(u"Time Format"_qs, u"\"%H:%M\""_qs), 1);
    EXPECT_EQ(list.GetNameAt(0), u"TimeFormat"_qs);
    EXPECT_EQ(list.GetValue(u"Time-Format"_qs), u"%H:%M"_qs);
    // A name made only of filtered characters is empty and refused.
    EXPECT_EQ(list.Add(u" - "_qs, u"x"_qs), 0);
}

TEST(KpropsIndex, GettersRefuseIndexesOutsideTheList) {
    KPROPS list = listOf({{u"a"_qs, u"1"_qs}});
    for (int index : {-1, 1, 1000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(list.GetNameAt(index), u"OVERFLOW"_qs);
        EXPECT_EQ(list.GetValueAt(index), u"OVERFLOW"_qs);
        EXPECT_EQ(list.GetExtra1At(index), u"OVERFLOW"_qs);
        EXPECT_EQ(list.GetExtra2At(index), u"OVERFLOW"_qs);
        EXPECT_EQ(list.At(index), nullptr);
    }
}

TEST(KpropsOrder, SortKeepsCaseVariantsInTheOrderAdded) {
    KPROPS list = listOf({{u"b"_qs, u"1"_qs},
                          {u"a"_qs, u"2"_qs},
                          {u"A"_qs, u"3"_qs},
                          {u"_x"_qs, u"4"_qs},
                          {u"B"_qs, u"5"_qs}});
    list.Sort();
    // "_" (95) sorts after the folded letters' upper-case codes but before a to z.
    EXPECT_EQ(entriesOf(list), (Entries{{u"_x"_qs, u"4"_qs},
                                        {u"a"_qs, u"2"_qs},
                                        {u"A"_qs, u"3"_qs},
                                        {u"b"_qs, u"1"_qs},
                                        {u"B"_qs, u"5"_qs}}));
    EXPECT_EQ(list.FindIndex(u"B"_qs), 4);
}

TEST(KpropsOrder, TruncateKeepsTheIndexInStep) {
    KPROPS list = listOf({{u"a"_qs, u"1"_qs}, {u"b"_qs, u"2"_qs}, {u"B"_qs, u"3"_qs}});
    EXPECT_EQ(list.TruncateAfter(3), 0);
    EXPECT_EQ(list.TruncateAfter(-1), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.TruncateAfterName(u"missing"_qs), 1);
    EXPECT_EQ(list.Count(), 3);

    EXPECT_EQ(list.TruncateAfter(0), 1);
    EXPECT_EQ(entriesOf(list), (Entries{{u"a"_qs, u"1"_qs}}));
    EXPECT_EQ(list.FindIndex(u"b"_qs, true), -1);
    EXPECT_EQ(list.Add(u"B"_qs, u"again"_qs), 1);
    EXPECT_EQ(entriesOf(list), (Entries{{u"a"_qs, u"1"_qs}, {u"B"_qs, u"again"_qs}}));
}

TEST(KpropsMerge, AddsEveryEntryWithItsExtras) {
    KPROPS target = listOf({{u"a"_qs, u"old"_qs}});
    KPROPS source;
    source.Add(u"a"_qs, u"new"_qs, u"x1"_qs, u"x2"_qs);
    source.Add(u"c"_qs, u"3"_qs);
    EXPECT_EQ(target.Merge(nullptr), 0);
    EXPECT_EQ(target.Merge(&source), 1);
    EXPECT_EQ(entriesOf(target), (Entries{{u"a"_qs, u"new"_qs}, {u"c"_qs, u"3"_qs}}));
    EXPECT_EQ(target.GetExtra2At(0), u"x2"_qs);
    EXPECT_EQ(target.Merge(&target), 1);
    EXPECT_EQ(target.Count(), 2);
    ASSERT_EQ(target.SetExtras(u"c"_qs, u"e1"_qs, u"e2"_qs), 1);
    EXPECT_EQ(target.GetExtra1At(1), u"e1"_qs);
    EXPECT_EQ(target.SetExtras(u"C"_qs, u"e1"_qs, u"e2"_qs), 0);
}

class KpropsConfidential : public StartedFrameworkTest {};

TEST_F(KpropsConfidential, NoTraceShowsTheValuesAtAnyLevel) {
    setDebugLevel(9);
    ASSERT_EQ(kDebugLevel(0), 9);
    const QString password = u"S3cret-pw"_qs;
    const QString pin = u"86420"_qs;
    KPROPS list;
    list.SetConfidential(true);
    list.SetValueFilter(u"~"_qs);
    // Created, filtered, identical, changed, merged and dumped: each path
    // that traces the item.
    list.Add(u"host:443"_qs, u"ann"_qs, password, pin);
    list.Add(u"host:443"_qs, u"ann"_qs, password, pin);
    list.Add(u"other:80"_qs, u"~"_qs + password, password, pin);
    list.Add(u"other:80"_qs, password, pin, password);
    KPROPS copy;
    copy.SetConfidential(true);
    copy.Merge(&list);
    copy.Merge(&list);
    copy.DumpToLog(0, u"credentials"_qs, u"  "_qs);

    const QString log = logText();
    EXPECT_TRUE(log.contains(u"identical item exists"_qs)) << "the traces were written";
    EXPECT_TRUE(log.contains(u"host:443"_qs));
    EXPECT_FALSE(log.contains(password)) << log.toStdString();
    EXPECT_FALSE(log.contains(pin)) << log.toStdString();
    EXPECT_FALSE(log.contains(u"ann"_qs)) << log.toStdString();
}

class KpropsFile : public TempHomeTest {};

struct LoadCase {
    const char* name;
    QByteArray contents;
    Entries expected;
    int result;
};

void PrintTo(const LoadCase& loadCase, std::ostream* out) {
    *out << loadCase.name;
}

class KpropsLoadTable : public TempHomeTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(KpropsLoadTable, ParsesLines) {
    const QString path = writeFile(u"list.txt"_qs, GetParam().contents);
    KPROPS list;
    EXPECT_EQ(list.FileLoad(path, false), GetParam().result);
    EXPECT_EQ(entriesOf(list), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KpropsLoadTable,
    ::testing::Values(
        LoadCase{"secondEqualsBelongsToValue", "a=b=c\n", {{u"a"_qs, u"b=c"_qs}}, 1},
        LoadCase{"emptyNameSkipped", "=x\nk=v\n", {{u"k"_qs, u"v"_qs}}, 1},
        LoadCase{"junkSkippedLaterLinesKept",
                 "a=1\njunk\nb=2\n",
                 {{u"a"_qs, u"1"_qs}, {u"b"_qs, u"2"_qs}},
                 0},
        LoadCase{
            "lastLineWithoutLineFeed", "a=1\nb=xyz", {{u"a"_qs, u"1"_qs}, {u"b"_qs, u"xyz"_qs}}, 1},
        LoadCase{"crlfLines", "a=1\r\nb=2\r\n", {{u"a"_qs, u"1"_qs}, {u"b"_qs, u"2"_qs}}, 1},
        LoadCase{"commentsAndBlankLines", "#! header\n\n# a=1\n #b=2\n", {{u" #b"_qs, u"2"_qs}}, 1},
        LoadCase{"nothingTrimmed", " a = 1 \n", {{u" a "_qs, u" 1 "_qs}}, 1},
        LoadCase{"emptyValue", "a=\n", {{u"a"_qs, u""_qs}}, 1},
        LoadCase{
            "utf8AndByteOrderMark", "\xEF\xBB\xBFn=Z\xC3\xBCrich\n", {{u"n"_qs, u"Zürich"_qs}}, 1},
        LoadCase{"carriageReturnInsideANameIsABadLine",
                 "a=1\nMain\r.right=2\nb=3\n",
                 {{u"a"_qs, u"1"_qs}, {u"b"_qs, u"3"_qs}},
                 0},
        LoadCase{"bytesThatAreNotUtf8", "n=Z\xFCrich\n", {{u"n"_qs, u"Z\uFFFDrich"_qs}}, 0},
        LoadCase{
            "laterValueReplaces", "a=1\nb=2\na=3\n", {{u"a"_qs, u"3"_qs}, {u"b"_qs, u"2"_qs}}, 1}));

TEST_F(KpropsFile, LongLineIsReadWhole) {
    const QByteArray value(12000, 'x');
    KPROPS list;
    ASSERT_EQ(list.FileLoad(writeFile(u"long.txt"_qs, "long=" + value + "\nnext=1\n"), false), 1);
    EXPECT_EQ(list.GetValue(u"long"_qs).size(), value.size());
    EXPECT_EQ(list.Count(), 2);
}

TEST_F(KpropsFile, MissingFileFails) {
    KPROPS list;
    EXPECT_EQ(list.FileLoad(root() + u"/missing.txt"_qs, false), 0);
    EXPECT_EQ(list.FileLoad(root(), false), 0);
    EXPECT_EQ(list.FileStore(root() + u"/no/such/folder/x.txt"_qs, false), 0);
}

TEST_F(KpropsFile, BinaryRoundTripIsUtf16LittleEndianWithoutByteOrderMark) {
    KPROPS list;
    list.Add(u"World View"_qs, u"Weltansicht Ω"_qs, u"extra"_qs);
    list.Add(u"Empty"_qs, u""_qs);
    list.Add(u"Eq"_qs, u"a=b"_qs);
    const QString path = root() + u"/pack.lang"_qs;
    ASSERT_EQ(list.FileStore(path, true), 1);

    const QByteArray bytes = readFile(path);
    const QString header = u"#! KPROPS"_qs;
    ASSERT_GE(bytes.size(), header.size() * 2);
    EXPECT_EQ(bytes.left(header.size() * 2),
              QByteArray(reinterpret_cast<const char*>(header.utf16()), header.size() * 2));

    KPROPS loaded;
    ASSERT_EQ(loaded.FileLoad(path, true), 1);
    EXPECT_EQ(entriesOf(loaded), entriesOf(list));
    EXPECT_EQ(loaded.GetExtra1At(0), u""_qs);
}

TEST_F(KpropsFile, BinaryKeepsCarriageReturnInValue) {
    const QString text = u"a=1\r\nb=2\n"_qs;
    const QString path = writeFile(
        u"cr.lang"_qs, QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
    KPROPS list;
    ASSERT_EQ(list.FileLoad(path, true), 1);
    EXPECT_EQ(entriesOf(list), (Entries{{u"a"_qs, u"1\r"_qs}, {u"b"_qs, u"2"_qs}}));
}

TEST_F(KpropsFile, StoreNeverBreaksALineAndLeavesOutNamesThatCannotReadBack) {
    KPROPS list;
    list.Add(u"text"_qs, u"two\r\nlines\n"_qs);
    list.Add(u"a=b"_qs, u"1"_qs);
    list.Add(u"#hidden"_qs, u"2"_qs);
    list.Add(u"last"_qs, u"3"_qs);
    const QString path = root() + u"/list.txt"_qs;
    EXPECT_EQ(list.FileStore(path, false), 0);

    KPROPS loaded;
    ASSERT_EQ(loaded.FileLoad(path, false), 1);
    EXPECT_EQ(entriesOf(loaded),
              (Entries{{u"text"_qs, u"two%0d%0alines%0a"_qs}, {u"last"_qs, u"3"_qs}}));
}

TEST_F(KpropsFile, StoreReplacesTheWholeFile) {
    const QString path = writeFile(u"list.txt"_qs, "old=1\nstale=2\n");
    KPROPS list = listOf({{u"new"_qs, u"1"_qs}});
    ASSERT_EQ(list.FileStore(path, false), 1);
    EXPECT_EQ(readFile(path),
              "#! KPROPS: generated by libtorvo framework (www.torvo.org)\n\nnew=1\n");
}

}  // namespace
