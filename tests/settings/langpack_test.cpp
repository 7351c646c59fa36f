#include "settings/langpack.h"

#include "framework/kformat.h"
#include "resources/menus.h"
#include "support/temphome.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

QByteArray utf16le(const QString& text) {
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

CLangPack packOf(std::initializer_list<std::pair<const char16_t*, const char16_t*>> pairs) {
    CLangPack pack;
    for (const auto& [name, value] : pairs) {
        pack.Add(QString::fromUtf16(name), QString::fromUtf16(value));
    }
    return pack;
}

TEST(LangPackBuiltIn, HoldsTheTableInItsOrderThenTheMenuTexts) {
    CLangPack pack;
    ASSERT_EQ(pack.LoadBuiltIn(), 1);
    struct Entry {
        int index;
        const char16_t* name;
        const char16_t* value;
    };
    const Entry entries[] = {
        {0, u"yes", u"Yes"},
        {2, u"Yes", u"Yes"},
        {6, u"Properties:MENU", u"Properties"},
        {7, u"104000:OmET", u"Interface"},
        {633, u"interface:OmET", u"Interface"},
        {1259, u"Retired:NmsState", u"Retired"},
        {1262, u"73000:Latency", u"Poller to Device"},
        {1268, u"year", u"year"},
        {1280, u"World View", u"World View"},
        {1281, u"AFX_IDS_APP_TITLE", u"Quillet for Velnix"},
        {1282, u"TopFrame", u"Header"},
        {1416, u"File", u"File"},
    };
    for (const Entry& e : entries) {
        EXPECT_EQ(pack.GetNameAt(e.index), QString::fromUtf16(e.name)) << e.index;
        EXPECT_EQ(pack.GetValueAt(e.index), QString::fromUtf16(e.value)) << e.index;
    }
    // Numbered and named element-type keys show the same text.
    EXPECT_EQ(pack.Lookup(u"104002:OmET"_qs), pack.GetValueAt(7 + 626 + 2));
    for (int i = 1416; i < pack.Count(); ++i) {
        const QString name = pack.GetNameAt(i);
        EXPECT_FALSE(name.contains(u'&') || name.contains(u'\t')) << name.toStdString();
        EXPECT_EQ(pack.GetValueAt(i), name);
    }
    EXPECT_EQ(pack.Lookup(u"Open World View..."_qs), u"Open World View...");
    EXPECT_EQ(pack.Lookup(u"Translate by Google"_qs), u"Translate by Google");
    EXPECT_FALSE(pack.IsFileLoaded());
}

TEST(LangPackLookup, MatchesWholeTextWithCase) {
    const CLangPack pack = packOf({{u"World View", u"Weltansicht"}});
    EXPECT_EQ(pack.Lookup(u"World View"_qs), u"Weltansicht");
    EXPECT_EQ(pack.Lookup(u"world view"_qs), u"world view");
    EXPECT_EQ(pack.Lookup(u"World"_qs), u"World");
}

struct TranslateCase {
    const char* name;
    const char16_t* text;
    unsigned flags;
    const char16_t* expected;
    int result;
};

class LangPackTranslate : public ::testing::TestWithParam<TranslateCase> {};

TEST_P(LangPackTranslate, GivesTheExpectedTextAndResult) {
    const CLangPack pack = packOf({
        {u"A", u"B"},
        {u"B", u"C"},
        {u"Y", u"X"},
        {u"Devices", u"Geräte"},
        {u"Two lines", u"One<br>Two"},
        {u"Hello World", u"Hallo Welt"},
    });
    QString text = QString::fromUtf16(GetParam().text);
    EXPECT_EQ(pack.TranslateText(text, GetParam().flags), GetParam().result);
    EXPECT_EQ(text, QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LangPackTranslate,
    ::testing::Values(
        TranslateCase{"ChainFollowsListOrder", u"A", 0, u"C", 1},
        TranslateCase{"EarlierEntryNeverTranslatesLaterResult", u"X", 0, u"X", 0},
        TranslateCase{"UnknownTextUnchanged", u"Nothing", 0, u"Nothing", 0},
        TranslateCase{"ParenSuffixKept", u"Devices (12)", 0x10, u"Geräte (12)", 1},
        TranslateCase{"ParenSuffixWithoutFlagIsPartOfTheKey", u"Devices (12)", 0, u"Devices (12)",
                      0},
        TranslateCase{"SplitAloneCountsAsChange", u"Other (3)", 0x10, u"Other (3)", 1},
        TranslateCase{"ParenAtStartIsNotASuffix", u"(12)", 0x10, u"(12)", 0},
        TranslateCase{"BrBecomesLineBreak", u"Two lines", 0, u"One\nTwo", 1},
        TranslateCase{"NormaliseJoinsLinesAndTrims", u" Hello\r\nWorld ", 0x01, u"Hallo Welt", 1},
        TranslateCase{"NormaliseBrAndDoubleBlanks", u"Hello<br> World", 0x01, u"Hallo Welt", 1},
        TranslateCase{"NormaliseChangeAloneCounts", u"a  b", 0x01, u"a b", 1},
        TranslateCase{"BothFlags", u" Devices\n (2)", 0x11, u"Geräte (2)", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LangPackTranslate, ChainOnlyRunsForward) {
    const CLangPack pack = packOf({{u"B", u"C"}, {u"A", u"B"}});
    QString text = u"A"_qs;
    EXPECT_EQ(pack.TranslateText(text, 0), 1);
    EXPECT_EQ(text, u"B");
}

TEST(SplitParenSuffix, SplitsAtTheLastParenthesis) {
    QString head = u"unchanged"_qs;
    QString tail = u"unchanged"_qs;
    EXPECT_EQ(SplitParenSuffix(u"(alone)"_qs, head, tail), 0);
    EXPECT_EQ(head, u"unchanged");
    EXPECT_EQ(SplitParenSuffix(u"Name (a) (12)"_qs, head, tail), 1);
    EXPECT_EQ(head, u"Name (a)");
    EXPECT_EQ(tail, u"(12)");
    EXPECT_EQ(SplitParenSuffix(u"Plain"_qs, head, tail), 0);
}

TEST(LangPackResources, MissingIdsShowTheirNumber) {
    const CLangPack pack = packOf({{u"World View", u"Weltansicht"}});
    QString text = u"before"_qs;
    EXPECT_EQ(pack.LoadResString(text, 9999), 0);
    EXPECT_EQ(text, u"IDS=9999");
    EXPECT_EQ(pack.LoadResString(text, 513), 1);
    EXPECT_EQ(text, u"Weltansicht");
    EXPECT_EQ(pack.LoadResString(text, 463), 0);
    EXPECT_EQ(text, u"by Zorvic");

    text = u"X: "_qs;
    EXPECT_EQ(pack.AppendResString(text, 9999), 0);
    EXPECT_EQ(text, u"X: ");
    EXPECT_EQ(pack.AppendResString(text, 463), 0);
    EXPECT_EQ(text, u"X: by Zorvic");
    EXPECT_EQ(pack.AppendResString(text, 513), 1);
    EXPECT_EQ(text, u"X: by ZorvicWeltansicht");
}

TEST(LangPackResources, SetsTheTextOfEachKindOfWindow) {
    const CLangPack pack = packOf({{u"World View", u"Weltansicht"}});
    QLabel label;
    QPushButton button;
    QGroupBox group;
    QDialog dialog;
    struct Case {
        QWidget* window;
        std::function<QString()> shown;
    };
    const Case cases[] = {
        {&label, [&] { return label.text(); }},
        {&button, [&] { return button.text(); }},
        {&group, [&] { return group.title(); }},
        {&dialog, [&] { return dialog.windowTitle(); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pack.SetWindowTextFromRes(c.window, 513), 1);
        EXPECT_EQ(c.shown(), u"Weltansicht");
        pack.SetWindowTextTranslated(c.window, u"Untranslated"_qs);
        EXPECT_EQ(c.shown(), u"Untranslated");
        EXPECT_EQ(pack.SetWindowTextFromRes(c.window, 9999), 0);
        EXPECT_EQ(c.shown(), u"IDS=9999");
    }
}

TEST(LangPackMenus, TranslatedItemsKeepTheirAcceleratorAndLoseTheirMnemonic) {
    const CLangPack pack = packOf({
        {u"Open World View...", u"Weltansicht öffnen..."},
        {u"Server", u"Server (neu)"},
        {u"File", u"Datei"},
    });
    std::unique_ptr<QMenu> menu(LoadMenuResource(IDR_MAINFRAME));
    ASSERT_TRUE(menu);
    EXPECT_EQ(pack.TranslateMenu(menu.get()), 1);
    EXPECT_EQ(FindMenuCommand(menu.get(), 32866)->text(), u"Weltansicht öffnen...\tCtrl+O");
    EXPECT_EQ(FindMenuCommand(menu.get(), 57665)->text(), u"E&xit");
    EXPECT_EQ(FindMenuCommand(menu.get(), 32776)->text(), u"Server (neu)\tCtrl+N");
    EXPECT_EQ(menu->actions().first()->text(), u"Datei");

    QMenuBar bar;
    ASSERT_TRUE(LoadMenuBarResource(&bar, IDR_MAINFRAME));
    EXPECT_EQ(pack.TranslateMenu(&bar), 1);
    EXPECT_EQ(bar.actions().first()->text(), u"Datei");
    EXPECT_EQ(FindMenuCommand(&bar, 32866)->text(), u"Weltansicht öffnen...\tCtrl+O");
}

TEST(LangPackMenus, LeadingTabIsNotAnAcceleratorLabel) {
    const CLangPack pack = packOf({{u"\tX", u"Y"}});
    QMenu menu;
    menu.addAction(u"\t&X"_qs);
    pack.TranslateMenu(&menu);
    EXPECT_EQ(menu.actions().first()->text(), u"Y");
}

class LangPackFile : public TempHomeTest {
protected:
    QString writePack(const QString& name, const QString& text) {
        return writeFile(name, utf16le(text));
    }
};

TEST_F(LangPackFile, FileEntriesReplaceBuiltInOnesAndSurviveABuiltInReload) {
    CLangPack pack;
    pack.LoadBuiltIn();
    const int builtInCount = pack.Count();
    const QString path =
        writePack(u"de.lang"_qs, u"#! KPROPS: header\n\nWorld View=Weltansicht\nNur=im Paket\n"_qs);
    EXPECT_EQ(pack.Load(path), 1);
    EXPECT_TRUE(pack.LastError().isEmpty());
    EXPECT_TRUE(pack.IsFileLoaded());
    EXPECT_EQ(pack.Lookup(u"World View"_qs), u"Weltansicht");
    EXPECT_EQ(pack.Count(), builtInCount + 1);

    EXPECT_EQ(pack.Load(QString()), 1);
    EXPECT_EQ(pack.Lookup(u"World View"_qs), u"World View");
    EXPECT_EQ(pack.Lookup(u"Nur"_qs), u"im Paket");
}

TEST_F(LangPackFile, BadFileKeepsEarlierEntriesAndShowsTheError) {
    CLangPack pack;
    pack.LoadBuiltIn();
    QStringList shown;
    pack.SetErrorBox([&shown](const QString& text) { shown << text; });
    const QString path = writePack(u"bad.lang"_qs, u"Yes=Ja\nno equals sign here\n"_qs);
    EXPECT_EQ(pack.Load(path), 0);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first(), u"Could not load language pack:\n   "_qs + path + u"\n"_qs);
    EXPECT_EQ(pack.LastError(), shown.first());
    EXPECT_EQ(pack.Lookup(u"Yes"_qs), u"Ja");
    EXPECT_EQ(pack.Lookup(u"104000:OmET"_qs), u"Interface");

    const QString missing = root() + u"/missing.lang"_qs;
    EXPECT_EQ(pack.Load(missing), 0);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown.last(), u"Could not load language pack:\n   "_qs + missing + u"\n"_qs);
}

TEST_F(LangPackFile, LookupsOnAWorkerSurviveReloadsOnTheUiThread) {
    CLangPack pack;
    pack.LoadBuiltIn();
    constexpr int kReloads = 100;
    QStringList paths;
    for (int file = 0; file < kReloads; ++file) {
        QString text = u"World View=Weltansicht\n"_qs;
        for (int entry = 0; entry < 20; ++entry) {
            text += kFormat(u"Key %d.%d=Value\n", file, entry);
        }
        paths << writePack(kFormat(u"pack%d.lang", file), text);
    }
    std::atomic<bool> done{false};
    std::atomic<int> wrong{0};
    std::thread worker([&] {
        while (!done.load()) {
            const QString found = pack.Lookup(u"World View"_qs);
            QString translated = u"World View"_qs;
            pack.TranslateText(translated, 0);
            if ((found != u"World View" && found != u"Weltansicht") ||
                (translated != u"World View" && translated != u"Weltansicht")) {
                ++wrong;
            }
        }
    });
    for (const QString& path : paths) {
        EXPECT_EQ(pack.Load(path), 1);
    }
    done = true;
    worker.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(pack.Lookup(u"Key 99.19"_qs), u"Value");
}

TEST_F(LangPackFile, Utf16PackSurvivesStoreAndLoad) {
    const CLangPack original = packOf({
        {u"World View", u"ワールドビュー"},
        {u"Properties", u"Eigenschaften<br>(Ä)"},
        {u"Log In", u"Вход"},
    });
    const QString path = root() + u"/round.lang"_qs;
    ASSERT_EQ(original.FileStore(path, true), 1);
    const QByteArray bytes = readFile(path);
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(bytes.at(0), '#');
    EXPECT_EQ(bytes.at(1), '\0');

    CLangPack loaded;
    ASSERT_EQ(loaded.Load(path), 1);
    ASSERT_EQ(loaded.Count(), original.Count());
    for (int i = 0; i < original.Count(); ++i) {
        EXPECT_EQ(loaded.GetNameAt(i), original.GetNameAt(i));
        EXPECT_EQ(loaded.Lookup(original.GetNameAt(i)), original.GetValueAt(i));
    }
    QString text = u"Properties"_qs;
    loaded.TranslateText(text, 0);
    EXPECT_EQ(text, u"Eigenschaften\n(Ä)");
}

TEST(ActiveLangPack, LookupsFallBackToTheTextWithoutARegisteredPack) {
    SetActiveLangPack(nullptr);
    EXPECT_EQ(LangLookup(u"AM"_qs), u"AM");
    const CLangPack pack = packOf({{u"AM", u"vorm."}});
    SetActiveLangPack(&pack);
    EXPECT_EQ(LangLookup(u"AM"_qs), u"vorm.");
    SetActiveLangPack(nullptr);
}

}  // namespace
